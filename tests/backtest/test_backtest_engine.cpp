// The back-test with the engine: the default predictor must make the proposal
// for round R from rounds 1..R-1 only, exactly as a complete run over a history
// that ends at round R-1 does.
#include "backtest_fixture.h"

#include "engine/engine.h"

#include <gtest/gtest.h>

namespace tw::backtest::test {
namespace {

// A complete sliced run over a copy of the history cut after round `lastRound`.
BacktestPredictor slicedPredictor(const history::DrawTable& full, int game, int lookAhead) {
    struct State {
        history::DrawTable cut;
        engine::Engine engine;
    };
    auto state = std::make_shared<State>();
    return [state, &full, game, lookAhead](int lastRow) -> BacktestPrediction {
        const int lastRound = lastRow + lookAhead;
        state->cut = history::DrawTable{};
        for (int r = 1; r <= lastRound; ++r)
            state->cut.store(r, full.record(r));
        if (const engine::EngineError e = state->engine.YosouSetUp(state->cut, asGame(game), 1, lastRound);
            e != engine::EngineError::None)
            return {nullptr, e};
        if (const engine::EngineError e = state->engine.runToEnd(); e != engine::EngineError::None)
            return {nullptr, e};
        return {&state->engine.proposal(), engine::EngineError::None};
    };
}

class BacktestWithEngine : public ::testing::TestWithParam<int> {};

TEST_P(BacktestWithEngine, PredictsEachRoundFromEarlierRoundsOnly) {
    const int game = GetParam();
    // The proposal settles only after several hundred rounds of history; the range
    // lies where it changes from round to round.
    const history::DrawTable t = randomHistory(game, 700, game == 3 ? 11u : 29u);
    BacktestOptions options;
    options.game = asGame(game);
    options.from = 640;
    options.portfolios = 60;

    const BacktestOutcome fast = runBacktest(t, options);
    ASSERT_FALSE(fast.error) << fast.error.describe();
    const BacktestOutcome honest = runBacktest(t, options, slicedPredictor(t, game, 0));
    ASSERT_FALSE(honest.error) << honest.error.describe();
    ASSERT_EQ(fast.result.lines.size(), honest.result.lines.size());
    int64_t tickets = 0;
    for (std::size_t i = 0; i < fast.result.lines.size(); ++i) {
        EXPECT_TRUE(sameFigures(fast.result.lines[i], honest.result.lines[i])) << "line " << i;
        tickets += fast.result.lines[i].tickets;
    }
    EXPECT_GT(tickets, 0);
    EXPECT_EQ(formatBacktestText(fast.result), formatBacktestText(honest.result));

    // The comparison notices a proposal that has seen the round it predicts (the
    // range stops one round early so that the peeking run has that round).
    BacktestOptions shortRange = options;
    shortRange.to = t.count - 1;
    const BacktestOutcome fastShort = runBacktest(t, shortRange);
    const BacktestOutcome peeking = runBacktest(t, shortRange, slicedPredictor(t, game, 1));
    ASSERT_FALSE(peeking.error) << peeking.error.describe();
    bool anyDifference = false;
    for (std::size_t i = 0; i < fastShort.result.lines.size(); ++i)
        anyDifference = anyDifference || !sameFigures(fastShort.result.lines[i], peeking.result.lines[i]);
    EXPECT_TRUE(anyDifference);
}

INSTANTIATE_TEST_SUITE_P(Backtest, BacktestWithEngine, ::testing::Values(3, 4),
                         [](const auto& info) { return "numbers" + std::to_string(info.param); });

} // namespace
} // namespace tw::backtest::test
