// Dates as the table files and the ledger store them: days since 1899-12-30 as a
// double whose fraction is the time of day. Conversions go through <chrono>
// calendar types.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tw::common {

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
    bool operator==(const CivilDate&) const = default;
};

// Serial day number of a civil date (the date must be valid).
double dateSerial(const CivilDate& date);
// Civil date of a serial (the fraction, the time of day, is dropped).
CivilDate civilDate(double serial);
// Weekday number of a serial: 1 = Sunday .. 7 = Saturday.
int weekdayNumber(double serial);
// "yyyy/mm/dd"
std::string formatDate(double serial);
// Parses "yyyy/mm/dd" (four-digit year, two-digit month and day); nullopt when the text
// is not of that form or names no real date.
std::optional<double> parseDate(std::string_view text);

} // namespace tw::common
