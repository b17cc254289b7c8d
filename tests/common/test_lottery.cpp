#include "common/lottery.h"

#include <gtest/gtest.h>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::common::LotteryNumber;

TEST(Game, CodesNamesAndFiles) {
    EXPECT_EQ(tw::common::gameFromCode(3), Game::Numbers3);
    EXPECT_EQ(tw::common::gameFromCode(4), Game::Numbers4);
    for (int bad : {0, 1, 2, 5, -3}) {
        EXPECT_FALSE(tw::common::gameFromCode(bad).has_value()) << bad;
        EXPECT_FALSE(tw::common::isGame(Game{bad})) << bad;
    }
    for (Game game : tw::common::kGames)
        EXPECT_TRUE(tw::common::isGame(game)) << tw::common::gameCode(game);
    EXPECT_EQ(tw::common::digitCount(Game::Numbers3), 3);
    EXPECT_EQ(tw::common::digitCount(Game::Numbers4), 4);
    EXPECT_STREQ(tw::common::tableFileName(Game::Numbers3), "Num3Data.tbl");
    EXPECT_STREQ(tw::common::tableFileName(Game::Numbers4), "Num4Data.tbl");
    EXPECT_EQ(tw::common::gameColourBgr(Game::Numbers3), 0xFF00FFu);
    EXPECT_EQ(tw::common::gameColourBgr(Game::Numbers4), 0x00C000u);
}

TEST(BetType, KeysRoundTrip) {
    for (BetType bet : tw::common::kBetTypes)
        EXPECT_EQ(tw::common::betFromKey(tw::common::betKey(bet)), bet);
    EXPECT_FALSE(tw::common::betFromKey("Straight").has_value());
    EXPECT_FALSE(tw::common::betFromKey("").has_value());
}

TEST(LotteryNumber, ParseAndText) {
    struct Case {
        Game game;
        const char* text;
        bool valid;
        int value;
        bool mini;
    };
    const Case cases[] = {
        {Game::Numbers3, "012", true, 12, false},   {Game::Numbers3, "000", true, 0, false},
        {Game::Numbers4, "0123", true, 123, false}, {Game::Numbers4, "9999", true, 9999, false},
        {Game::Numbers3, "*07", true, 7, true},     {Game::Numbers3, "12", false, 0, false},
        {Game::Numbers3, "0123", false, 0, false},  {Game::Numbers4, "012", false, 0, false},
        {Game::Numbers4, "*12", false, 0, false},   {Game::Numbers3, "*123", false, 0, false},
        {Game::Numbers3, "1a3", false, 0, false},   {Game::Numbers3, "", false, 0, false},
        {Game::Numbers3, "-12", false, 0, false},   {Game::Numbers3, "* 1", false, 0, false},
    };
    for (const Case& c : cases) {
        const auto n = LotteryNumber::parse(c.game, c.text);
        ASSERT_EQ(n.has_value(), c.valid) << c.text;
        if (!n)
            continue;
        EXPECT_EQ(n->text(), c.text);
        EXPECT_EQ(n->value(), c.value) << c.text;
        EXPECT_EQ(n->isMini(), c.mini) << c.text;
        EXPECT_EQ(*n, *LotteryNumber::parse(c.game, n->text()));
    }
    EXPECT_EQ(LotteryNumber::mini(0, 5).text(), "*05");
    EXPECT_EQ(LotteryNumber::mini(0, 5).digitText(), "05");
    EXPECT_EQ(LotteryNumber::of(Game::Numbers3, {9, 0, 1, 7}).text(), "901");
}

TEST(LotteryNumber, FromItsValue) {
    struct Case {
        Game game;
        int value;
        const char* text;
    };
    const Case cases[] = {
        {Game::Numbers3, 0, "000"},     {Game::Numbers3, 7, "007"},     {Game::Numbers3, 12, "012"},
        {Game::Numbers3, 905, "905"},   {Game::Numbers4, 12, "0012"},   {Game::Numbers4, 123, "0123"},
        {Game::Numbers4, 9876, "9876"}, {Game::Numbers4, 1000, "1000"},
    };
    for (const auto& c : cases) {
        const LotteryNumber n = LotteryNumber::ofValue(c.game, c.value);
        EXPECT_EQ(n.text(), c.text) << c.value;
        EXPECT_EQ(n.value(), c.value) << c.text;
        EXPECT_EQ(n, *LotteryNumber::parse(c.game, c.text)) << c.text;
    }
}

TEST(LotteryNumber, WhatCanBeBought) {
    const auto n = [](Game g, const char* t) { return *LotteryNumber::parse(g, t); };
    EXPECT_TRUE(n(Game::Numbers3, "777").allDigitsEqual());
    EXPECT_TRUE(n(Game::Numbers4, "0000").allDigitsEqual());
    EXPECT_FALSE(n(Game::Numbers4, "0001").allDigitsEqual());
    EXPECT_TRUE(n(Game::Numbers3, "777").buyableAs(BetType::Straight));
    EXPECT_FALSE(n(Game::Numbers3, "777").buyableAs(BetType::Box));
    EXPECT_FALSE(n(Game::Numbers3, "777").buyableAs(BetType::Set));
    EXPECT_TRUE(n(Game::Numbers4, "1223").buyableAs(BetType::Set));
    EXPECT_FALSE(n(Game::Numbers3, "123").buyableAs(BetType::Mini));
    EXPECT_TRUE(n(Game::Numbers3, "*11").buyableAs(BetType::Mini));
    EXPECT_FALSE(n(Game::Numbers3, "*11").buyableAs(BetType::Straight));
}

} // namespace
