#include "common/date_serial.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::common;

TEST(DateSerial, KnownSerialsAndWeekdays) {
    EXPECT_EQ(dateSerial({1899, 12, 30}), 0);
    EXPECT_EQ(dateSerial({2024, 1, 5}), 45296);
    EXPECT_EQ(civilDate(45296.75), (CivilDate{2024, 1, 5})); // the time of day is dropped
    EXPECT_EQ(weekdayNumber(45296), 6);                      // a Friday
    EXPECT_EQ(weekdayNumber(0), 7);                          // 1899-12-30 was a Saturday
    EXPECT_EQ(weekdayNumber(1), 1);                          // Sunday
    EXPECT_EQ(formatDate(dateSerial({2009, 3, 30}) + 0.73), "2009/03/30");
}

TEST(DateSerial, ParseAcceptsOnlyRealDatesInTheTableForm) {
    EXPECT_EQ(parseDate("1994/10/07"), dateSerial({1994, 10, 7}));
    EXPECT_EQ(parseDate("2024/02/29"), dateSerial({2024, 2, 29}));
    for (const char* bad : {"2023/02/29", "1994/13/01", "1994-10-07", "1994/1/07", "", "abcd/ef/gh", "1994/10/0x"})
        EXPECT_FALSE(parseDate(bad).has_value()) << bad;
}

} // namespace
