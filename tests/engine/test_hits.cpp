// Hit tests of entries against a drawn round and the per-group hit summary.
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tw::engine {
namespace {

history::NumData draw(const std::string& digits) {
    history::NumData rec;
    for (std::size_t i = 0; i < digits.size(); ++i)
        rec.bytNum[i + 1] = static_cast<uint8_t>(digits[i] - '0');
    rec.lngStraight = 90000;
    rec.lngBox = 15000;
    rec.lngSetStraight = 52000;
    rec.lngSetBox = 7500;
    rec.lngMini = 8800;
    return rec;
}

PredNum entry(const std::string& digits) {
    int16_t d[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < digits.size(); ++i)
        d[i] = static_cast<int16_t>(digits[i] - '0');
    return PredNum{d[0], d[1], d[2], d[3]};
}

TEST(HitTests, StraightAndBox) {
    struct Case {
        const char* draw;
        const char* entry;
        bool straight, box;
    };
    const Case cases[] = {
        {"112", "112", true, true}, // a straight hit also has the same digits
        {"112", "121", false, true},    {"112", "211", false, true},
        {"112", "122", false, false}, // one 1 stays unmatched
        {"112", "111", false, false},   {"307", "703", false, true},
        {"000", "000", true, true},     {"1123", "1123", true, true},
        {"1123", "3211", false, true},  {"1123", "1124", false, false},
        {"1123", "1223", false, false}, {"0000", "0000", true, true},
    };
    for (const Case& c : cases) {
        const common::Game game = std::string(c.draw).size() == 3 ? common::Game::Numbers3 : common::Game::Numbers4;
        EXPECT_EQ(IsStraightHit(draw(c.draw), entry(c.entry), game), c.straight) << c.draw << " " << c.entry;
        EXPECT_EQ(IsBoxHit(draw(c.draw), entry(c.entry), game), c.box) << c.draw << " " << c.entry;
    }
}

TEST(HitTests, MiniIsTheLastTwoDigitsInOrder) {
    EXPECT_TRUE(IsMiniHit(draw("307"), entry("07")));
    EXPECT_FALSE(IsMiniHit(draw("307"), entry("70")));
    EXPECT_FALSE(IsMiniHit(draw("307"), entry("30")));
    EXPECT_TRUE(IsMiniHit(draw("900"), entry("00")));
}

CountedList<PredNum> list(std::initializer_list<const char*> items, int count = -1) {
    CountedList<PredNum> l;
    for (const char* s : items)
        l.items.push_back(entry(s));
    l.count = static_cast<int16_t>(count < 0 ? static_cast<int>(l.items.size()) : count);
    return l;
}

TEST(HitSummary, GroupsPaySetPrizesAndMiniPaysTheMiniPrize) {
    Proposal p;
    p.grp1 = list({"307", "370", "111"});
    p.grp2 = list({"730", "703", "037", "999"}, 2); // entries beyond the count do not count
    p.mini = list({"07", "70", "37"});
    p.grp3 = list({"3070"});
    EngineError err = EngineError::CountOverflow;
    const HitSummary s = summarizeHits(p, draw("307"), common::Game::Numbers3, &err);
    EXPECT_EQ(err, EngineError::None);
    EXPECT_EQ(s.group1.count, 3);
    EXPECT_EQ(s.group1.straight, 1);
    EXPECT_EQ(s.group1.box, 1);
    EXPECT_EQ(s.group1.money, 52000 + 7500); // Set-Straight, not the Straight prize
    EXPECT_EQ(s.group2.count, 2);
    EXPECT_EQ(s.group2.straight, 0);
    EXPECT_EQ(s.group2.box, 2);
    EXPECT_EQ(s.group2.money, 2 * 7500);
    EXPECT_EQ(s.third.count, 3);
    EXPECT_EQ(s.third.straight, 1);
    EXPECT_EQ(s.third.money, 8800);
}

TEST(HitSummary, NumbersFourSummarizesGroupThree) {
    Proposal p;
    p.grp3 = list({"1123", "3211", "1124"});
    p.mini = list({"23"});
    const HitSummary s = summarizeHits(p, draw("1123"), common::Game::Numbers4);
    EXPECT_EQ(s.third.count, 3);
    EXPECT_EQ(s.third.straight, 1);
    EXPECT_EQ(s.third.box, 1);
    EXPECT_EQ(s.third.money, 52000 + 7500);
    EXPECT_EQ(s.group1.count, 0);
    EXPECT_EQ(s.group1.money, 0);
}

TEST(HitSummary, MoneyBeyondThirtyTwoBitsIsReported) {
    Proposal p;
    p.grp1 = list({"123", "132"}); // one straight, one box
    history::NumData d = draw("123");
    d.lngSetStraight = INT_MAX - 10;
    d.lngSetBox = 10;
    EngineError err = EngineError::None;
    summarizeHits(p, d, common::Game::Numbers3, &err);
    EXPECT_EQ(err, EngineError::None); // INT_MAX exactly
    d.lngSetBox = 11;
    summarizeHits(p, d, common::Game::Numbers3, &err);
    EXPECT_EQ(err, EngineError::CountOverflow);
}

} // namespace
} // namespace tw::engine
