#include "printing/mark_sheet.h"
#include "printing/print_data.h"
#include "support/entry_numbers.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::printing;
using tw::common::BetType;
using tw::common::Game;

TEST(MarkSheet, ColumnsBlocksAndRows) {
    const int xs[] = {0, 352, 703, 1055, 1407, 1759, 2110, 2462, 2814, 3166}; // values 9 down to 0
    for (int v = 9; v >= 0; --v)
        EXPECT_EQ(GetMarkLeft(v), xs[9 - v]) << v;

    const int tops[] = {2183, 3374, 4565, 5756, 6946};
    for (int b = 1; b <= 5; ++b) {
        EXPECT_EQ(GetMarkTop(Game::Numbers3, b, 1), tops[b - 1]) << b;
        EXPECT_EQ(GetMarkTop(Game::Numbers4, b, 1), tops[b - 1]) << b;
    }
    const int offsets3[] = {0, 199, 398, 597};
    const int offsets4[] = {0, 206, 412, 618, 824};
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(GetMarkTop(Game::Numbers3, 2, r) - 3374, offsets3[r - 1]) << r;
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(GetMarkTop(Game::Numbers4, 5, r) - 6946, offsets4[r - 1]) << r;
}

TEST(MarkSheet, TypeCodes) {
    const std::pair<BetType, int> cases[] = {
        {BetType::Straight, 1}, {BetType::Box, 3}, {BetType::Set, 5}, {BetType::Mini, 7}};
    for (const auto& [type, code] : cases)
        EXPECT_EQ(GetTypeCode(type), code) << tw::common::betName(type);
    const std::pair<int, BetType> options[] = {
        {0, BetType::Straight}, {1, BetType::Box}, {2, BetType::Set}, {3, BetType::Mini}, {7, BetType::Mini}};
    for (const auto& [index, type] : options)
        EXPECT_EQ(printTypeOfOption(index), type) << index;
}

TEST(MarkSheet, EntryMarks) {
    struct Case {
        const char* what;
        Game game;
        int block;
        const char* entry;
        BetType type;
        std::vector<MarkRect> marks;
    };
    const Case cases[] = {
        {"Numbers3 Straight 905",
         Game::Numbers3,
         1,
         "905",
         BetType::Straight,
         {{0, 2183}, {3166, 2183 + 199}, {1407, 2183 + 398}, {2814, 2183 + 597}}},
        {"Mini *23 in block 3",
         Game::Numbers3,
         3,
         "*23",
         BetType::Mini,
         {{2462, 4565 + 199}, {2110, 4565 + 398}, {703, 4565 + 597}}},
        {"Numbers4 Box 0123 in block 2",
         Game::Numbers4,
         2,
         "0123",
         BetType::Box,
         {{3166, 3374}, {2814, 3374 + 206}, {2462, 3374 + 412}, {2110, 3374 + 618}, {2110, 3374 + 824}}},
        {"Numbers3 Set 000 in block 5",
         Game::Numbers3,
         5,
         "000",
         BetType::Set,
         {{3166, 6946}, {3166, 6946 + 199}, {3166, 6946 + 398}, {1407, 6946 + 597}}},
        {"Numbers4 Straight 9870 in block 4",
         Game::Numbers4,
         4,
         "9870",
         BetType::Straight,
         {{0, 5756}, {352, 5756 + 206}, {703, 5756 + 412}, {3166, 5756 + 618}, {2814, 5756 + 824}}},
    };
    for (const auto& c : cases) {
        const auto marks = PrintEntry(c.game, c.block, tw::testing::entryNumber(c.game, c.entry), c.type);
        EXPECT_EQ(marks, c.marks) << c.what;
        for (const auto& m : marks) {
            EXPECT_EQ(m.w, 227) << c.what;
            EXPECT_EQ(m.h, 57) << c.what;
        }
    }
}

TEST(MarkSheet, OffsetFromTenthsOfAMillimetre) {
    // 1 mm = 1440 / 25.4 = 56.693 twips; 15 mm = 850.39 is the limit either way.
    const std::pair<int, int> cases[] = {
        {0, 0},     {1, 6},       {-1, -6},   {3, 17},      {5, 28},     {-5, -28},
        {10, 57},   {-10, -57},   {25, 142},  {-37, -210},  {100, 567},  {149, 845},
        {150, 850}, {-150, -850}, {151, 850}, {-151, -850}, {1000, 850}, {-32768, -850},
    };
    for (const auto& [tenths, twips] : cases)
        EXPECT_EQ(twipsFromTenthsMm(tenths), twips) << tenths;
}

TEST(MarkSheet, EntryMarksMovedByTheOffset) {
    struct Case {
        const char* what;
        Game game;
        int block;
        const char* entry;
        BetType type;
        SheetOffset offset;
        SheetOffset applied; // what reaches the marks after the limit
    };
    const Case cases[] = {
        {"no offset", Game::Numbers3, 1, "905", BetType::Straight, {0, 0}, {0, 0}},
        {"right and down", Game::Numbers3, 1, "905", BetType::Straight, {57, 28}, {57, 28}},
        {"left and up", Game::Numbers4, 5, "0123", BetType::Box, {-142, -6}, {-142, -6}},
        {"only across", Game::Numbers3, 3, "*23", BetType::Mini, {-300, 0}, {-300, 0}},
        {"only down", Game::Numbers4, 2, "9876", BetType::Set, {0, 510}, {0, 510}},
        {"at the limits", Game::Numbers3, 5, "000", BetType::Set, {850, -850}, {850, -850}},
        {"beyond the limits", Game::Numbers3, 2, "123", BetType::Straight, {851, -2000}, {850, -850}},
        {"far beyond the other way", Game::Numbers4, 1, "4567", BetType::Straight, {-100000, 100000}, {-850, 850}},
    };
    for (const auto& c : cases) {
        const auto entry = tw::testing::entryNumber(c.game, c.entry);
        const auto plain = PrintEntry(c.game, c.block, entry, c.type);
        const auto moved = PrintEntry(c.game, c.block, entry, c.type, c.offset);
        ASSERT_EQ(moved.size(), plain.size()) << c.what;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            EXPECT_EQ(moved[i].x, plain[i].x + c.applied.x) << c.what << " mark " << i;
            EXPECT_EQ(moved[i].y, plain[i].y + c.applied.y) << c.what << " mark " << i;
            EXPECT_EQ(moved[i].w, 227) << c.what;
            EXPECT_EQ(moved[i].h, 57) << c.what;
        }
    }
    // A known mark, not only a difference: 905's 0 in row 2 of block 1, 1 mm left, 2.5 mm down.
    const SheetOffset offset{twipsFromTenthsMm(-10), twipsFromTenthsMm(25)};
    EXPECT_EQ(
        PrintEntry(Game::Numbers3, 1, tw::testing::entryNumber(Game::Numbers3, "905"), BetType::Straight, offset)[1],
        (MarkRect{3166 - 57, 2183 + 199 + 142}));
    EXPECT_EQ(clampOffset({-851, 850}), (SheetOffset{-850, 850}));
}

TEST(MarkSheet, SheetsNeeded) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {5, 1}, {6, 2}, {10, 2}, {11, 3}};
    for (const auto& [entries, sheets] : cases)
        EXPECT_EQ(sheetsNeeded(entries), sheets) << entries;
}

} // namespace
