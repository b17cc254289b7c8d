// The calibration sheet: what the print offset dialog prints onto a mark sheet
// so the user can measure how far this printer puts the marks from their
// boxes. It shows a crosshair over three marks whose places are known (the
// top-left mark of block 1, the bet-type mark of block 1 and the last mark of
// block 5), each with the outline of the mark, and two millimetre scales (one
// across above block 1, one down the right of the blocks) to check the
// printer's scale. Everything is plain filled rectangles in twips, drawn through
// the same page sink and moved by the same offset as a print job, so a
// calibrated printer shows the crosshairs centred on the boxes. No Qt.
#pragma once

#include "printing/mark_sheet.h"
#include "printing/print_job.h"

#include <array>
#include <vector>

namespace tw::printing {

inline constexpr int kCrossArm = 283;      // 5 mm from the centre each way
inline constexpr int kLineWidth = 6;       // about 0.1 mm
inline constexpr int kScaleAcrossMm = 60;  // the scale above block 1
inline constexpr int kScaleDownMm = 100;   // the scale right of the blocks
inline constexpr int kScaleAcrossY = 1400; // baseline of the scale across
inline constexpr int kScaleDownX = 3700;   // baseline of the scale down

// The three marks the crosshairs sit on, in sheet coordinates (no offset):
// value 9 in row 1 of block 1, type code 1 (Straight) in block 1's bet-type
// row, and value 0 in the bet-type row of block 5.
std::array<MarkRect, 3> calibrationTargets(common::Game game);

// The centre of a mark, where its crosshair crosses.
constexpr int markCentreX(const MarkRect& m) {
    return m.x + m.w / 2;
}
constexpr int markCentreY(const MarkRect& m) {
    return m.y + m.h / 2;
}

// The twips position of millimetre `mm` along a scale (rounded half to even).
int scaleTwips(int mm);

// Every rectangle of the calibration sheet, moved by the (clamped) offset.
std::vector<MarkRect> calibrationSheet(common::Game game, SheetOffset offset);

// Draws the calibration sheet as one page and ends the document.
void printCalibrationSheet(PageSink& sink, common::Game game, SheetOffset offset);

} // namespace tw::printing
