// The purchase-deadline notice: on a weekday evening the main window's minute
// timer asks whether the sales deadline reminder is due, at most once in each of
// five windows (from 17:00, 17:30, 17:45, 18:00 and 18:10; none after 18:15).
// The clock is passed in, so the decision can be checked for any moment; showing
// the box is the caller's business. Standard library only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw::app {

// A local date and time as the wall clock shows it.
struct LocalDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
};

// The current local time (std::localtime).
LocalDateTime localNow();

struct NoticeText {
    std::string text; // lines broken by a single CR
    std::string title;
};

class DeadlineNotice {
public:
    // The notice to show at `now`, or nothing. A returned notice is recorded, so
    // the same window of the same day never gives a second one.
    std::optional<NoticeText> check(const LocalDateTime& now);

    int32_t lngLastNoticeKey() const { return m_lngLastNoticeKey; }

private:
    int32_t m_lngLastNoticeKey = 0;
};

// Start of the notice window that hour * 100 + minute falls in, 0 for none.
int32_t deadlineWindow(int hhmm);

} // namespace tw::app
