// What the change panel shows besides the lists: the rows of the all-group grid
// and where the round's average group value falls among them, the digit point
// table, and the counts and amounts under the lists. Plain values for the panel
// to put into its grids and labels. Reads engine records; no Qt.
#pragma once

#include "engine/engine_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::selection {

// Colours as 0xBBGGRR values, as the grid helpers take them.
inline constexpr int32_t kColourRed = 0x0000FF;
inline constexpr int32_t kColourBlue = 0xFF0000;
inline constexpr int32_t kColourYellow = 0x00FFFF;

// Column-0 texts of the all-group grid: one row per distinct group value, in
// ascending order, written "##0.000". The grid has AllGrpValueCount rows; rows the
// table does not fill stay empty and values beyond that count are not shown.
std::vector<std::string> allGroupRowTexts(const engine::Proposal& proposal);

struct RowMark {
    int row = 0;
    int32_t textColour = 0;
    int32_t backColour = 0;
    bool operator==(const RowMark&) const = default;
};

// Where the key (the round's average group value) falls among the grid's rows: the
// first row whose value is not below the key is red on yellow when it equals the
// key; otherwise it and the row before it are blue on yellow (only the first row
// when the key lies below every value). No mark when the key exceeds every value.
std::vector<RowMark> allGroupKeyMarks(const engine::Proposal& proposal, double dblAvgGrpValue);

// The digit point table: row 0 the headings ("Nxx", "Pt.", ...), rows 1..10 the
// follower ranking's digit and point of each position. 6 columns for Numbers3,
// 8 for Numbers4.
std::vector<std::vector<std::string>> pointTableCells(common::Game game, const engine::Ranking& ranking);

// Column widths of the point table for a grid `gridWidth` wide: digit columns
// three units, point columns two.
std::vector<int> pointTableColumnWidths(common::Game game, int gridWidth);

// count x 200 yen; nothing when the amount does not fit in 32 bits, which the
// panel reports as an overflow instead of showing a wrong figure.
std::optional<int32_t> amountOf(int64_t count);
// The count label: "#,##0".
std::string countText(int64_t count);
// The amount label for count bets: "\##,###,##0", nothing on overflow.
std::optional<std::string> amountText(int64_t count);

} // namespace tw::selection
