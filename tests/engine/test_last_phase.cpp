// The last phase: similar-situation lists and their tiers, follow-up lists and
// votes, candidate digits, the all-group table with its window, candidate
// numbers, groups and Mini candidates, and the proposal a run leaves.
#include "engine/last_phase.h"
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace tw::engine::test {
namespace {

std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

// ------------------------------------------------------------------ tiers

std::vector<std::pair<int, std::vector<int>>> usedTiers(const std::array<PointTier, 11>& tiers) {
    std::vector<std::pair<int, std::vector<int>>> out;
    for (int t = 0; t < 10; ++t) {
        const PointTier& tier = tiers[ix(t)];
        if (tier.lngTierValue < 0)
            continue;
        std::vector<int> keys(tier.intTierKey.begin(), tier.intTierKey.begin() + tier.intTierCount);
        out.emplace_back(tier.lngTierValue, keys);
    }
    return out;
}

TEST(PointTiers, GroupKeysOfEqualTallyFromTheLargest) {
    struct Case {
        std::array<int16_t, 11> tally;
        std::vector<std::pair<int, std::vector<int>>> tiers;
    };
    const Case cases[] = {
        {{}, {{0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}}},
        // following rounds at ranks 3, 3 and 1
        {{1, 0, 2}, {{2, {2}}, {1, {0}}, {0, {1, 3, 4, 5, 6, 7, 8, 9}}}},
        {{5, 0, 5, 2, 2, 0, 0, 0, 0, 1}, {{5, {0, 2}}, {2, {3, 4}}, {1, {9}}, {0, {1, 5, 6, 7, 8}}}},
        {{9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
         {{9, {0}}, {8, {1}}, {7, {2}}, {6, {3}}, {5, {4}}, {4, {5}}, {3, {6}}, {2, {7}}, {1, {8}}, {0, {9}}}},
    };
    for (const Case& c : cases) {
        std::array<PointTier, 11> tiers{};
        tiers[10].lngTierValue = 77;
        tiers[10].intTierCount = 3;
        tiers[0].intTierKey[10] = 5;
        tiers[4].intTierKey[3] = 8;
        MakePointTiers(c.tally, tiers);
        EXPECT_EQ(usedTiers(tiers), c.tiers);
        for (std::size_t t = c.tiers.size(); t < 10; ++t) {
            EXPECT_EQ(tiers[t].lngTierValue, -1);
            EXPECT_EQ(tiers[t].intTierCount, 0);
            for (int k = 0; k < 10; ++k)
                EXPECT_EQ(tiers[t].intTierKey[ix(k)], -1);
        }
        // Tier 10 and key slot 10 are not the tiers' business.
        EXPECT_EQ(tiers[10].lngTierValue, 77);
        EXPECT_EQ(tiers[10].intTierCount, 3);
        EXPECT_EQ(tiers[0].intTierKey[10], 5);
    }
}

// ------------------------------------------------------------------ lists of a run

// Checks the tiers of a snapshot against a tally counted from the records before it.
void expectTiersOf(const std::array<PointTier, 11>& tiers, const std::array<int, 10>& tally) {
    int keys = 0;
    long previous = -1;
    for (int t = 0; t < 10; ++t) {
        const PointTier& tier = tiers[ix(t)];
        if (tier.lngTierValue < 0) {
            EXPECT_EQ(tier.intTierCount, 0);
            continue;
        }
        if (previous >= 0) {
            EXPECT_LT(tier.lngTierValue, previous);
        }
        previous = tier.lngTierValue;
        for (int k = 0; k < tier.intTierCount; ++k) {
            const int key = tier.intTierKey[ix(k)];
            EXPECT_EQ(tally[ix(key)], tier.lngTierValue) << "key " << key;
            if (k > 0) {
                EXPECT_GT(key, tier.intTierKey[ix(k - 1)]);
            }
        }
        keys += tier.intTierCount;
    }
    EXPECT_EQ(keys, 10);
}

class LastPhaseLists : public ::testing::TestWithParam<int> {};

TEST_P(LastPhaseLists, FrequencyListsHoldTheRoundsInTheLastRoundsSituation) {
    const int game = GetParam();
    const history::DrawTable table = randomTable(common::Game{game}, 800, 31);
    for (int last : {800, 650, 500}) {
        SCOPED_TRACE("last row " + std::to_string(last));
        Engine engine;
        runSliced(engine, table, common::Game{game}, last);
        const auto freq = engine.FreqRows();
        for (int p = 1; p <= 4; ++p) {
            const CountedList<FlowRec>& list = engine.FreqFlow(p);
            if (p > game) {
                EXPECT_EQ(list.count, 0);
                continue;
            }
            const int h = freq[ix(last)].blocks[ix(p)].intHitRank;
            std::vector<int> expectedRows;
            for (int j = 500; j <= last; ++j)
                if (freq[ix(j)].blocks[ix(p)].intHitRank == h)
                    expectedRows.push_back(j);
            ASSERT_EQ(list.count, static_cast<int>(expectedRows.size()));
            std::array<int, 10> rankTally{}, digitTally{};
            for (int k = 0; k < list.count; ++k) {
                const FlowRec& rec = list[k];
                const int j = expectedRows[ix(k)];
                EXPECT_EQ(rec.intFlowRow, j + 1);
                EXPECT_EQ(rec.intFlowHitRank, h);
                EXPECT_EQ(rec.intFlowHitDigit, freq[ix(j)].blocks[ix(p)].intHitDigit);
                expectTiersOf(rec.NextRankTiers, rankTally);
                expectTiersOf(rec.NextDigitTiers, digitTally);
                if (j == last) {
                    EXPECT_EQ(rec.intNextHitRank, -1);
                    EXPECT_EQ(rec.intNextHitDigit, -1);
                } else {
                    EXPECT_EQ(rec.intNextHitRank, freq[ix(j + 1)].blocks[ix(p)].intHitRank);
                    EXPECT_EQ(rec.intNextHitDigit, freq[ix(j + 1)].blocks[ix(p)].intHitDigit);
                    ++rankTally[ix(rec.intNextHitRank - 1)];
                    ++digitTally[ix(rec.intNextHitDigit)];
                }
            }
            EXPECT_EQ(list[list.count - 1].intFlowRow, last + 1);
            // The first record sees empty tallies: one tier of all ten keys.
            EXPECT_EQ(usedTiers(list[0].NextRankTiers),
                      (std::vector<std::pair<int, std::vector<int>>>{{0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}}));
            if (last == 500) {
                EXPECT_EQ(list.count, 1);
            }
        }
    }
}

TEST_P(LastPhaseLists, FollowListsPairRoundsFromFiveHundredBeforeTheLast) {
    const int game = GetParam();
    const history::DrawTable table = randomTable(common::Game{game}, 800, 32);
    Engine engine;
    runSliced(engine, table, common::Game{game}, 800);
    const auto follow = engine.FollowRows();
    for (int p = 1; p <= 4; ++p) {
        const CountedList<FlowStep>& list = engine.FollowFlow(p);
        if (p > game) {
            EXPECT_EQ(list.count, 0);
            continue;
        }
        const int h = follow[800].blocks[ix(p)].intHitRank;
        std::vector<FlowStep> expected;
        for (int r = 500; r <= 799; ++r) { // (799, 800) is not collected
            const PosBlock& before = follow[ix(r - 1)].blocks[ix(p)];
            const PosBlock& after = follow[ix(r)].blocks[ix(p)];
            if (before.intHitRank == h)
                expected.push_back({before.intHitRank, before.intHitDigit, after.intHitRank, after.intHitDigit});
        }
        ASSERT_EQ(list.count, static_cast<int>(expected.size()));
        ASSERT_GT(list.count, 5);
        for (int k = 0; k < list.count; ++k)
            EXPECT_EQ(list[k], expected[ix(k)]) << "record " << k;
    }
}

TEST_P(LastPhaseLists, NoListAndNoVoteBeforeRoundFiveHundred) {
    const int game = GetParam();
    const history::DrawTable table = randomTable(common::Game{game}, 600, 33);
    Engine engine;
    runSliced(engine, table, common::Game{game}, 600); // fills every list first
    ASSERT_GT(engine.FreqFlow(1).count, 0);
    for (int last : {499, 500}) {
        runSliced(engine, table, common::Game{game}, last);
        for (int p = 1; p <= 4; ++p) {
            EXPECT_EQ(engine.FreqFlow(p).count, last == 500 && p <= game ? 1 : 0) << "position " << p;
            EXPECT_EQ(engine.FollowFlow(p).count, 0) << "position " << p;
            for (int d = 0; d < 10; ++d)
                EXPECT_EQ(engine.intDigitCount(p, d), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, LastPhaseLists, ::testing::Values(3, 4));

// ------------------------------------------------------------------ votes

Ranking rankingWithFirst(int pos, int first) {
    Ranking rk;
    int s = 0;
    rk.at(s++, pos).intDigit = static_cast<int16_t>(first);
    for (int d = 0; d < 10; ++d)
        if (d != first)
            rk.at(s++, pos).intDigit = static_cast<int16_t>(d);
    return rk;
}

TEST(FollowUpVotes, ThreeIndependentRulesPerRecord) {
    // Position 1: h = 3, c = 7; the forecast ranks 7 first, then 0, 1, 2, ... so rank 4 is digit 2.
    struct Case {
        std::vector<FlowStep> records;
        std::map<int, int> votes; // digit -> votes at position 1
    };
    const Case cases[] = {
        {{{3, 7, 1, 0}, {3, 2, 4, 0}, {3, 7, 1, 0}}, {{7, 6}, {2, 1}}},
        {{{3, 2, 4, 5}}, {{2, 1}}},
        {{{3, 7, 10, 0}}, {{9, 2}, {7, 1}}}, // rank 10 is digit 9
        {{{5, 7, 1, 0}}, {{7, 1}}},          // another rank: only the digit rule
        {{}, {}},
    };
    const Ranking forecast = rankingWithFirst(1, 7);
    for (const Case& c : cases) {
        std::array<CountedList<FlowStep>, 5> lists{};
        for (const FlowStep& s : c.records)
            appendCounted(lists[1], s);
        DigitTally votes{};
        votes[2][4] = 9; // cleared first
        ASSERT_EQ(FollowUpVotes(3, lists, {0, 3, 0, 0, 0}, {0, 7, 0, 0, 0}, forecast, votes), EngineError::None);
        for (int p = 0; p <= 4; ++p)
            for (int d = 0; d <= 10; ++d) {
                const auto it = c.votes.find(d);
                EXPECT_EQ(votes[ix(p)][ix(d)], p == 1 && it != c.votes.end() ? it->second : 0)
                    << "position " << p << " digit " << d;
            }
    }
}

TEST(FollowUpVotes, RefusesToWrapAVote) {
    std::array<CountedList<FlowStep>, 5> lists{};
    lists[1].items.assign(11000, FlowStep{3, 7, 1, 0}); // each gives digit 7 three votes
    lists[1].count = 11000;
    DigitTally votes{};
    EXPECT_EQ(FollowUpVotes(3, lists, {0, 3, 0, 0, 0}, {0, 7, 0, 0, 0}, rankingWithFirst(1, 7), votes),
              EngineError::CountOverflow);
    lists[1].count = 10922; // 32766 votes
    EXPECT_EQ(FollowUpVotes(3, lists, {0, 3, 0, 0, 0}, {0, 7, 0, 0, 0}, rankingWithFirst(1, 7), votes),
              EngineError::None);
    EXPECT_EQ(votes[1][7], 32766);
}

// ------------------------------------------------------------------ candidate digits

RankedDigits ranked(std::array<int16_t, 10> points) {
    return rankDigitsFast(points);
}

std::vector<int> candDigitsOf(const CandDigitTable& cand, int p) {
    std::vector<int> out;
    for (int s = 0; s < 10 && cand[ix(p)][ix(s)].intPoint >= 0; ++s)
        out.push_back(cand[ix(p)][ix(s)].intDigit);
    return out;
}

FlowRec flowRec(int hitRank, int hitDigit, int nextRank, int nextDigit) {
    FlowRec r{};
    r.intFlowHitRank = static_cast<int16_t>(hitRank);
    r.intFlowHitDigit = static_cast<int16_t>(hitDigit);
    r.intNextHitRank = static_cast<int16_t>(nextRank);
    r.intNextHitDigit = static_cast<int16_t>(nextDigit);
    return r;
}

TEST(RankByFlow, TranslatesFollowingRanksThroughTheFirstRanking) {
    // First ranking: 5, 8, then the rest rising.
    const RankedDigits first = ranked({0, 0, 0, 0, 0, 9, 0, 0, 8, 0});
    struct Case {
        int game;
        std::vector<FlowRec> records;         // the last one stands for round intLastRow
        std::vector<std::pair<int, int>> top; // first slots of the second ranking
    };
    const Case cases[] = {
        {3, {flowRec(4, 1, -1, -1)}, {{0, 0}, {1, 0}, {2, 0}}}, // only the last record: no votes
        {3,
         {flowRec(4, 1, 2, 3), flowRec(4, 1, 2, 6), flowRec(4, 1, 1, 0), flowRec(4, 1, -1, -1)},
         {{8, 2}, {5, 1}, {0, 0}}},
        // Numbers4 also counts the digit that followed the same digit.
        {4,
         {flowRec(4, 1, 2, 3), flowRec(4, 1, 2, 3), flowRec(4, 2, 1, 6), flowRec(4, 1, -1, -1)},
         {{3, 2}, {8, 2}, {5, 1}}},
        // Numbers3 ignores it.
        {3,
         {flowRec(4, 1, 2, 3), flowRec(4, 1, 2, 3), flowRec(4, 2, 1, 6), flowRec(4, 1, -1, -1)},
         {{8, 2}, {5, 1}, {0, 0}}},
        // Equal votes: the smaller digit first.
        {3, {flowRec(4, 1, 2, 3), flowRec(4, 1, 1, 3), flowRec(4, 1, -1, -1)}, {{5, 1}, {8, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        CountedList<FlowRec> list;
        for (const FlowRec& r : c.records)
            appendCounted(list, r);
        RankedDigits second{};
        ASSERT_EQ(RankByFlow(c.game, list, first, 4, 1, second), EngineError::None);
        for (std::size_t s = 0; s < c.top.size(); ++s)
            EXPECT_EQ((std::pair<int, int>{second[s].intDigit, second[s].intPoint}), c.top[s]) << "slot " << s;
    }
}

TEST(MakeCandDigits, WithoutVotesNumbersThreeTakesOneToEightAndNumbersFourZeroToFive) {
    const std::array<CountedList<FlowRec>, 5> noLists{};
    for (int game : {3, 4}) {
        CandDigitTable cand{};
        ASSERT_EQ(MakeCandDigits(game, DigitTally{}, noLists, {0, 3, 3, 3, 3}, {0, 1, 1, 1, 1}, cand),
                  EngineError::None);
        for (int p = 1; p <= game; ++p) {
            EXPECT_EQ(candDigitsOf(cand, p),
                      game == 3 ? (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}) : (std::vector<int>{0, 1, 2, 3, 4, 5}));
            for (int s = game == 3 ? 8 : 6; s < 10; ++s)
                EXPECT_EQ(cand[ix(p)][ix(s)].intPoint, -1);
        }
        if (game == 3) {
            EXPECT_EQ(cand[4][0].intPoint, 0); // position 4 untouched
        }
    }
}

TEST(MakeCandDigits, NumbersThreeLeavesOutTheTopDigit) {
    std::array<RankedDigits, 5> second{};
    for (int p = 1; p <= 4; ++p)
        second[ix(p)] = ranked({0, 0, 0, 0, 0, 1, 0, 0, 2, 0}); // 8, 5, then 0, 1, 2, ...
    EXPECT_EQ(candDigitsOf(candDigitsFromSecond(3, second), 2), (std::vector<int>{5, 0, 1, 2, 3, 4, 6, 7}));
    EXPECT_EQ(candDigitsOf(candDigitsFromSecond(4, second), 4), (std::vector<int>{8, 5, 0, 1, 2, 3}));
    EXPECT_EQ(candDigitsFromSecond(3, second)[1][0].intPoint, 1); // the votes come along
}

// ------------------------------------------------------------------ group values and window

TEST(GroupValue, IsTheRoundedMeanPointTimesAThousand) {
    struct Case {
        int sum, places;
        int32_t value;
    };
    const Case cases[] = {{24, 3, 8000}, {21, 3, 7000}, {27, 3, 9000}, {20, 3, 6667},
                          {19, 3, 6333}, {0, 3, 0},     {7, 4, 1750},  {1, 3, 333}};
    for (const Case& c : cases)
        EXPECT_EQ(groupValueOfSum(c.sum, c.places), c.value) << c.sum << "/" << c.places;
}

TEST(GroupWindow, SpansWidthValuesEachSideAndClampsAtTheEnds) {
    std::vector<int32_t> v;
    v.reserve(20);
    for (int i = 0; i < 20; ++i)
        v.push_back(i * 1000);
    struct Case {
        int32_t target;
        int width, lo, hi;
    };
    const Case cases[] = {
        {10000, 6, 4, 16},                      // exact: 6 below, the value, 6 above (13 values)
        {10500, 6, 5, 16},                      // between values: 12 values
        {10000, 4, 6, 14},                      // Numbers4: 9 values
        {10500, 4, 7, 14},                      // 8 values
        {0, 6, 0, 6},                           // clamped below
        {-50, 6, 0, 5},     {18000, 6, 12, 19}, // clamped above
        {25000, 6, 14, 19},                     // beyond every value
    };
    for (const Case& c : cases) {
        const GroupWindow w = groupWindow(v, c.target, c.width);
        EXPECT_EQ(w.lo, c.lo) << c.target << " width " << c.width;
        EXPECT_EQ(w.hi, c.hi) << c.target << " width " << c.width;
    }
    const GroupWindow one = groupWindow({5000}, 0, 6);
    EXPECT_EQ(one.lo, 0);
    EXPECT_EQ(one.hi, 0);
}

// ------------------------------------------------------------------ all-group table

FollowRow forecastWithPoints(int game, const std::vector<int>& slotPoints, double avg) {
    FollowRow row;
    for (int p = 1; p <= game; ++p)
        for (int s = 0; s < 10; ++s)
            row.ranking.at(s, p) = DigitPoint{static_cast<int16_t>(s),
                                              static_cast<int16_t>(ix(s) < slotPoints.size() ? slotPoints[ix(s)] : 0)};
    row.dblAvgGrpValue = avg;
    return row;
}

std::string numberOf(const GrpValueNum& e, int game) {
    return digits(PredNum{e.intNum1, e.intNum2, e.intNum3, e.intNum4}, game);
}

TEST(MakeAllGroup, EveryNumberOnceInAscendingValueKeepingEnumerationOrder) {
    // Slots 0..2 have points 10, 7, 7 at every position; digit = slot.
    const FollowRow forecast = forecastWithPoints(3, {10, 7, 7}, 2.4);
    CandDigitTable cand{};
    std::vector<PredNum> candNums;
    for (bool fast : {false, true}) {
        Proposal out;
        const EngineError err =
            fast ? makeAllGroupFast(3, forecast, cand, out, candNums) : MakeAllGroup(3, forecast, cand, out, candNums);
        ASSERT_EQ(err, EngineError::None);
        ASSERT_EQ(out.AllGrpCount, 1000);
        ASSERT_EQ(out.AllGrpNums.size(), 1001u);
        EXPECT_EQ(out.AllGrpNums[1000], GrpValueNum{});
        std::map<std::string, int32_t> value;
        std::map<std::string, int> position;
        std::set<int32_t> distinct;
        for (int k = 0; k < 1000; ++k) {
            const GrpValueNum& e = out.AllGrpNums[ix(k)];
            if (k > 0) {
                ASSERT_LE(out.AllGrpNums[ix(k - 1)].lngGrpValue, e.lngGrpValue);
            }
            value[numberOf(e, 3)] = e.lngGrpValue;
            position[numberOf(e, 3)] = k;
            distinct.insert(e.lngGrpValue);
        }
        EXPECT_EQ(value.size(), 1000u);
        EXPECT_EQ(out.AllGrpValueCount, static_cast<int16_t>(distinct.size()));
        EXPECT_EQ(value["012"], 8000);
        EXPECT_EQ(value["111"], 7000);
        EXPECT_EQ(value["001"], 9000);
        EXPECT_EQ(value["000"], 10000);
        EXPECT_EQ(value["999"], 0);
        EXPECT_LT(position["012"], position["021"]); // equal values: enumeration order
        EXPECT_LT(position["021"], position["102"]);
        EXPECT_EQ(out.AllGrpNums[0].lngGrpValue, 0);
    }
}

// The reference table (linear search, key sort, one scan per value) and the fast
// counting sort agree, candidate numbers included, on varied forecasts.
TEST(MakeAllGroup, FastFormEqualsTheReference) {
    uint32_t x = 99;
    auto next = [&x](uint32_t range) {
        x = x * 1664525u + 1013904223u;
        return static_cast<int>((x >> 8) % range);
    };
    for (int game : {3, 4}) {
        for (int trial = 0; trial < (game == 3 ? 60 : 12); ++trial) {
            FollowRow forecast;
            int total = 0;
            const uint32_t range = trial % 3 == 0 ? 3u : 40u;
            for (int p = 1; p <= game; ++p) {
                std::array<int16_t, 11> pts{};
                for (int d = 0; d < 10; ++d)
                    pts[ix(d)] = static_cast<int16_t>(next(range));
                const RankedDigits r = rankDigitsFast(pts);
                for (int s = 0; s < 10; ++s) {
                    forecast.ranking.at(s, p) = r[ix(s)];
                    total += r[ix(s)].intPoint;
                }
            }
            forecast.dblAvgGrpValue = static_cast<double>(total + next(30) - 15) / (10.0 * game);
            std::array<RankedDigits, 5> second{};
            for (int p = 1; p <= game; ++p) {
                std::array<int16_t, 11> votes{};
                for (int d = 0; d < 10; ++d)
                    votes[ix(d)] = static_cast<int16_t>(next(5));
                second[ix(p)] = rankDigitsFast(votes);
            }
            const CandDigitTable cand = candDigitsFromSecond(game, second);
            Proposal a, b;
            std::vector<PredNum> candA, candB;
            ASSERT_EQ(MakeAllGroup(game, forecast, cand, a, candA), EngineError::None);
            ASSERT_EQ(makeAllGroupFast(game, forecast, cand, b, candB), EngineError::None);
            ASSERT_EQ(a.AllGrpCount, b.AllGrpCount);
            ASSERT_EQ(a.AllGrpValueCount, b.AllGrpValueCount);
            ASSERT_EQ(a.AllGrpNums, b.AllGrpNums) << "game " << game << " trial " << trial;
            ASSERT_EQ(candA, candB) << "game " << game << " trial " << trial;
        }
    }
}

TEST(MakeAllGroup, RefusesAPointSumBeyondSixteenBitsAndWritesNothing) {
    const FollowRow forecast = forecastWithPoints(4, {8192, 0}, 0);
    CandDigitTable cand{};
    for (bool fast : {false, true}) {
        Proposal out;
        out.AllGrpCount = 5;
        std::vector<PredNum> candNums;
        const EngineError err =
            fast ? makeAllGroupFast(4, forecast, cand, out, candNums) : MakeAllGroup(4, forecast, cand, out, candNums);
        EXPECT_EQ(err, EngineError::CountOverflow);
        EXPECT_EQ(out.AllGrpCount, 5);
        EXPECT_TRUE(out.AllGrpNums.empty());
    }
    const FollowRow justFits = forecastWithPoints(4, {8191, 0}, 0);
    Proposal out;
    std::vector<PredNum> candNums;
    EXPECT_EQ(MakeAllGroup(4, justFits, cand, out, candNums), EngineError::None);
    EXPECT_EQ(out.AllGrpNums[9999].lngGrpValue, 8191000);
}

// ------------------------------------------------------------------ candidate numbers

CandDigitTable candidates(int game, const std::vector<int>& digitsPerPosition) {
    CandDigitTable cand{};
    for (int p = 1; p <= game; ++p) {
        for (int s = 0; s < 10; ++s)
            cand[ix(p)][ix(s)].intPoint = -1;
        for (std::size_t s = 0; s < digitsPerPosition.size(); ++s)
            cand[ix(p)][s] = DigitPoint{static_cast<int16_t>(digitsPerPosition[s]), 0};
    }
    return cand;
}

std::set<std::string> numbersOf(const std::vector<PredNum>& list, int places) {
    std::set<std::string> out;
    for (const PredNum& n : list)
        out.insert(digits(n, places));
    return out;
}

TEST(PickCandNums, KeepsRepeatedDigitsOrRepeatedSlotsInsideTheWindow) {
    const FollowRow flat = forecastWithPoints(4, {}, 0); // every value 0
    {
        std::vector<PredNum> found;
        ASSERT_EQ(PickCandNums(3, flat.ranking, 0, 0, candidates(3, {1, 2, 3, 4, 5, 6, 7, 8}), found),
                  EngineError::None);
        EXPECT_EQ(found.size(), 512u - 8 * 7 * 6);
        const auto set = numbersOf(found, 3);
        EXPECT_EQ(set.size(), found.size());
        EXPECT_TRUE(set.count("116")); // slots (0, 0, 5)
        EXPECT_TRUE(set.count("313"));
        EXPECT_FALSE(set.count("123"));             // three different digits from three different slots
        EXPECT_EQ(digits(found.front(), 3), "111"); // enumeration order
        EXPECT_EQ(digits(found.back(), 3), "888");
    }
    {
        // Different digits per position: a repeated slot is enough.
        CandDigitTable cand = candidates(3, {1, 2, 3});
        for (int s = 0; s < 3; ++s)
            cand[2][ix(s)].intDigit = static_cast<int16_t>(4 + s); // position 2 takes 4, 5, 6
        std::vector<PredNum> found;
        ASSERT_EQ(PickCandNums(3, flat.ranking, 0, 0, cand, found), EngineError::None);
        const auto set = numbersOf(found, 3);
        EXPECT_TRUE(set.count("141"));  // slots (0, 0, 0)
        EXPECT_TRUE(set.count("152"));  // slots (0, 1, 1): different digits, a repeated slot
        EXPECT_FALSE(set.count("153")); // slots (0, 1, 2), different digits
        EXPECT_FALSE(set.count("243")); // slots (1, 0, 2)
    }
    {
        std::vector<PredNum> found;
        ASSERT_EQ(PickCandNums(4, flat.ranking, 0, 0, candidates(4, {0, 1, 2, 3, 4, 5}), found), EngineError::None);
        EXPECT_EQ(found.size(), 1296u - 6 * 5 * 4 * 3);
        const auto set = numbersOf(found, 4);
        EXPECT_TRUE(set.count("0012"));
        EXPECT_FALSE(set.count("0123"));
        EXPECT_TRUE(set.count("5555"));
    }
    {
        // Points = digit at every position: keep only group value 4000 (point sum 12).
        FollowRow rising = forecastWithPoints(3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0);
        std::vector<PredNum> found;
        ASSERT_EQ(PickCandNums(3, rising.ranking, 4000, 4000, candidates(3, {1, 2, 3, 4, 5, 6, 7, 8}), found),
                  EngineError::None);
        ASSERT_FALSE(found.empty());
        for (const PredNum& n : found)
            EXPECT_EQ(n.intNum1 + n.intNum2 + n.intNum3, 12) << digits(n, 3);
        const auto set = numbersOf(found, 3);
        EXPECT_TRUE(set.count("444"));
        EXPECT_TRUE(set.count("336"));
        EXPECT_FALSE(set.count("345"));
    }
}

// The candidate numbers as a plain reading of the rule: every combination of
// candidate slots, its digits' points looked up in the ranking, the 16-bit sum
// and the group value compared with the bounds.
EngineError pickByRule(int game, const Ranking& rk, int32_t lower, int32_t upper, const CandDigitTable& cand,
                       std::vector<PredNum>& out) {
    out.clear();
    std::array<int, 5> n{};
    for (int p = 1; p <= game; ++p)
        while (n[ix(p)] < 10 && cand[ix(p)][ix(n[ix(p)])].intPoint != -1)
            ++n[ix(p)];
    const int n4 = game == 4 ? n[4] : 1;
    for (int a = 0; a < n[1]; ++a)
        for (int b = 0; b < n[2]; ++b)
            for (int c = 0; c < n[3]; ++c)
                for (int e = 0; e < n4; ++e) {
                    const std::array<int, 4> slot{a, b, c, e};
                    std::array<int16_t, 4> d{};
                    int16_t sum = 0;
                    bool fits = true;
                    for (int q = 0; q < game; ++q) {
                        d[ix(q)] = cand[ix(q + 1)][ix(slot[ix(q)])].intDigit;
                        fits = fits && addCount16(sum, GetDigitPoint(rk, q + 1, d[ix(q)]));
                    }
                    bool plain = true;
                    for (int x = 0; x < game; ++x)
                        for (int y = x + 1; y < game; ++y)
                            plain = plain && d[ix(x)] != d[ix(y)] && slot[ix(x)] != slot[ix(y)];
                    if (plain)
                        continue;
                    if (!fits)
                        return EngineError::CountOverflow;
                    const int32_t v = groupValueOfSum(sum, game);
                    if (lower <= v && v <= upper)
                        out.push_back(PredNum{d[0], d[1], d[2], game == 4 ? d[3] : int16_t{0}});
                }
    return EngineError::None;
}

TEST(PickCandNums, AgreesWithThePlainRuleForAnyBoundsAndPoints) {
    uint32_t x = 20261210u;
    auto next = [&x](int range) {
        x = x * 1664525u + 1013904223u;
        return static_cast<int>((x >> 8) % static_cast<uint32_t>(range));
    };
    for (int game : {3, 4}) {
        for (int trial = 0; trial < 300; ++trial) {
            // Rankings with repeated and missing digits and points of either sign;
            // now and then points so large that a sum leaves 16 bits.
            FollowRow row;
            const int scale = trial % 25 == 0 ? 12000 : (trial % 2 ? 30 : 400);
            for (int p = 1; p <= game; ++p)
                for (int s = 0; s < 10; ++s)
                    row.ranking.at(s, p) = DigitPoint{static_cast<int16_t>(next(trial % 3 ? 10 : 4)),
                                                      static_cast<int16_t>(next(2 * scale) - scale / 4)};
            CandDigitTable cand{};
            for (int p = 1; p <= game; ++p) {
                const int used = next(8) + (trial % 7 == 0 ? 0 : 1);
                for (int s = 0; s < 10; ++s)
                    cand[ix(p)][ix(s)] =
                        s < used ? DigitPoint{static_cast<int16_t>(next(10)), int16_t{1}} : DigitPoint{0, -1};
            }
            // Bounds on, between and off the values that occur, empty ranges included.
            const int32_t lower = static_cast<int32_t>(next(scale * 1000) - scale * 200 + next(3) - 1);
            const int32_t upper = lower + static_cast<int32_t>(next(scale * 700)) - (trial % 11 == 0 ? 1000 : 0);
            std::vector<PredNum> expected, found;
            const EngineError want = pickByRule(game, row.ranking, lower, upper, cand, expected);
            const EngineError got = PickCandNums(game, row.ranking, lower, upper, cand, found);
            ASSERT_EQ(got, want) << "game " << game << " trial " << trial;
            if (want == EngineError::None) {
                ASSERT_EQ(found, expected) << "game " << game << " trial " << trial;
            }
        }
    }
}

TEST(GetDigitPoint, FindsTheFirstSlotHoldingTheDigit) {
    const FollowRow row = forecastWithPoints(3, {9, 8, 7, 6}, 0);
    EXPECT_EQ(GetDigitPoint(row.ranking, 2, 3), 6);
    EXPECT_EQ(GetDigitPoint(row.ranking, 2, 9), 0);
    const Ranking empty; // every slot digit 0
    EXPECT_EQ(GetDigitPoint(empty, 1, 5), 0);
}

// ------------------------------------------------------------------ groups

PredNum num(const char* s) {
    PredNum n;
    const std::size_t len = std::char_traits<char>::length(s);
    int16_t* d[4] = {&n.intNum1, &n.intNum2, &n.intNum3, &n.intNum4};
    for (std::size_t i = 0; i < len; ++i)
        *d[i] = static_cast<int16_t>(s[i] - '0');
    return n;
}

std::vector<PredNum> nums(const std::vector<const char*>& list) {
    std::vector<PredNum> out;
    out.reserve(list.size());
    for (const char* s : list)
        out.push_back(num(s));
    return out;
}

TopDigits topOf(int game, const std::vector<std::vector<int>>& perPosition) {
    TopDigits t;
    for (int p = 1; p <= game; ++p) {
        t.top[ix(p)].fill(-1);
        const auto& list = perPosition[perPosition.size() == 1 ? 0 : ix(p - 1)];
        for (std::size_t s = 0; s < list.size(); ++s)
            t.top[ix(p)][s] = static_cast<int16_t>(list[s]);
        t.m[ix(p)] = static_cast<int>(list.size());
    }
    return t;
}

TEST(SplitGroups3, StrongSecondAndThirdPlacesMakeGroupOneAndPairsMakeMini) {
    const TopDigits t = topOf(3, {{1, 2, 3, 4, 5, 6, 7, 8}}); // strong: 1, 2, 3, 4
    Proposal out;
    out.grp1.items = nums({"999", "998"});
    out.grp1.count = 2;
    out.grp3.items = nums({"1234"});
    out.grp3.count = 1;
    out.mini.count = 0;
    SplitGroups3(t, nums({"545", "645", "511", "515", "111", "555", "611", "745", "711", "622", "722", "511", "333"}),
                 out);
    EXPECT_EQ(entries(out.grp1, 3), (std::vector<std::string>{"511", "611", "711", "622", "722"}));
    EXPECT_EQ(entries(out.grp2, 3), (std::vector<std::string>{"545", "645", "515", "745"}));
    // 11 ends three entries, 45 three, 22 only two, 15 one; Mini comes out ascending.
    EXPECT_EQ(entries(out.mini, 2), (std::vector<std::string>{"11", "45"}));
    EXPECT_EQ(out.grp3.count, 1); // group 3 belongs to Numbers4 runs
    EXPECT_EQ(out.grp3.items, nums({"1234"}));
}

TEST(SplitGroups3, AllEqualDigitsNeverGoToGroupTwo) {
    // 3 is strong at position 2 only.
    const TopDigits t = topOf(3, {{1, 2, 4, 5, 3}, {3, 1, 2, 4}, {1, 2, 4, 5, 3}});
    Proposal out;
    SplitGroups3(t, nums({"333", "331"}), out);
    EXPECT_EQ(out.grp2.count, 0);
    EXPECT_EQ(entries(out.grp1, 3), (std::vector<std::string>{"331"}));
}

TEST(SplitGroups3, FewCandidatesMakeFewerDigitsStrong) {
    // Two candidates at position 1: L = 2, so slots 0..2 are looked at and slot 2 is empty.
    const TopDigits t = topOf(3, {{5, 6}, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}});
    Proposal out;
    SplitGroups3(t, nums({"511", "711", "811"}), out);
    EXPECT_EQ(entries(out.grp1, 3), (std::vector<std::string>{"711", "811"}));
}

TEST(SplitGroups4, GroupsByTheCountOfStrongPlaces) {
    const TopDigits t = topOf(4, {{1, 2, 3, 4, 5, 6}}); // strong: 1, 2, 3
    Proposal out;
    out.mini.items = nums({"07"});
    out.mini.count = 1;
    SplitGroups4(t, nums({"1133", "1144", "4114", "1114", "2222", "4444", "5511", "4455", "1133"}), out);
    EXPECT_EQ(entries(out.grp3, 4), (std::vector<std::string>{"1133", "2222"}));
    EXPECT_EQ(entries(out.grp1, 4), (std::vector<std::string>{"1144"}));
    EXPECT_EQ(entries(out.grp2, 4), (std::vector<std::string>{"4114", "5511"}));
    EXPECT_EQ(out.mini.count, 0);
}

TEST(MakeGroups, KeySortAndTableOrderGiveTheSameGroups) {
    uint32_t x = 5;
    auto next = [&x](uint32_t range) {
        x = x * 1664525u + 1013904223u;
        return static_cast<int>((x >> 8) % range);
    };
    for (int game : {3, 4}) {
        for (int trial = 0; trial < 40; ++trial) {
            std::array<RankedDigits, 5> second{};
            for (int p = 1; p <= game; ++p) {
                std::array<int16_t, 11> votes{};
                for (int d = 0; d < 10; ++d)
                    votes[ix(d)] = static_cast<int16_t>(next(trial % 2 ? 3 : 30));
                second[ix(p)] = rankDigitsFast(votes);
            }
            const CandDigitTable cand = candDigitsFromSecond(game, second);
            std::vector<PredNum> candNums;
            ASSERT_EQ(PickCandNums(game, FollowRow{}.ranking, 0, 0, cand, candNums), EngineError::None);
            Proposal a, b;
            MakeGroups(game, cand, candNums, a, true);
            MakeGroups(game, cand, candNums, b, false);
            ASSERT_EQ(a.grp1, b.grp1);
            ASSERT_EQ(a.grp2, b.grp2);
            ASSERT_EQ(a.grp3, b.grp3);
            ASSERT_EQ(a.mini, b.mini);
            ASSERT_GT(a.grp1.count + a.grp2.count + a.grp3.count, 0);
        }
    }
}

// ------------------------------------------------------------------ a whole run

// Group 3 of a Numbers4 run survives a Numbers3 run on the same engine; a Numbers4
// run empties the Mini list.
TEST(Proposal, GroupThreeCarriesOverANumbersThreeRun) {
    const history::DrawTable t3 = randomTable(common::Game::Numbers3, 900, 41);
    const history::DrawTable t4 = randomTable(common::Game::Numbers4, 900, 42);
    Engine engine;
    runSliced(engine, t4, common::Game::Numbers4, 880);
    const CountedList<PredNum> grp3 = engine.proposal().grp3;
    ASSERT_GT(grp3.count, 0);
    EXPECT_EQ(engine.proposal().mini.count, 0);
    runSliced(engine, t3, common::Game::Numbers3, 880);
    EXPECT_EQ(engine.proposal().grp3, grp3);
    EXPECT_EQ(engine.proposal().AllGrpCount, 1000);
    runSliced(engine, t4, common::Game::Numbers4, 870);
    EXPECT_EQ(engine.proposal().mini.count, 0);
    EXPECT_EQ(engine.proposal().AllGrpCount, 10000);
}

class ProposalInvariants : public ::testing::TestWithParam<int> {};

TEST_P(ProposalInvariants, HoldAfterARun) {
    const int game = GetParam();
    const history::DrawTable table = randomTable(common::Game{game}, 1000, 50 + static_cast<uint32_t>(game));
    Engine engine;
    for (int last : {700, 999}) {
        runSliced(engine, table, common::Game{game}, last);
        const Proposal& pr = engine.proposal();
        const Ranking& forecast = engine.FollowRows()[ix(last + 1)].ranking;
        std::set<std::string> seen;
        std::map<std::string, int> pairEnds;
        const CountedList<PredNum>* groups[] = {&pr.grp1, &pr.grp2, game == 4 ? &pr.grp3 : nullptr};
        int total = 0;
        for (const auto* g : groups) {
            if (!g)
                continue;
            for (int k = 0; k < g->count; ++k) {
                const std::string n = digits((*g)[k], game);
                EXPECT_TRUE(seen.insert(n).second) << n << " twice";
                ++pairEnds[n.substr(1, 2)];
                ++total;
            }
        }
        EXPECT_GT(total, 0);
        if (game == 3) {
            std::vector<std::string> expectedMini;
            for (const auto& [pair, n] : pairEnds)
                if (n >= 3)
                    expectedMini.push_back(pair);
            EXPECT_EQ(entries(pr.mini, 2), expectedMini);
        } else {
            EXPECT_EQ(pr.mini.count, 0);
        }
        // The all-group table: every number once, ascending, each value the rounded
        // mean of its digits' forecast points.
        const int all = game == 3 ? 1000 : 10000;
        ASSERT_EQ(pr.AllGrpCount, all);
        std::set<std::string> numbers;
        std::set<int32_t> values;
        for (int k = 0; k < all; ++k) {
            const GrpValueNum& e = pr.AllGrpNums[ix(k)];
            const PredNum n{e.intNum1, e.intNum2, e.intNum3, e.intNum4};
            int sum = 0;
            for (int p = 1; p <= game; ++p)
                sum += GetDigitPoint(forecast, p, digits(n, game)[ix(p - 1)] - '0');
            ASSERT_EQ(e.lngGrpValue, groupValueOfSum(sum, game));
            if (k > 0) {
                ASSERT_LE(pr.AllGrpNums[ix(k - 1)].lngGrpValue, e.lngGrpValue);
            }
            numbers.insert(digits(n, game));
            values.insert(e.lngGrpValue);
        }
        EXPECT_EQ(numbers.size(), static_cast<std::size_t>(all));
        EXPECT_EQ(pr.AllGrpValueCount, static_cast<int16_t>(values.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(BothGames, ProposalInvariants, ::testing::Values(3, 4));

} // namespace
} // namespace tw::engine::test
