#include "printing/calibration_sheet.h"

#include "support/entry_numbers.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tw::printing;
using tw::common::BetType;
using tw::common::Game;
using tw::testing::RecordingSink;

// A crosshair is a horizontal and a vertical line of 2 x kCrossArm crossing at one point.
struct Cross {
    int cx, cy;
    bool operator==(const Cross&) const = default;
};

std::vector<Cross> crossesIn(const std::vector<MarkRect>& rects) {
    std::vector<Cross> crosses;
    for (const MarkRect& h : rects) {
        if (h.w != 2 * kCrossArm || h.h != kLineWidth)
            continue;
        for (const MarkRect& v : rects) {
            if (v.w == kLineWidth && v.h == 2 * kCrossArm && v.x + kLineWidth / 2 == h.x + kCrossArm &&
                h.y + kLineWidth / 2 == v.y + kCrossArm)
                crosses.push_back({h.x + kCrossArm, h.y + kLineWidth / 2});
        }
    }
    return crosses;
}

TEST(CalibrationSheet, TargetsAreKnownMarks) {
    struct Case {
        Game game;
        const char* nines; // 9 then zeros: the game's number with 9 in row 1
        std::array<MarkRect, 3> targets;
    };
    const Case cases[] = {
        {Game::Numbers3, "900", {MarkRect{0, 2183}, MarkRect{2814, 2183 + 597}, MarkRect{3166, 6946 + 597}}},
        {Game::Numbers4, "9000", {MarkRect{0, 2183}, MarkRect{2814, 2183 + 824}, MarkRect{3166, 6946 + 824}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calibrationTargets(c.game), c.targets) << c.nines;
        // They are where a print job puts them: 9 in row 1 of block 1, the Straight code, 0 in block 5.
        const auto nines = tw::testing::entryNumber(c.game, c.nines);
        EXPECT_EQ(PrintEntry(c.game, 1, nines, BetType::Straight).front(), c.targets[0]);
        EXPECT_EQ(PrintEntry(c.game, 1, nines, BetType::Straight).back(), c.targets[1]);
        EXPECT_EQ(PrintEntry(c.game, 5, nines, BetType::Straight).back().y, c.targets[2].y);
    }
}

TEST(CalibrationSheet, CrosshairsOnTheMarksMovedByTheOffset) {
    const SheetOffset offsets[] = {{0, 0}, {57, -28}, {-850, 850}, {2000, -2000}};
    for (const SheetOffset& offset : offsets) {
        const SheetOffset o = clampOffset(offset);
        for (const Game game : tw::common::kGames) {
            std::vector<Cross> expected;
            for (const MarkRect& t : calibrationTargets(game))
                expected.push_back({t.x + 113 + o.x, t.y + 28 + o.y});
            const auto rects = calibrationSheet(game, offset);
            EXPECT_EQ(crossesIn(rects), expected) << offset.x << "," << offset.y << " " << tw::common::gameName(game);
            // Every rectangle moves by the same offset as the marks of a print job.
            const auto plain = calibrationSheet(game, {});
            ASSERT_EQ(rects.size(), plain.size());
            for (std::size_t i = 0; i < rects.size(); ++i) {
                EXPECT_EQ(rects[i].x, plain[i].x + o.x) << i;
                EXPECT_EQ(rects[i].y, plain[i].y + o.y) << i;
            }
        }
    }
}

TEST(CalibrationSheet, MillimetreScales) {
    const std::pair<int, int> positions[] = {{0, 0}, {1, 57}, {5, 283}, {10, 567}, {25, 1417}, {60, 3402}, {100, 5669}};
    for (const auto& [mm, twips] : positions)
        EXPECT_EQ(scaleTwips(mm), twips) << mm;

    const auto rects = calibrationSheet(Game::Numbers3, {});
    // Ticks across stand on the baseline with their left edge at the millimetre.
    std::vector<int> across;
    std::vector<int> lengths;
    for (const MarkRect& r : rects) {
        if (r.w == kLineWidth && r.y + r.h == kScaleAcrossY) {
            across.push_back(r.x);
            lengths.push_back(r.h);
        }
    }
    ASSERT_EQ(across.size(), static_cast<std::size_t>(kScaleAcrossMm + 1));
    for (int mm = 0; mm <= kScaleAcrossMm; ++mm)
        EXPECT_EQ(across[static_cast<std::size_t>(mm)], scaleTwips(mm)) << mm;
    // Long ticks every 10 mm, middle ones at 5, short ones between.
    EXPECT_EQ(lengths[0], 227);
    EXPECT_EQ(lengths[5], 142);
    EXPECT_EQ(lengths[7], 85);
    EXPECT_EQ(lengths[60], 227);
    // The scale down starts at block 1's top and reaches 100 mm below it.
    int down = 0, lastY = 0;
    for (const MarkRect& r : rects) {
        if (r.h == kLineWidth && r.x == kScaleDownX + kLineWidth) {
            ++down;
            lastY = std::max(lastY, r.y);
        }
    }
    EXPECT_EQ(down, kScaleDownMm + 1);
    EXPECT_EQ(lastY, 2183 + 5669);
}

TEST(CalibrationSheet, PrintedAsOnePage) {
    RecordingSink sink;
    printCalibrationSheet(sink, Game::Numbers4, {6, -6});
    const auto rects = calibrationSheet(Game::Numbers4, {6, -6});
    ASSERT_EQ(sink.pages.size(), 1u);
    ASSERT_EQ(sink.pages[0].size(), rects.size());
    for (std::size_t i = 0; i < rects.size(); ++i)
        EXPECT_EQ(sink.pages[0][i], (RecordingSink::Rect{rects[i].x, rects[i].y, rects[i].w, rects[i].h})) << i;
    EXPECT_EQ(sink.endDocuments, 1);
    EXPECT_EQ(sink.newPages, 0);
}

} // namespace
