#include "common/date_serial.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace tw::common {

namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

bool allDigits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return !s.empty();
}
int toInt(std::string_view s) {
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}
} // namespace

double dateSerial(const CivilDate& date) {
    const year_month_day ymd{year{date.year}, month{static_cast<unsigned>(date.month)},
                             day{static_cast<unsigned>(date.day)}};
    return static_cast<double>((sys_days{ymd} - kEpoch).count());
}

CivilDate civilDate(double serial) {
    const auto whole = static_cast<int>(std::floor(serial));
    const year_month_day ymd{kEpoch + days{whole}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int weekdayNumber(double serial) {
    const auto whole = static_cast<int>(std::floor(serial));
    return static_cast<int>(weekday{kEpoch + days{whole}}.c_encoding()) + 1;
}

std::string formatDate(double serial) {
    const CivilDate d = civilDate(serial);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
    return buf;
}

std::optional<double> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '/' || text[7] != '/')
        return std::nullopt;
    const auto y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    if (!allDigits(y) || !allDigits(m) || !allDigits(d))
        return std::nullopt;
    const year_month_day ymd{year{toInt(y)}, month{static_cast<unsigned>(toInt(m))},
                             day{static_cast<unsigned>(toInt(d))}};
    if (!ymd.ok())
        return std::nullopt;
    return static_cast<double>((sys_days{ymd} - kEpoch).count());
}

} // namespace tw::common
