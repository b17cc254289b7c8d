// The shape of the four result grids of the prediction panel: how many rows a
// list of entries gets and how wide the columns are. Standard library only, so
// the rule can be checked without a window.
//
// Grid 0 and 1 hold prediction groups 1 and 2 five to a row, grid 2 the Mini
// candidates three to a row, grid 3 prediction group 3 four to a row; column 0
// holds the row number. Rows: the count over the entries per row, rounded half
// to even, plus one (so a list always has a row to spare or an empty last row).
// Columns: a unit of 1/17 of grid 0's width (grids 0 and 1), 1/10 of grid 2's
// and 1/14 of grid 3's, the row-number column 1.5 units, the others 2.8 units
// (2.5 in the Mini grid); every step rounds half to even.
#pragma once

#include "common/rounding.h"

#include <array>
#include <cstdint>

namespace tw::app {

struct ResultGridShape {
    int columns;       // including the row-number column
    int perRow;        // entries per row
    int unitDivisor;   // the width unit is the grid width over this
    double cellFactor; // width of an entry column in units
};

inline constexpr double kRowNumberFactor = 1.5;

inline constexpr std::array<ResultGridShape, 4> kResultGrids{{
    {6, 5, 17, 2.8}, // group 1
    {6, 5, 17, 2.8}, // group 2 (its unit comes from grid 0's width)
    {4, 3, 10, 2.5}, // Mini
    {5, 4, 14, 2.8}, // group 3
}};

// Rows of result grid `grid` (0..3) for `count` entries.
inline int resultGridRows(int grid, int count) {
    const ResultGridShape& shape = kResultGrids[static_cast<std::size_t>(grid)];
    return static_cast<int>(common::roundHalfEven(static_cast<double>(count) / shape.perRow)) + 1;
}

struct ResultColumnWidths {
    int rowNumber; // column 0
    int entry;     // every other column
};

// Column widths of result grid `grid` (0..3); `unitWidth` is the width of the
// grid the unit is taken from (grid 0 for grids 0 and 1, the grid itself otherwise).
inline ResultColumnWidths resultColumnWidths(int grid, int unitWidth) {
    const ResultGridShape& shape = kResultGrids[static_cast<std::size_t>(grid)];
    const auto unit = static_cast<double>(
        static_cast<int32_t>(common::roundHalfEven(static_cast<double>(unitWidth) / shape.unitDivisor)));
    return {static_cast<int>(common::roundHalfEven(unit * kRowNumberFactor)),
            static_cast<int>(common::roundHalfEven(unit * shape.cellFactor))};
}

} // namespace tw::app
