// UTF-8 to code page 932 (Shift_JIS as Windows writes it), for the HTML report,
// which is stored in that encoding, and back, for downloaded result files that
// come in it. Uses the C library's iconv; no other dependency.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw::common {

struct Cp932Result {
    std::string bytes;                   // the encoded text; each problem spot is written as '?'
    std::vector<std::size_t> unmappable; // byte offsets in the input of characters CP932 lacks
    std::vector<std::size_t> invalid;    // byte offsets in the input of malformed UTF-8
    bool converterMissing = false;       // the C library offers no CP932 converter
    bool ok() const { return unmappable.empty() && invalid.empty() && !converterMissing; }
};

Cp932Result toCp932(std::string_view utf8);

// Whether `bytes` is well-formed UTF-8 (plain ASCII is).
bool isValidUtf8(std::string_view bytes);

struct Utf8Result {
    std::string text;                          // the decoded text, up to the first fault
    std::size_t invalidAt = std::string::npos; // byte offset of the first sequence CP932 does not define
    bool converterMissing = false;             // the C library offers no CP932 converter
    bool ok() const { return invalidAt == std::string::npos && !converterMissing; }
};

// Code page 932 bytes to UTF-8. Decoding stops at the first byte sequence that is
// not CP932 (a lead byte without its trail byte, or an unassigned code).
Utf8Result fromCp932(std::string_view bytes);

} // namespace tw::common
