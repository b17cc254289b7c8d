// Number formats written as pattern strings, so that a window, the report and
// the command-line tool show an amount in the same layout from the same pattern:
//   "#" digit shown when significant, "0" digit always shown, "," (between digit
//   placeholders) groups the integer part by thousands, "." starts the decimals,
//   "\" takes the next character literally; other characters are literal.
// Examples: formatNumber(1200, kYen7) == "\\1,200", formatNumber(0, "#,###") == "",
// formatNumber(7, "000") == "007", formatNumber(12.3456, "##0.000") == "12.346".
// A negative value gets its minus sign first, before any literal: "-\\1,200".
// Shared by every window, the report and the command-line tool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw::common {

std::string formatNumber(int64_t value, std::string_view pattern);
std::string formatNumber(double value, std::string_view pattern);

// The money formats of the windows and the report (yen amounts of up to seven,
// six, five and eight digits), named for readability at the call sites.
inline constexpr std::string_view kYen7 = "\\\\#,###,##0";  // "\#,###,##0" -> \1,234,567
inline constexpr std::string_view kYen6 = "\\\\###,##0";    // "\###,##0"
inline constexpr std::string_view kYen5 = "\\\\##,##0";     // "\##,##0"
inline constexpr std::string_view kYen8 = "\\\\##,###,##0"; // "\##,###,##0"

// The same text for showing on screen: every yen mark the format puts as "\"
// (the byte that Japanese Windows fonts draw as a yen sign) becomes "¥" (U+00A5,
// UTF-8), so that the amount reads the same with any font. Files and the
// command-line tool keep the "\" of formatNumber.
std::string displayYen(std::string_view formatted);
std::string formatNumberForDisplay(int64_t value, std::string_view pattern);

// Count x 200 yen, refusing a result beyond 32 bits (returns false then).
bool priceOf(int64_t count, int32_t& amount);

} // namespace tw::common
