#include "printing/calibration_sheet.h"

#include "common/rounding.h"
#include "printing/print_data.h"

namespace tw::printing {

namespace {
constexpr double kTwipsPerMm = 1440.0 / 25.4;
constexpr int kTickShort = 85;   // 1.5 mm, every millimetre
constexpr int kTickMiddle = 142; // 2.5 mm, every 5 mm
constexpr int kTickLong = 227;   // 4 mm, every 10 mm

int tickLength(int mm) {
    if (mm % 10 == 0)
        return kTickLong;
    return mm % 5 == 0 ? kTickMiddle : kTickShort;
}

// A crosshair over the mark, and the mark's outline, so both the centre and the
// edges can be compared with the box printed on the sheet.
void crosshair(std::vector<MarkRect>& out, const MarkRect& m) {
    const int cx = markCentreX(m);
    const int cy = markCentreY(m);
    const int half = kLineWidth / 2;
    out.push_back({cx - kCrossArm, cy - half, 2 * kCrossArm, kLineWidth});
    out.push_back({cx - half, cy - kCrossArm, kLineWidth, 2 * kCrossArm});
    out.push_back({m.x, m.y, m.w, kLineWidth});
    out.push_back({m.x, m.y + m.h - kLineWidth, m.w, kLineWidth});
    out.push_back({m.x, m.y, kLineWidth, m.h});
    out.push_back({m.x + m.w - kLineWidth, m.y, kLineWidth, m.h});
}
} // namespace

std::array<MarkRect, 3> calibrationTargets(common::Game game) {
    const int typeRow = common::digitCount(game) + 1;
    return {MarkRect{GetMarkLeft(9), GetMarkTop(game, 1, 1)},
            MarkRect{GetMarkLeft(GetTypeCode(common::BetType::Straight)), GetMarkTop(game, 1, typeRow)},
            MarkRect{GetMarkLeft(0), GetMarkTop(game, kBlocksPerSheet, typeRow)}};
}

int scaleTwips(int mm) {
    return static_cast<int>(common::roundHalfEven(mm * kTwipsPerMm));
}

std::vector<MarkRect> calibrationSheet(common::Game game, SheetOffset offset) {
    std::vector<MarkRect> rects;
    for (const MarkRect& target : calibrationTargets(game))
        crosshair(rects, target);

    // Across: baseline at kScaleAcrossY from x = 0, ticks rising above it.
    rects.push_back({0, kScaleAcrossY, scaleTwips(kScaleAcrossMm) + kLineWidth, kLineWidth});
    for (int mm = 0; mm <= kScaleAcrossMm; ++mm) {
        const int length = tickLength(mm);
        rects.push_back({scaleTwips(mm), kScaleAcrossY - length, kLineWidth, length});
    }
    // Down: baseline at kScaleDownX from block 1's top, ticks to the right.
    const int top = GetMarkTop(game, 1, 1);
    rects.push_back({kScaleDownX, top, kLineWidth, scaleTwips(kScaleDownMm) + kLineWidth});
    for (int mm = 0; mm <= kScaleDownMm; ++mm)
        rects.push_back({kScaleDownX + kLineWidth, top + scaleTwips(mm), tickLength(mm), kLineWidth});

    const SheetOffset o = clampOffset(offset);
    for (MarkRect& r : rects) {
        r.x += o.x;
        r.y += o.y;
    }
    return rects;
}

void printCalibrationSheet(PageSink& sink, common::Game game, SheetOffset offset) {
    for (const MarkRect& r : calibrationSheet(game, offset))
        sink.drawRect(r.x, r.y, r.w, r.h);
    sink.endDocument();
}

} // namespace tw::printing
