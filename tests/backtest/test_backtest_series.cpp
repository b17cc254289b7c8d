// The running series of the back-test lines, as a chart draws them: the rounds
// they are taken at, every point against the totals of a back-test that stops at
// that round, the last point against the line's totals, and no figure of the
// table moved by asking for a series.
#include "backtest_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace tw::backtest::test {
namespace {

// Proposals with lines of many tickets, a few tickets, all-equal numbers only
// (no Box or Set tickets at all) and Mini pairs.
engine::Proposal assortedProposal(int game) {
    Lists lists;
    const int places = common::digitCount(asGame(game));
    for (int v = 17; static_cast<int>(lists.grp1.size()) < 150; v += 7) {
        std::string n = std::to_string(v % (places == 4 ? 10000 : 1000));
        lists.grp1.push_back(std::string(static_cast<std::size_t>(places) - n.size(), '0') + n);
    }
    if (game == 4) {
        lists.grp2 = {"1111", "7777"};
        lists.grp3 = {"0123", "3210", "5566", "9090", "4444"};
    } else {
        lists.grp2 = {"012", "210", "333"};
        lists.mini = {"01", "10", "55", "90"};
    }
    return proposal(lists);
}

BacktestOutcome runWith(const history::DrawTable& t, int game, int from, std::optional<int> to, int seriesPoints) {
    BacktestOptions options;
    options.game = asGame(game);
    options.from = from;
    options.to = to;
    options.seed = 77;
    options.portfolios = 300;
    options.seriesPoints = seriesPoints;
    return runBacktest(t, options, samePredictor(assortedProposal(game)));
}

TEST(BacktestSeries, CheckpointRounds) {
    struct Case {
        int from, to, maxPoints;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {2, 6, 500, {2, 3, 4, 5, 6}}, // few rounds: every one
        {2, 6, 5, {2, 3, 4, 5, 6}},
        {2, 31, 7, {6, 10, 14, 19, 23, 27, 31}}, // 1 + ceil(30 k / 7)
        {2, 31, 2, {16, 31}},
        {2, 7054, 1, {7054}},
        {5, 5, 3, {5}},
        {2, 31, 0, {}},
        {5, 4, 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(seriesCheckpoints(c.from, c.to, c.maxPoints), c.expected)
            << c.from << ".." << c.to << " at most " << c.maxPoints;

    // The whole history at the default number: evenly spread, ending at the last round.
    const std::vector<int> rounds = seriesCheckpoints(2, 7054, kDefaultSeriesPoints);
    ASSERT_EQ(rounds.size(), 500u);
    EXPECT_EQ(rounds.front(), 1 + 15); // ceil(7053 / 500)
    EXPECT_EQ(rounds.back(), 7054);
    for (std::size_t i = 1; i < rounds.size(); ++i) {
        const int step = rounds[i] - rounds[i - 1];
        EXPECT_TRUE(step == 14 || step == 15) << "after round " << rounds[i - 1] << ": " << step;
    }
}

TEST(BacktestSeries, BandWithoutSortingEqualsTheSortedBand) {
    std::mt19937 random(3);
    std::vector<int64_t> scratch;
    for (std::size_t n : {1u, 2u, 39u, 40u, 41u, 1000u, 1001u}) {
        for (int spread : {3, 1000000}) {
            std::vector<int64_t> values(n);
            for (int64_t& v : values)
                v = static_cast<int64_t>(random() % static_cast<unsigned>(spread));
            const Band sorted = band95(values);
            const Band selected = band95Of(values, scratch);
            EXPECT_EQ(selected.low, sorted.low) << n << " values below " << spread;
            EXPECT_EQ(selected.high, sorted.high) << n << " values below " << spread;
        }
    }
    const Band none = band95Of({}, scratch);
    EXPECT_EQ(none.low, 0);
    EXPECT_EQ(none.high, 0);
}

class BacktestSeriesOfGame : public ::testing::TestWithParam<int> {};

TEST_P(BacktestSeriesOfGame, AskingForASeriesChangesNoFigureAndItEndsAtTheTotals) {
    const int game = GetParam();
    const history::DrawTable t = randomHistory(game, 60, 515u + static_cast<uint32_t>(game));
    const BacktestOutcome plain = runWith(t, game, 2, {}, 0);
    ASSERT_FALSE(plain.error) << plain.error.describe();
    for (const BacktestLine& l : plain.result.lines)
        EXPECT_TRUE(l.series.empty());

    for (int points : {1, 9, 59, kDefaultSeriesPoints}) {
        SCOPED_TRACE(std::to_string(points) + " points");
        const BacktestOutcome charted = runWith(t, game, 2, {}, points);
        ASSERT_FALSE(charted.error) << charted.error.describe();
        EXPECT_EQ(formatBacktestText(charted.result), formatBacktestText(plain.result));
        ASSERT_EQ(charted.result.lines.size(), plain.result.lines.size());
        const std::vector<int> rounds = seriesCheckpoints(2, t.count, points);
        for (std::size_t i = 0; i < charted.result.lines.size(); ++i) {
            const BacktestLine& l = charted.result.lines[i];
            SCOPED_TRACE(std::string(listName(l.list)) + " " + betName(l.bet));
            EXPECT_TRUE(sameFigures(l, plain.result.lines[i]));
            ASSERT_EQ(l.series.size(), rounds.size());
            for (std::size_t k = 0; k < rounds.size(); ++k)
                EXPECT_EQ(l.series[k].round, rounds[k]);
            const SeriesPoint& last = l.series.back();
            EXPECT_EQ(last.round, t.count);
            EXPECT_EQ(last.net, l.payout - l.cost);
            EXPECT_EQ(last.expectedNet, l.expectedPayout - static_cast<double>(l.cost));
            EXPECT_EQ(last.bandLowNet, l.band.low - l.cost);
            EXPECT_EQ(last.bandHighNet, l.band.high - l.cost);
        }
    }
}

TEST_P(BacktestSeriesOfGame, EveryPointIsTheBacktestThatStopsAtItsRound) {
    // Each portfolio draws its tickets round after round from its own stream, so
    // the simulation up to round r is the simulation of the range that ends at r.
    const int game = GetParam();
    const history::DrawTable t = randomHistory(game, 40, 9u * static_cast<uint32_t>(game));
    const int from = 5;
    const BacktestOutcome charted = runWith(t, game, from, {}, kDefaultSeriesPoints);
    ASSERT_FALSE(charted.error) << charted.error.describe();
    bool moneyMoved = false;
    for (int round = from; round <= t.count; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const BacktestOutcome upTo = runWith(t, game, from, round, 0);
        ASSERT_FALSE(upTo.error) << upTo.error.describe();
        for (std::size_t i = 0; i < upTo.result.lines.size(); ++i) {
            const BacktestLine& whole = charted.result.lines[i];
            const BacktestLine& shorter = upTo.result.lines[i];
            SCOPED_TRACE(std::string(listName(whole.list)) + " " + betName(whole.bet));
            const SeriesPoint& point = whole.series[static_cast<std::size_t>(round - from)];
            EXPECT_EQ(point.round, round);
            EXPECT_EQ(point.net, shorter.payout - shorter.cost);
            EXPECT_EQ(point.expectedNet, shorter.expectedPayout - static_cast<double>(shorter.cost));
            EXPECT_EQ(point.bandLowNet, shorter.band.low - shorter.cost);
            EXPECT_EQ(point.bandHighNet, shorter.band.high - shorter.cost);
            moneyMoved = moneyMoved || shorter.payout > 0;
        }
    }
    EXPECT_TRUE(moneyMoved);
    // A line without tickets stays at zero all along.
    const BacktestLine* noTickets = findLine(charted.result, ProposalList::Group2, BetType::Box);
    ASSERT_NE(noTickets, nullptr);
    if (game == 4) {
        EXPECT_EQ(noTickets->tickets, 0);
        for (const SeriesPoint& p : noTickets->series) {
            EXPECT_EQ(p.net, 0);
            EXPECT_EQ(p.expectedNet, 0.0);
            EXPECT_EQ(p.bandLowNet, 0);
            EXPECT_EQ(p.bandHighNet, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backtest, BacktestSeriesOfGame, ::testing::Values(3, 4),
                         [](const auto& info) { return "numbers" + std::to_string(info.param); });

TEST(BacktestSeries, RefusesPointCountsOutOfRange) {
    const history::DrawTable t = randomHistory(3, 10, 1u);
    for (int points : {-1, kMaxSeriesPoints + 1}) {
        const BacktestOutcome out = runWith(t, 3, 2, {}, points);
        EXPECT_EQ(out.error.kind, BacktestErrorKind::InvalidSeriesPoints) << points;
        EXPECT_TRUE(out.result.lines.empty());
        EXPECT_NE(out.error.describe().find("series points"), std::string::npos);
    }
    const BacktestOutcome most = runWith(t, 3, 2, {}, kMaxSeriesPoints);
    ASSERT_FALSE(most.error) << most.error.describe();
    EXPECT_EQ(most.result.lines.front().series.size(), 9u);
}

} // namespace
} // namespace tw::backtest::test
