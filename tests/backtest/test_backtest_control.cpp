// The back-test under a control, as a window runs it on a worker thread: the
// progress it reports, a cancel between rounds (before the first, from inside
// the run, from another thread), and the same figures as a run without control.
#include "backtest_fixture.h"

#include "history/table_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

namespace tw::backtest::test {
namespace {

// A predictor that counts the rounds it was asked for.
BacktestPredictor countingPredictor(const engine::Proposal& p, const std::shared_ptr<int>& calls) {
    auto held = std::make_shared<engine::Proposal>(p);
    return [held, calls](int) -> BacktestPrediction {
        ++*calls;
        return {held.get(), engine::EngineError::None};
    };
}

const engine::Proposal kProposal = proposal({{"123", "321", "456", "789"}, {"111", "012"}, {}, {"23", "45"}});

BacktestOptions optionsFrom(int from) {
    BacktestOptions options;
    options.from = from;
    options.portfolios = 100;
    options.seriesPoints = 10;
    return options;
}

TEST(BacktestControl, ReportsEveryRoundAndKeepsTheFigures) {
    const history::DrawTable t = randomHistory(3, 25, 4u);
    std::vector<std::pair<int, int>> reported;
    BacktestControl control;
    control.progress = [&](int done, int total) { reported.emplace_back(done, total); };
    const std::atomic<bool> never{false};
    control.cancel = &never;
    const BacktestOutcome watched = runBacktest(t, optionsFrom(4), control, samePredictor(kProposal));
    ASSERT_FALSE(watched.error) << watched.error.describe();
    EXPECT_FALSE(watched.cancelled());

    std::vector<std::pair<int, int>> expected;
    for (int done = 1; done <= 22; ++done)
        expected.emplace_back(done, 22);
    EXPECT_EQ(reported, expected);

    const BacktestOutcome plain = runBacktest(t, optionsFrom(4), samePredictor(kProposal));
    EXPECT_EQ(formatBacktestText(watched.result), formatBacktestText(plain.result));
    for (std::size_t i = 0; i < plain.result.lines.size(); ++i)
        EXPECT_EQ(watched.result.lines[i].series.back().net, plain.result.lines[i].series.back().net);
}

TEST(BacktestControl, CancelStopsBetweenRounds) {
    struct Case {
        const char* name;
        int cancelAfter; // rounds done when the flag is raised; 0 = raised before the run
        int expectedCalls;
    };
    const Case cases[] = {
        {"before the first round", 0, 0},
        {"after the first round", 1, 1},
        {"after seven rounds", 7, 7},
        {"after the last round", 22, 22}, // too late: the run is complete
    };
    const history::DrawTable t = randomHistory(3, 25, 4u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> cancel{c.cancelAfter == 0};
        int lastReported = 0;
        BacktestControl control;
        control.cancel = &cancel;
        control.progress = [&](int done, int) {
            lastReported = done;
            if (done == c.cancelAfter)
                cancel = true;
        };
        auto calls = std::make_shared<int>(0);
        const BacktestOutcome out = runBacktest(t, optionsFrom(4), control, countingPredictor(kProposal, calls));
        EXPECT_EQ(*calls, c.expectedCalls);
        EXPECT_EQ(lastReported, c.expectedCalls);
        if (c.cancelAfter == 22) {
            EXPECT_FALSE(out.error) << out.error.describe();
            EXPECT_EQ(out.result.lines.size(), 7u);
            continue;
        }
        EXPECT_TRUE(out.cancelled());
        EXPECT_EQ(out.error.kind, BacktestErrorKind::Cancelled);
        EXPECT_EQ(out.error.round, 4 + c.cancelAfter);
        EXPECT_TRUE(out.result.lines.empty());
        EXPECT_EQ(out.error.describe(),
                  "the back-test was cancelled before round " + std::to_string(4 + c.cancelAfter));
    }
}

history::DrawTable bundled(int game) {
    const history::LoadResult loaded =
        history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + (game == 4 ? "/Num4Data.tbl" : "/Num3Data.tbl"));
    EXPECT_FALSE(loaded.error) << loaded.error.message();
    return loaded.table;
}

TEST(BacktestControl, AnotherThreadCancelsAWorkerRun) {
    // The worker holds still after 50 rounds until the other thread has raised the
    // flag, so the run must stop at exactly that point.
    const history::DrawTable t = bundled(3);
    ASSERT_GT(t.count, 100);
    std::atomic<bool> cancel{false};
    std::atomic<bool> waiting{false};
    std::atomic<int> done{0};
    BacktestControl control;
    control.cancel = &cancel;
    control.progress = [&](int roundsDone, int) {
        done = roundsDone;
        if (roundsDone == 50) {
            waiting = true;
            while (!cancel)
                std::this_thread::yield();
        }
    };
    BacktestOptions options;
    options.game = common::Game::Numbers3;
    options.seriesPoints = kDefaultSeriesPoints;
    BacktestOutcome out;
    std::thread worker([&] { out = runBacktest(t, options, control); });
    while (!waiting)
        std::this_thread::yield();
    cancel = true;
    worker.join();
    EXPECT_TRUE(out.cancelled());
    EXPECT_EQ(out.error.round, 2 + 50);
    EXPECT_EQ(done, 50);
}

TEST(BacktestControl, WorkerRunsSideBySideGiveTheFiguresOfARunAlone) {
    // Two runs on two threads over the same table, each with the engine's fast path:
    // nothing shared between them may change a figure.
    const history::DrawTable t = bundled(4);
    BacktestOptions options;
    options.game = common::Game::Numbers4;
    options.from = t.count - 150;
    options.portfolios = 200;
    options.seriesPoints = 20;
    const BacktestOutcome alone = runBacktest(t, options);
    ASSERT_FALSE(alone.error) << alone.error.describe();

    BacktestOutcome first, second;
    std::thread a([&] { first = runBacktest(t, options, BacktestControl{}); });
    std::thread b([&] { second = runBacktest(t, options, BacktestControl{}); });
    a.join();
    b.join();
    for (const BacktestOutcome* out : {&first, &second}) {
        ASSERT_FALSE(out->error) << out->error.describe();
        ASSERT_EQ(out->result.lines.size(), alone.result.lines.size());
        EXPECT_EQ(formatBacktestText(out->result), formatBacktestText(alone.result));
        for (std::size_t i = 0; i < alone.result.lines.size(); ++i) {
            const std::vector<SeriesPoint>& s = out->result.lines[i].series;
            const std::vector<SeriesPoint>& expected = alone.result.lines[i].series;
            ASSERT_EQ(s.size(), expected.size());
            for (std::size_t k = 0; k < s.size(); ++k) {
                EXPECT_EQ(s[k].net, expected[k].net);
                EXPECT_EQ(s[k].bandLowNet, expected[k].bandLowNet);
                EXPECT_EQ(s[k].bandHighNet, expected[k].bandHighNet);
            }
        }
    }
}

} // namespace
} // namespace tw::backtest::test
