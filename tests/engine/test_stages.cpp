// Stage 1 (frequency ranking per round) and stage 3 (follower ranking, forecast
// rows and scoring) on small hand-made histories.
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tw::engine::test {
namespace {

std::vector<int> digitsOfPosition(const Ranking& rk, int pos) {
    std::vector<int> out;
    out.reserve(10);
    for (int s = 0; s < 10; ++s)
        out.push_back(rk.at(s, pos).intDigit);
    return out;
}

std::vector<int> pointsOfPosition(const Ranking& rk, int pos) {
    std::vector<int> out;
    out.reserve(10);
    for (int s = 0; s < 10; ++s)
        out.push_back(rk.at(s, pos).intPoint);
    return out;
}

const std::vector<int> kRising = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::vector<int> kZeros(10, 0);

// Steps until stage 1 has ended (the counts then cover every analysed round).
void stepThroughStageOne(Engine& engine) {
    while (engine.intStage() == 1)
        ASSERT_EQ(engine.YosouStep().error, EngineError::None);
}

TEST(StageOne, FirstRoundRanksRisingDigitsAndHitsAtDigitPlusOne) {
    const history::DrawTable table = makeTable({"370", "111"});
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 2);
    const FreqRow& row1 = engine.FreqRows()[1];
    for (int p = 1; p <= 3; ++p) {
        EXPECT_EQ(digitsOfPosition(row1.ranking, p), kRising);
        EXPECT_EQ(pointsOfPosition(row1.ranking, p), kZeros);
    }
    EXPECT_EQ(row1.blocks[1].intHitRank, 4);
    EXPECT_EQ(row1.blocks[2].intHitRank, 8);
    EXPECT_EQ(row1.blocks[3].intHitRank, 1);
    EXPECT_EQ(row1.bytRowNum, (std::array<uint8_t, 5>{0, 3, 7, 0, 0}));
    EXPECT_EQ(engine.FollowRows()[1].blocks[2].intHitDigit, 7);
}

TEST(StageOne, SecondRoundRanksTheDigitDrawnBeforeFirst) {
    struct Case {
        const char* second;
        int hitRank; // of position 1
    };
    const Case cases[] = {{"711", 1}, {"011", 2}, {"611", 8}, {"811", 9}, {"911", 10}};
    for (const Case& c : cases) {
        const history::DrawTable table = makeTable({"700", c.second});
        Engine engine;
        runSliced(engine, table, common::Game::Numbers3, 2);
        const FreqRow& row2 = engine.FreqRows()[2];
        EXPECT_EQ(digitsOfPosition(row2.ranking, 1), (std::vector<int>{7, 0, 1, 2, 3, 4, 5, 6, 8, 9}));
        EXPECT_EQ(pointsOfPosition(row2.ranking, 1), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(row2.blocks[1].intHitRank, c.hitRank) << c.second;
        EXPECT_EQ(row2.blocks[1].intHitDigit, c.second[0] - '0');
    }
}

TEST(StageOne, CountsCoverEveryAnalysedRoundAndNumbersThreeLeavesPositionFourAlone) {
    for (const common::Game game : common::kGames) {
        const history::DrawTable table = randomTable(game, 230, 77);
        Engine engine;
        ASSERT_EQ(engine.YosouSetUp(table, game, 1, 230), EngineError::None);
        stepThroughStageOne(engine);
        for (int p = 1; p <= 4; ++p) {
            int sum = 0;
            for (int d = 0; d < 10; ++d)
                sum += engine.intDigitCount(p, d);
            EXPECT_EQ(sum, p <= common::digitCount(game) ? 230 : 0)
                << "game " << common::gameCode(game) << " position " << p;
        }
        for (int r = 1; r <= 230; ++r) {
            const FreqRow& row = engine.FreqRows()[static_cast<std::size_t>(r)];
            for (int p = 1; p <= common::digitCount(game); ++p)
                ASSERT_EQ(row.bytRowNum[static_cast<std::size_t>(p)],
                          table.record(r).bytNum[static_cast<std::size_t>(p)]);
            if (game == common::Game::Numbers3) {
                ASSERT_EQ(row.bytRowNum[4], 0);
                ASSERT_EQ(row.blocks[4], PosBlock{});
                ASSERT_EQ(digitsOfPosition(row.ranking, 4), kZeros);
            }
        }
    }
}

// The round's own digits never count for its own ranking: with every round
// drawing 555, round r ranks 5 first with point r - 1.
TEST(StageOne, ARoundIsRankedByTheRoundsBeforeIt) {
    const history::DrawTable table = makeTable(std::vector<std::string>(12, "555"));
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 12);
    for (int r = 2; r <= 12; ++r) {
        const FreqRow& row = engine.FreqRows()[static_cast<std::size_t>(r)];
        EXPECT_EQ(row.ranking.at(0, 2), (DigitPoint{5, static_cast<int16_t>(r - 1)}));
        EXPECT_EQ(row.blocks[2].intHitRank, 1);
    }
}

TEST(StageThree, ResemblingRoundAddsItsFollowerToTheForecast) {
    // Rounds 1 and 3 agree at positions 1 and 2; round 2 follows round 1.
    const history::DrawTable table = makeTable({"123", "456", "129"});
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 3);
    const FollowRow& row4 = engine.FollowRows()[4];
    EXPECT_EQ(row4.ranking.at(0, 1), (DigitPoint{4, 1}));
    EXPECT_EQ(row4.ranking.at(0, 2), (DigitPoint{5, 1}));
    EXPECT_EQ(row4.ranking.at(0, 3), (DigitPoint{6, 1}));
    EXPECT_EQ(digitsOfPosition(row4.ranking, 1), (std::vector<int>{4, 0, 1, 2, 3, 5, 6, 7, 8, 9}));
    EXPECT_DOUBLE_EQ(row4.dblAvgGrpValue, 0.1);
    EXPECT_EQ(row4.blocks[1].lngPointSum, 1);
    // Row 4 is the forecast for the round to predict: never scored.
    EXPECT_EQ(row4.blocks[1].intHitRank, 0);
    EXPECT_EQ(row4.dblWinGrpValue, 0);
    // Round 2 resembles nothing before it: row 3 ranks rising digits with point 0.
    const FollowRow& row3 = engine.FollowRows()[3];
    EXPECT_EQ(digitsOfPosition(row3.ranking, 2), kRising);
    EXPECT_EQ(pointsOfPosition(row3.ranking, 2), kZeros);
    EXPECT_EQ(row3.dblAvgGrpValue, 0);
    // Round 3 drew 1, 2, 9, all with point 0 in row 3: ranks 2, 3, 10.
    EXPECT_EQ(row3.blocks[1].intHitRank, 2);
    EXPECT_EQ(row3.blocks[2].intHitRank, 3);
    EXPECT_EQ(row3.blocks[3].intHitRank, 10);
    EXPECT_EQ(row3.blocks[3].intHitDigit, 9);
}

TEST(StageThree, RowsOneAndTwoNeverGetARankingAndRowTwoScoresAgainstIt) {
    // Round 2 drew 0 at position 2 only.
    const history::DrawTable table = makeTable({"123", "405", "129", "777"});
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 4);
    for (int r : {0, 1, 2})
        for (int p = 1; p <= 3; ++p) {
            EXPECT_EQ(digitsOfPosition(engine.FollowRows()[static_cast<std::size_t>(r)].ranking, p), kZeros);
            EXPECT_EQ(pointsOfPosition(engine.FollowRows()[static_cast<std::size_t>(r)].ranking, p), kZeros);
        }
    const FollowRow& row2 = engine.FollowRows()[2];
    EXPECT_EQ(row2.blocks[2].intHitRank, 10); // every slot holds 0; the last match wins
    EXPECT_EQ(row2.blocks[2].intHitPoint, 0);
    EXPECT_EQ(row2.blocks[1].intHitRank, 0);
    EXPECT_EQ(row2.blocks[3].intHitRank, 0);
    EXPECT_EQ(row2.dblWinGrpValue, 0);
    EXPECT_EQ(engine.FollowRows()[1].blocks[1].intHitRank, 0); // row 1 is never scored
}

TEST(StageThree, ShortRuns) {
    {
        // Last row 1: no forecast; row 2 (the forecast row) stays empty.
        const history::DrawTable table = makeTable({"121"});
        Engine engine;
        runSliced(engine, table, common::Game::Numbers3, 1);
        EXPECT_EQ(engine.FollowRows().size(), 3u);
        EXPECT_EQ(engine.FollowRows()[2], FollowRow{});
        EXPECT_EQ(engine.proposal().AllGrpCount, 1000); // all points 0: one value
        EXPECT_EQ(engine.proposal().AllGrpValueCount, 1);
    }
    {
        // Last row 2: round 2 resembles round 1, its follower is round 2 itself.
        const history::DrawTable table = makeTable({"121", "125"});
        Engine engine;
        runSliced(engine, table, common::Game::Numbers3, 2);
        const FollowRow& row3 = engine.FollowRows()[3];
        EXPECT_EQ(row3.ranking.at(0, 1), (DigitPoint{1, 1}));
        EXPECT_EQ(row3.ranking.at(0, 2), (DigitPoint{2, 1}));
        EXPECT_EQ(row3.ranking.at(0, 3), (DigitPoint{5, 1}));
        EXPECT_DOUBLE_EQ(row3.dblAvgGrpValue, 0.1);
        // Row 2 is scored at the end of the pass against its empty ranking: no 0 drawn.
        EXPECT_EQ(engine.FollowRows()[2].blocks[1].intHitRank, 0);
        EXPECT_EQ(engine.FollowRows()[2].blocks[1].intHitDigit, 1);
    }
}

// Numbers4 resembles at two, three or four positions, not at one.
TEST(StageThree, NumbersFourResemblesAtTwoOrMorePositions) {
    struct Case {
        const char* earlier;
        bool resembles;
    };
    const Case cases[] = {{"1200", true},  {"1234", true}, {"9234", true}, {"1999", false},
                          {"5678", false}, {"0034", true}, {"1004", true}};
    for (const Case& c : cases) {
        // Round 2 follows the earlier round; round 3 is compared with it.
        const history::DrawTable table = makeTable({c.earlier, "5555", "1234"});
        Engine engine;
        runSliced(engine, table, common::Game::Numbers4, 3);
        const FollowRow& row4 = engine.FollowRows()[4];
        EXPECT_EQ(row4.ranking.at(0, 3), c.resembles ? (DigitPoint{5, 1}) : (DigitPoint{0, 0})) << c.earlier;
        EXPECT_DOUBLE_EQ(row4.dblAvgGrpValue, c.resembles ? 0.1 : 0.0) << c.earlier;
    }
}

// On a longer history: each forecast row's points add up, per position, to the
// number M of earlier rounds resembling the round before it; the average group
// value is M / 10; the winning value is the mean point the forecast gave the
// digits then drawn; the forecast of the last row is the follower tally.
TEST(StageThree, ForecastPointsCountTheResemblingRounds) {
    for (const common::Game game : common::kGames) {
        SCOPED_TRACE("game " + std::to_string(common::gameCode(game)));
        const int last = 300;
        const history::DrawTable table = randomTable(game, last, 4242);
        Engine engine;
        runSliced(engine, table, game, last);
        auto digit = [&](int r, int p) { return table.record(r).bytNum[static_cast<std::size_t>(p)]; };
        std::vector<std::array<std::array<int, 10>, 5>> followers(last + 2);
        for (int r = 2; r <= last; ++r) {
            int m = 0;
            for (int j = 1; j < r; ++j) {
                int agree = 0;
                for (int p = 1; p <= common::digitCount(game); ++p)
                    agree += digit(j, p) == digit(r, p);
                if (agree >= 2) {
                    ++m;
                    for (int p = 1; p <= common::digitCount(game); ++p)
                        ++followers[static_cast<std::size_t>(r) + 1][static_cast<std::size_t>(p)][digit(j + 1, p)];
                }
            }
            const FollowRow& row = engine.FollowRows()[static_cast<std::size_t>(r) + 1];
            for (int p = 1; p <= common::digitCount(game); ++p) {
                const auto pts = pointsOfPosition(row.ranking, p);
                ASSERT_EQ(std::accumulate(pts.begin(), pts.end(), 0), m) << "row " << r + 1;
                ASSERT_EQ(row.blocks[static_cast<std::size_t>(p)].lngPointSum, m);
                for (int s = 0; s < 10; ++s) {
                    const DigitPoint& dp = row.ranking.at(s, p);
                    ASSERT_EQ(dp.intPoint, followers[static_cast<std::size_t>(r + 1)][static_cast<std::size_t>(p)]
                                                    [static_cast<std::size_t>(dp.intDigit)]);
                }
            }
            ASSERT_DOUBLE_EQ(row.dblAvgGrpValue, m / 10.0);
        }
        for (int r = 3; r <= last; ++r) {
            const FollowRow& row = engine.FollowRows()[static_cast<std::size_t>(r)];
            int sum = 0;
            for (int p = 1; p <= common::digitCount(game); ++p) {
                const PosBlock& b = row.blocks[static_cast<std::size_t>(p)];
                ASSERT_GE(b.intHitRank, 1);
                const DigitPoint& hit = row.ranking.at(b.intHitRank - 1, p);
                ASSERT_EQ(hit.intDigit, digit(r, p));
                ASSERT_EQ(b.intHitPoint, hit.intPoint);
                sum += hit.intPoint;
            }
            ASSERT_DOUBLE_EQ(row.dblWinGrpValue, sum / static_cast<double>(game)) << "row " << r;
        }
    }
}

} // namespace
} // namespace tw::engine::test
