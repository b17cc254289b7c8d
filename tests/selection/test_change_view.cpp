#include "selection/change_view.h"

#include "support/proposal_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::selection;
using tw::testing::pred;

// An all-group table with one number per value.
tw::engine::Proposal tableOf(std::initializer_list<int32_t> values) {
    tw::engine::Proposal p;
    p.AllGrpNums.clear();
    int16_t i = 0;
    for (int32_t v : values)
        p.AllGrpNums.push_back({v, 0, 0, i++, 0});
    p.AllGrpCount = i;
    p.AllGrpValueCount = i;
    return p;
}

TEST(ChangeView, GridRowsAreTheDistinctValues) {
    auto p = tw::testing::numbers3Proposal();
    EXPECT_EQ(allGroupRowTexts(p), (std::vector<std::string>{"10.500", "12.345", "15.000"}));
    EXPECT_EQ(allGroupRowTexts(tableOf({500, 10000, 123456, 999999})),
              (std::vector<std::string>{"0.500", "10.000", "123.456", "999.999"}));

    p.AllGrpValueCount = 2; // the grid has only that many rows
    EXPECT_EQ(allGroupRowTexts(p), (std::vector<std::string>{"10.500", "12.345"}));
    p.AllGrpValueCount = 4;
    EXPECT_EQ(allGroupRowTexts(p), (std::vector<std::string>{"10.500", "12.345", "15.000", ""}));
    p.AllGrpCount = 2; // entries past the count are not read
    p.AllGrpValueCount = 3;
    EXPECT_EQ(allGroupRowTexts(p), (std::vector<std::string>{"10.500", "", ""}));
}

TEST(ChangeView, KeyMarksWhereTheAverageFalls) {
    const auto p = tableOf({1000, 2000, 2062, 3000, 4000, 5000, 6000});
    const RowMark red4{4, kColourRed, kColourYellow};
    struct Case {
        const char* what;
        double avg;
        std::vector<RowMark> marks;
    };
    const Case cases[] = {
        {"equal to row 4", 4.0, {red4}},
        {"between rows 4 and 5", 4.5, {{4, kColourBlue, kColourYellow}, {5, kColourBlue, kColourYellow}}},
        {"just above row 4 after rounding", 4.0004, {red4}},
        {"below the first row", 0.25, {{0, kColourBlue, kColourYellow}}},
        {"equal to the first row", 1.0, {{0, kColourRed, kColourYellow}}},
        {"above every row", 6.5, {}},
        {"a half rounds to even", 2.0625, {{2, kColourRed, kColourYellow}}}, // 2062.5 -> 2062
    };
    for (const auto& c : cases)
        EXPECT_EQ(allGroupKeyMarks(p, c.avg), c.marks) << c.what;
    EXPECT_TRUE(allGroupKeyMarks(tableOf({}), 1.0).empty());
}

TEST(ChangeView, PointTableShowsTheRankingPerPosition) {
    tw::engine::Ranking r;
    r.at(0, 1) = {7, 42};
    r.at(0, 2) = {3, 40};
    r.at(9, 3) = {5, -2};
    r.at(4, 4) = {8, 17};
    r.at(10, 1) = {9, 99}; // slot 10 is not shown

    const auto n3 = pointTableCells(tw::common::Game::Numbers3, r);
    ASSERT_EQ(n3.size(), 11u);
    EXPECT_EQ(n3[0], (std::vector<std::string>{"Nxx", "Pt.", "xNx", "Pt.", "xxN", "Pt."}));
    EXPECT_EQ(n3[1], (std::vector<std::string>{"7", "42", "3", "40", "0", "0"}));
    EXPECT_EQ(n3[10][4], "5");
    EXPECT_EQ(n3[10][5], "-2");
    EXPECT_EQ(n3[10][0], "0");

    const auto n4 = pointTableCells(tw::common::Game::Numbers4, r);
    EXPECT_EQ(n4[0], (std::vector<std::string>{"Nxxx", "Pt.", "xNxx", "Pt.", "xxNx", "Pt.", "xxxN", "Pt."}));
    EXPECT_EQ(n4[5][6], "8");
    EXPECT_EQ(n4[5][7], "17");
}

TEST(ChangeView, PointTableColumnWidths) {
    EXPECT_EQ(pointTableColumnWidths(tw::common::Game::Numbers3, 3000),
              (std::vector<int>{585, 390, 585, 390, 585, 390}));
    // 2010 / 20 = 100.5 rounds to 100, so the unit is 95.
    EXPECT_EQ(pointTableColumnWidths(tw::common::Game::Numbers4, 2010),
              (std::vector<int>{285, 190, 285, 190, 285, 190, 285, 190}));
}

TEST(ChangeView, CountsAndAmounts) {
    struct Case {
        int64_t count;
        std::string countText;
        std::optional<std::string> amount;
    };
    const Case cases[] = {
        {0, "0", "\\0"},
        {15, "15", "\\3,000"},
        {12345, "12,345", "\\2,469,000"},
        {10737418, "10,737,418", "\\2,147,483,600"},
        {10737419, "10,737,419", std::nullopt}, // 2,147,483,800 does not fit in 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(countText(c.count), c.countText);
        EXPECT_EQ(amountText(c.count), c.amount) << c.count;
    }
    EXPECT_EQ(amountOf(15), 3000);
    EXPECT_FALSE(amountOf(10737419).has_value());
}

} // namespace
