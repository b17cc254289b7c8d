// UTF-8 to code page 932 (Shift_JIS as Windows writes it), for the HTML report,
// which is stored in that encoding. Uses the C library's iconv; no other
// dependency.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw::common {

struct Cp932Result {
    std::string bytes;                   // the encoded text; each problem spot is written as '?'
    std::vector<std::size_t> unmappable;  // byte offsets in the input of characters CP932 lacks
    std::vector<std::size_t> invalid;     // byte offsets in the input of malformed UTF-8
    bool converterMissing = false;        // the C library offers no CP932 converter
    bool ok() const { return unmappable.empty() && invalid.empty() && !converterMissing; }
};

Cp932Result toCp932(std::string_view utf8);

} // namespace tw::common
