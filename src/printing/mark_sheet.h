// Where the marks of one bet go on the NUMBERS mark sheet. Coordinates are
// twips (1440 per inch) from the top-left corner of the printable area, x to
// the right, y downwards; each computed coordinate is rounded to the nearest
// integer, halves to even. Five bets per sheet, in blocks 1..5. No Qt.
//
// Printers differ by a few millimetres in margins and paper feed, so every
// mark can be moved by a per-printer offset, in twips, limited to 15 mm either
// way. The offset is entered in 0.1 mm steps; twipsFromTenthsMm converts it,
// rounding to the nearest twip, halves to even, as every other conversion of
// the program does. The limit 15 mm is 850.39 twips and is applied as 850, so
// an offset of -150 tenths gives -850 and nothing beyond reaches the sheet.
#pragma once

#include "common/lottery.h"

#include <vector>

namespace tw::printing {

inline constexpr int kBlocksPerSheet = 5;
inline constexpr int kMarkWidth = 227; // 4 mm
inline constexpr int kMarkHeight = 57; // 1 mm

inline constexpr int kMaxOffsetTenthsMm = 150; // 15 mm
inline constexpr int kMaxOffsetTwips = 850;    // 15 mm = 850.39 twips, rounded

// Where this printer puts the sheet relative to where it should: added to every
// x and y drawn on the sheet. Zero leaves the sheet as measured.
struct SheetOffset {
    int x = 0; // twips, to the right
    int y = 0; // twips, downwards
    bool operator==(const SheetOffset&) const = default;
};

// Tenths of a millimetre to twips: clamped to +-15 mm, then rounded half to even.
int twipsFromTenthsMm(int tenths);
// The offset kept within +-kMaxOffsetTwips on each axis.
SheetOffset clampOffset(SheetOffset offset);

struct MarkRect {
    int x = 0;
    int y = 0;
    int w = kMarkWidth;
    int h = kMarkHeight;
    bool operator==(const MarkRect&) const = default;
};

// Sheets for `entries` bets, five to a sheet.
constexpr int sheetsNeeded(int entries) {
    return entries / kBlocksPerSheet + (entries % kBlocksPerSheet != 0 ? 1 : 0);
}

// Top of block 1..5 as measured on the sheet.
double dblBlockTop(int block);
// Column of digit value 0..9: value 9 at the left edge, 0 at the right.
int GetMarkLeft(int value);
// Top of row 1.. of a block (the bet-type row is 4 for Numbers3, 5 for Numbers4).
int GetMarkTop(common::Game game, int block, int row);

// The marks of one entry of a game's sheet in block 1..5: its digits in rows
// 1..3 (or 1..4) and the bet-type code in the last row. A Mini pair "*23" marks
// the tens digit in row 2 and the units in row 3, leaving row 1 empty. Every
// mark is moved by the (clamped) offset.
std::vector<MarkRect> PrintEntry(common::Game game, int block, const common::LotteryNumber& entry,
                                 common::BetType printType, SheetOffset offset = {});

// Every box a mark can go into on the sheet: each value of each row of each
// block, moved by the (clamped) offset. The print preview outlines them.
std::vector<MarkRect> sheetMarkAreas(common::Game game, SheetOffset offset = {});

} // namespace tw::printing
