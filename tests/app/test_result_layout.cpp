// The rows and column widths of the prediction panel's result grids, with the
// halves that decide between rounding to even and rounding away from zero.
#include "app/result_layout.h"

#include <gtest/gtest.h>

namespace {

using tw::app::resultColumnWidths;
using tw::app::resultGridRows;

struct RowCase {
    int grid;
    int count;
    int rows;
};

TEST(ResultGridRows, CountOverEntriesPerRowRoundedHalfToEvenPlusOne) {
    const RowCase cases[] = {
        {0, 0, 1},  // before the first run
        {0, 2, 1},  // round(0.4) + 1
        {0, 3, 2},  // round(0.6) + 1
        {0, 7, 2},  // round(1.4) + 1
        {1, 7, 2},  // group 2 has the same shape
        {0, 10, 3}, // the last row stays empty
        {0, 12, 3}, // round(2.4) + 1
        {0, 13, 4}, // round(2.6) + 1
        {0, 15, 4}, // round(3) + 1
        {2, 1, 1},  // Mini: round(0.33) + 1
        {2, 4, 2},  // round(1.33) + 1
        {2, 5, 3},  // round(1.67) + 1
        {3, 2, 1},  // group 3: round(0.5) = 0
        {3, 6, 3},  // round(1.5) = 2
        {3, 10, 3}, // round(2.5) = 2, not 3
        {3, 14, 5}, // round(3.5) = 4
        {0, 190, 39},
    };
    for (const RowCase& c : cases)
        EXPECT_EQ(resultGridRows(c.grid, c.count), c.rows) << "grid " << c.grid << ", " << c.count << " entries";
}

// Entry k goes to row k / perRow; the rule must always leave room for the last entry.
TEST(ResultGridRows, EveryEntryHasItsRow) {
    for (int grid = 0; grid < 4; ++grid) {
        const int perRow = tw::app::kResultGrids[static_cast<std::size_t>(grid)].perRow;
        for (int count = 1; count <= 500; ++count)
            EXPECT_LT((count - 1) / perRow, resultGridRows(grid, count)) << "grid " << grid << ", " << count;
    }
}

struct WidthCase {
    int grid;
    int width;
    int rowNumber;
    int entry;
};

TEST(ResultColumnWidths, UnitOfTheGridWidthTimesTheColumnFactor) {
    const WidthCase cases[] = {
        {0, 510, 45, 84}, // unit 30
        {1, 510, 45, 84}, // group 2 takes the same unit
        {0, 340, 30, 56}, // unit 20
        {0, 527, 46, 87}, // unit 31: 46.5 -> 46, 86.8 -> 87
        {0, 8, 0, 0},     // 8 / 17 rounds to a unit of 0
        {0, 9, 2, 3},     // unit 1: 1.5 -> 2, 2.8 -> 3
        {2, 260, 39, 65}, // Mini: unit 26, entries 2.5 units
        {2, 250, 38, 62}, // unit 25: 37.5 -> 38, 62.5 -> 62
        {2, 45, 6, 10},   // unit 4.5 -> 4
        {2, 55, 9, 15},   // unit 5.5 -> 6
        {3, 350, 38, 70}, // group 3: unit 25, 37.5 -> 38
        {3, 21, 3, 6},    // unit 1.5 -> 2: 3, 5.6 -> 6
        {3, 49, 6, 11},   // unit 3.5 -> 4
    };
    for (const WidthCase& c : cases) {
        const auto widths = resultColumnWidths(c.grid, c.width);
        EXPECT_EQ(widths.rowNumber, c.rowNumber) << "grid " << c.grid << ", width " << c.width;
        EXPECT_EQ(widths.entry, c.entry) << "grid " << c.grid << ", width " << c.width;
    }
}

} // namespace
