#include "app/deadline_notice.h"

#include "common/date_serial.h"

#include <cstdio>
#include <ctime>

namespace tw::app {

namespace {
constexpr int kSunday = 1;
constexpr int kSaturday = 7;
} // namespace

LocalDateTime localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm parts{};
    if (const std::tm* local = std::localtime(&t))
        parts = *local;
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min};
}

int32_t deadlineWindow(int hhmm) {
    if (hhmm >= 1700 && hhmm <= 1729)
        return 1700;
    if (hhmm >= 1730 && hhmm <= 1744)
        return 1730;
    if (hhmm >= 1745 && hhmm <= 1759)
        return 1745;
    if (hhmm >= 1800 && hhmm <= 1809)
        return 1800;
    if (hhmm >= 1810 && hhmm <= 1815)
        return 1810;
    return 0;
}

std::optional<NoticeText> DeadlineNotice::check(const LocalDateTime& now) {
    const int weekday = common::weekdayNumber(common::dateSerial({now.year, now.month, now.day}));
    if (weekday == kSunday || weekday == kSaturday)
        return std::nullopt;
    const int32_t window = deadlineWindow(now.hour * 100 + now.minute);
    if (window == 0)
        return std::nullopt;
    // The day of the month keeps tomorrow's windows apart from today's.
    const int32_t key = now.day * 10000 + window;
    if (key == m_lngLastNoticeKey)
        return std::nullopt;
    m_lngLastNoticeKey = key;

    char clock[8];
    std::snprintf(clock, sizeof clock, "%02d:%02d", now.hour % 100, now.minute % 100);
    return NoticeText{"現在時刻：[" + std::string(clock) + "]\r購入締め切りまで、後わずかです。", "【現在時刻通知】"};
}

} // namespace tw::app
