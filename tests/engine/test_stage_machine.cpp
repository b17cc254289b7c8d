// The run set-up and the dispatcher: passes in order, at most 100 rows a tick,
// the percent each tick reports, completion, and the refused set-ups.
#include "engine_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tw::engine::test {
namespace {

struct Tick {
    int16_t bar;
    double percent;
    bool complete;
};

std::vector<Tick> stepAll(Engine& engine) {
    std::vector<Tick> ticks;
    for (int guard = 0; guard < 10000; ++guard) {
        const StepResult r = engine.YosouStep();
        EXPECT_EQ(r.error, EngineError::None);
        ticks.push_back({r.intBar, r.percent, r.blnComplete});
        if (r.blnComplete || r.error != EngineError::None)
            break;
    }
    return ticks;
}

TEST(StageMachine, TicksAndPercentagesPerPass) {
    struct Case {
        int lastRow;
        std::vector<double> percents; // of every pass
    };
    const Case cases[] = {
        {1, {100}},
        {2, {100}},
        {100, {100}},
        {101, {100, 100}}, // rows 1..100 leave row 101 next: 101 / 101 x 100 before the pass ends
        {200, {101.0 / 200 * 100, 100}},
        {250, {101.0 / 250 * 100, 201.0 / 250 * 100, 100}},
    };
    const history::DrawTable table = randomTable(common::Game::Numbers3, 260, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE("last row " + std::to_string(c.lastRow));
        const std::vector<double>& perPass = c.percents;
        Engine engine;
        ASSERT_EQ(engine.YosouSetUp(table, common::Game::Numbers3, 1, c.lastRow), EngineError::None);
        const std::vector<Tick> ticks = stepAll(engine);
        const int ticksPerPass = (c.lastRow + 99) / 100;
        ASSERT_EQ(ticks.size(), static_cast<std::size_t>(6 * ticksPerPass));
        ASSERT_EQ(perPass.size(), static_cast<std::size_t>(ticksPerPass));
        for (std::size_t k = 0; k < ticks.size(); ++k) {
            const int pass = static_cast<int>(k) / ticksPerPass;
            EXPECT_EQ(ticks[k].bar, pass) << "tick " << k;
            EXPECT_EQ(ticks[k].percent, perPass[k % static_cast<std::size_t>(ticksPerPass)]) << "tick " << k;
            EXPECT_LE(ticks[k].percent, 100.0);
            EXPECT_EQ(ticks[k].complete, k + 1 == ticks.size()) << "tick " << k;
        }
        EXPECT_EQ(engine.intStage(), -1);
        EXPECT_EQ(engine.intSubStage(), -1);
        EXPECT_EQ(engine.intCurRow(), 1);
        EXPECT_TRUE(engine.hasRun());
    }
}

TEST(StageMachine, StatesFollowThePassOrder) {
    const history::DrawTable table = randomTable(common::Game::Numbers4, 150, 9);
    Engine engine;
    ASSERT_EQ(engine.YosouSetUp(table, common::Game::Numbers4, 1, 150), EngineError::None);
    EXPECT_EQ(engine.intStage(), 1);
    EXPECT_EQ(engine.intSubStage(), 1);
    EXPECT_EQ(engine.intCurRow(), 1);
    EXPECT_EQ(engine.game(), common::Game::Numbers4);
    // After each tick: (intStage, intSubStage, intCurRow).
    const std::vector<std::array<int, 3>> states = {
        {1, 1, 101},  {2, 1, 1},  {2, 1, 101},  {3, 1, 1},  {3, 1, 101},  {-1, 1, 1},
        {-1, 1, 101}, {-1, 2, 1}, {-1, 2, 101}, {-1, 3, 1}, {-1, 3, 101}, {-1, -1, 1},
    };
    for (std::size_t k = 0; k < states.size(); ++k) {
        const StepResult r = engine.YosouStep();
        EXPECT_EQ(r.percent, k % 2 == 0 ? 101.0 / 150 * 100 : 100.0);
        EXPECT_EQ((std::array<int, 3>{engine.intStage(), engine.intSubStage(), engine.intCurRow()}), states[k])
            << "tick " << k;
    }
    // A finished run reports completion again without doing anything.
    const StepResult again = engine.YosouStep();
    EXPECT_TRUE(again.blnComplete);
    EXPECT_EQ(again.percent, 100.0);
}

TEST(StageMachine, TwoHundredRowsReportFiftyPointFiveAfterTheFirstTick) {
    const history::DrawTable table = randomTable(common::Game::Numbers3, 200, 1);
    Engine engine;
    ASSERT_EQ(engine.YosouSetUp(table, common::Game::Numbers3, 1, 200), EngineError::None);
    EXPECT_DOUBLE_EQ(engine.YosouStep().percent, 50.5);
    EXPECT_EQ(engine.YosouStep().percent, 100.0);
}

TEST(StageMachine, StepBeforeAnySetUpIsRefused) {
    Engine engine;
    const StepResult r = engine.YosouStep();
    EXPECT_EQ(r.error, EngineError::NotSetUp);
    EXPECT_FALSE(r.blnComplete);
    EXPECT_EQ(engine.runToEnd(), EngineError::NotSetUp);
    EXPECT_TRUE(engine.FreqRows().empty());
    EXPECT_TRUE(engine.FollowRows().empty());
    EXPECT_EQ(engine.proposal().grp1.count, 0);
    EXPECT_EQ(engine.proposal().AllGrpCount, 0);
}

TEST(StageMachine, RefusedSetUpTouchesNothing) {
    const history::DrawTable table = randomTable(common::Game::Numbers3, 60, 3);
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 40);
    const Proposal before = engine.proposal();
    const std::size_t freqRows = engine.FreqRows().size();
    const FollowRow forecast = engine.FollowRows()[41];

    struct Case {
        int game, kind, lastRow;
        EngineError error;
    };
    const Case cases[] = {
        {3, 1, 0, EngineError::RoundOutOfRange},                                            // round 1
        {3, 1, -5, EngineError::RoundOutOfRange}, {3, 1, 61, EngineError::RoundOutOfRange}, // beyond count + 1
        {5, 1, 20, EngineError::InvalidArgument}, {3, 2, 20, EngineError::InvalidArgument},
    };
    for (const Case& c : cases) {
        // The case names the game by its code; 5 is no game and must be refused.
        EXPECT_EQ(engine.YosouSetUp(table, common::Game{c.game}, c.kind, c.lastRow), c.error);
        EXPECT_EQ(engine.intLastRow(), 40);
        EXPECT_EQ(engine.intSubStage(), -1);
        EXPECT_EQ(engine.FreqRows().size(), freqRows);
        EXPECT_EQ(engine.FollowRows()[41], forecast);
        EXPECT_EQ(engine.proposal().grp1, before.grp1);
        EXPECT_EQ(engine.proposal().AllGrpNums, before.AllGrpNums);
    }
    // The last drawn round as last row (predicting the next round) is accepted.
    EXPECT_EQ(engine.YosouSetUp(table, common::Game::Numbers3, 1, 60), EngineError::None);
    EXPECT_EQ(engine.FreqRows().size(), 61u);
    EXPECT_EQ(engine.FollowRows().size(), 62u);
}

// Set-up replaces the tables; the proposal stays until the last tick writes it.
TEST(StageMachine, ProposalChangesOnlyInTheLastTick) {
    const history::DrawTable table = randomTable(common::Game::Numbers3, 900, 21);
    Engine engine;
    runSliced(engine, table, common::Game::Numbers3, 800);
    const Proposal first = engine.proposal();
    ASSERT_EQ(engine.YosouSetUp(table, common::Game::Numbers3, 1, 850), EngineError::None);
    StepResult r;
    int ticks = 0;
    for (;;) {
        r = engine.YosouStep();
        ++ticks;
        if (r.blnComplete)
            break;
        ASSERT_EQ(engine.proposal().AllGrpNums, first.AllGrpNums) << "tick " << ticks;
        ASSERT_EQ(engine.proposal().grp1, first.grp1) << "tick " << ticks;
    }
    EXPECT_EQ(ticks, 6 * 9);
    EXPECT_NE(engine.proposal().AllGrpNums, first.AllGrpNums);
}

} // namespace
} // namespace tw::engine::test
