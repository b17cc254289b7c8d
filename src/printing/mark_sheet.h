// Where the marks of one bet go on the NUMBERS mark sheet. Coordinates are
// twips (1440 per inch) from the top-left corner of the printable area, x to
// the right, y downwards; each computed coordinate is rounded to the nearest
// integer, halves to even. Five bets per sheet, in blocks 1..5. No Qt.
#pragma once

#include "common/lottery.h"

#include <vector>

namespace tw::printing {

inline constexpr int kBlocksPerSheet = 5;
inline constexpr int kMarkWidth = 227;    // 4 mm
inline constexpr int kMarkHeight = 57;    // 1 mm

struct MarkRect {
    int x = 0;
    int y = 0;
    int w = kMarkWidth;
    int h = kMarkHeight;
    bool operator==(const MarkRect&) const = default;
};

// Sheets for `entries` bets, five to a sheet.
constexpr int sheetsNeeded(int entries) { return entries / kBlocksPerSheet + (entries % kBlocksPerSheet != 0 ? 1 : 0); }

// Top of block 1..5 as measured on the sheet.
double dblBlockTop(int block);
// Column of digit value 0..9: value 9 at the left edge, 0 at the right.
int GetMarkLeft(int value);
// Top of row 1.. of a block (the bet-type row is 4 for Numbers3, 5 for Numbers4).
int GetMarkTop(common::Game game, int block, int row);

// The marks of one entry of a game's sheet in block 1..5: its digits in rows
// 1..3 (or 1..4) and the bet-type code in the last row. A Mini pair "*23" marks
// the tens digit in row 2 and the units in row 3, leaving row 1 empty.
std::vector<MarkRect> PrintEntry(common::Game game, int block, const common::LotteryNumber& entry,
                                 common::BetType printType);

} // namespace tw::printing
