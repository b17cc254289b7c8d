#include "common/number_format.h"

#include "common/rounding.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tw::common {

namespace {

// A pattern split into its literal text before and after the digit field and the
// shape of that field.
struct Pattern {
    std::string prefix;
    std::string suffix;
    int minIntDigits = 0; // count of "0" before the decimal point
    int decimals = 0;     // placeholders after the decimal point
    int minDecimals = 0;  // "0" placeholders after the decimal point
    bool grouping = false;
};

Pattern parse(std::string_view pattern) {
    Pattern p;
    bool inField = false, afterField = false, inDecimals = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const bool placeholder = c == '#' || c == '0';
        if (!afterField && (placeholder || (inField && (c == ',' || c == '.')))) {
            inField = true;
            if (c == '.') {
                inDecimals = true;
            } else if (c == ',') {
                if (!inDecimals)
                    p.grouping = true;
            } else if (inDecimals) {
                ++p.decimals;
                if (c == '0')
                    p.minDecimals = p.decimals;
            } else if (c == '0') {
                ++p.minIntDigits;
            }
            continue;
        }
        if (inField)
            afterField = true;
        std::string& out = inField ? p.suffix : p.prefix;
        if (c == '\\' && i + 1 < pattern.size())
            out += pattern[++i];
        else
            out += c;
    }
    return p;
}

std::string groupThousands(const std::string& digits) {
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string render(bool negative, const std::string& intDigitsIn, std::string fraction, const Pattern& p) {
    std::string intDigits = intDigitsIn == "0" ? std::string() : intDigitsIn;
    while (static_cast<int>(intDigits.size()) < p.minIntDigits)
        intDigits.insert(intDigits.begin(), '0');
    while (static_cast<int>(fraction.size()) > p.minDecimals && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string body = p.grouping ? groupThousands(intDigits) : intDigits;
    if (p.decimals > 0 && (!fraction.empty() || p.minDecimals > 0))
        body += '.' + fraction;
    const bool isZero = intDigitsIn == "0" && fraction.find_first_not_of('0') == std::string::npos;
    return std::string(negative && !isZero ? "-" : "") + p.prefix + body + p.suffix;
}

} // namespace

std::string formatNumber(int64_t value, std::string_view pattern) {
    const Pattern p = parse(pattern);
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return render(negative, std::to_string(magnitude), std::string(static_cast<size_t>(p.decimals), '0'), p);
}

std::string formatNumber(double value, std::string_view pattern) {
    const Pattern p = parse(pattern);
    const double scale = std::pow(10.0, p.decimals);
    const double scaled = static_cast<double>(roundHalfEven(std::fabs(value) * scale));
    const bool negative = value < 0;
    const auto whole = static_cast<uint64_t>(scaled / scale);
    const auto frac = static_cast<uint64_t>(scaled - static_cast<double>(whole) * scale);
    std::string fraction = std::to_string(frac);
    fraction.insert(fraction.begin(),
                    static_cast<size_t>(p.decimals) - std::min(fraction.size(), static_cast<size_t>(p.decimals)), '0');
    if (p.decimals == 0)
        fraction.clear();
    return render(negative, std::to_string(whole), fraction, p);
}

std::string displayYen(std::string_view formatted) {
    std::string out;
    out.reserve(formatted.size() + 4);
    for (const char c : formatted) {
        if (c == '\\')
            out += "\xC2\xA5";
        else
            out += c;
    }
    return out;
}

std::string formatNumberForDisplay(int64_t value, std::string_view pattern) {
    return displayYen(formatNumber(value, pattern));
}

bool priceOf(int64_t count, int32_t& amount) {
    const int64_t total = count * 200;
    if (total > std::numeric_limits<int32_t>::max() || total < std::numeric_limits<int32_t>::min())
        return false;
    amount = static_cast<int32_t>(total);
    return true;
}

} // namespace tw::common
