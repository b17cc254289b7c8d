#include "common/cp932.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace tw::common {

namespace {

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 when it is
// malformed or cut short.
std::size_t utf8SequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    else
        return 0;
    if (s.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    const auto second = static_cast<unsigned char>(s[1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F))
        return 0;
    return n;
}

} // namespace

Cp932Result toCp932(std::string_view utf8) {
    Cp932Result result;
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        result.converterMissing = true;
        return result;
    }

    std::string& out = result.bytes;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    char buffer[256];
    while (pos < utf8.size()) {
        // iconv's interface takes a non-const input pointer but does not write through it.
        char* in = const_cast<char*>(utf8.data() + pos);
        std::size_t inLeft = utf8.size() - pos;
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        const int err = errno;
        out.append(buffer, sizeof buffer - dstLeft);
        pos = utf8.size() - inLeft;
        if (rc != static_cast<std::size_t>(-1) || err == E2BIG)
            continue;
        // EILSEQ or EINVAL: a character CP932 lacks, or bytes that are not UTF-8.
        const std::size_t len = utf8SequenceLength(utf8.substr(pos));
        if (err == EINVAL) {
            // The input ends inside a sequence: the whole cut tail is one fault.
            result.invalid.push_back(pos);
            pos = utf8.size();
        } else if (len == 0) {
            result.invalid.push_back(pos);
            pos += 1;
        } else {
            result.unmappable.push_back(pos);
            pos += len;
        }
        out += '?';
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return result;
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t len = utf8SequenceLength(bytes.substr(pos));
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

Utf8Result fromCp932(std::string_view bytes) {
    Utf8Result result;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        result.converterMissing = true;
        return result;
    }
    result.text.reserve(bytes.size() + bytes.size() / 2);
    // iconv's interface takes a non-const input pointer but does not write through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        const int err = errno;
        result.text.append(buffer, sizeof buffer - dstLeft);
        if (rc == static_cast<std::size_t>(-1) && err != E2BIG) {
            result.invalidAt = bytes.size() - inLeft;
            break;
        }
    }
    iconv_close(cd);
    return result;
}

} // namespace tw::common
