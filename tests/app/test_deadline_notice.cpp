#include "app/deadline_notice.h"

#include <gtest/gtest.h>

namespace {

using tw::app::DeadlineNotice;
using tw::app::LocalDateTime;

// 2024-01-10 was a Wednesday, 2024-01-13 a Saturday.
LocalDateTime wednesday(int hour, int minute) {
    return {2024, 1, 10, hour, minute};
}

TEST(DeadlineNotice, WindowBoundaries) {
    const std::pair<int, int> cases[] = {
        {1659, 0},    {1700, 1700}, {1729, 1700}, {1730, 1730}, {1744, 1730}, {1745, 1745}, {1759, 1745},
        {1800, 1800}, {1809, 1800}, {1810, 1810}, {1815, 1810}, {1816, 0},    {0, 0},       {2359, 0},
    };
    for (const auto& [hhmm, window] : cases)
        EXPECT_EQ(tw::app::deadlineWindow(hhmm), window) << hhmm;
}

TEST(DeadlineNotice, StartedAtFiveAfterFiveOnAWednesday) {
    DeadlineNotice notice;
    const auto first = notice.check(wednesday(17, 5));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->text, "現在時刻：[17:05]\r購入締め切りまで、後わずかです。");
    EXPECT_EQ(first->title, "【現在時刻通知】");
    EXPECT_EQ(notice.lngLastNoticeKey(), 10 * 10000 + 1700);

    for (int minute = 6; minute <= 29; ++minute)
        EXPECT_FALSE(notice.check(wednesday(17, minute)).has_value()) << "17:" << minute;

    const auto second = notice.check(wednesday(17, 30));
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->text, "現在時刻：[17:30]\r購入締め切りまで、後わずかです。");
}

TEST(DeadlineNotice, AWholeEveningShowsFiveNotices) {
    DeadlineNotice notice;
    std::vector<std::string> shown;
    for (int hhmm = 1600; hhmm <= 1900; ++hhmm) {
        if (hhmm % 100 >= 60)
            continue;
        if (const auto n = notice.check(wednesday(hhmm / 100, hhmm % 100)))
            shown.push_back(n->text.substr(0, n->text.find('\r')));
    }
    const std::vector<std::string> expected = {"現在時刻：[17:00]", "現在時刻：[17:30]", "現在時刻：[17:45]",
                                               "現在時刻：[18:00]", "現在時刻：[18:10]"};
    EXPECT_EQ(shown, expected);
}

TEST(DeadlineNotice, NothingOutsideTheWindowsOrAtTheWeekend) {
    struct Case {
        const char* what;
        LocalDateTime now;
    };
    const Case cases[] = {
        {"18:16 on a Wednesday", wednesday(18, 16)},
        {"16:59 on a Wednesday", wednesday(16, 59)},
        {"Saturday 17:00", {2024, 1, 13, 17, 0}},
        {"Sunday 18:00", {2024, 1, 14, 18, 0}},
    };
    for (const auto& c : cases) {
        DeadlineNotice notice;
        EXPECT_FALSE(notice.check(c.now).has_value()) << c.what;
        EXPECT_EQ(notice.lngLastNoticeKey(), 0) << c.what;
    }
}

TEST(DeadlineNotice, TheNextDaysWindowShowsAgain) {
    DeadlineNotice notice;
    ASSERT_TRUE(notice.check(wednesday(18, 10)).has_value());
    EXPECT_FALSE(notice.check(wednesday(18, 15)).has_value());
    const auto thursday = notice.check({2024, 1, 11, 18, 10});
    ASSERT_TRUE(thursday.has_value());
    EXPECT_EQ(notice.lngLastNoticeKey(), 11 * 10000 + 1810);
}

} // namespace
