// Speed of the back-test over the bundled history: every drawn round from 2 to
// the last predicted through the engine's fast path, set beside 1000 simulated
// random portfolios (the default); also as the window runs it, with the running
// series of its chart, progress after every round and a cancel flag. The history
// is loaded once, outside the timing.
#include "backtest/backtest.h"
#include "common/lottery.h"
#include "history/table_file.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

namespace {

void BM_BacktestWholeHistory(benchmark::State& state) {
    // The first argument is the game code 3 or 4.
    const tw::common::Game game = state.range(0) == 4 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
    const std::string path = std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game);
    const tw::history::LoadResult loaded = tw::history::loadTableFile(path);
    if (loaded.error) {
        state.SkipWithError(loaded.error.message().c_str());
        return;
    }
    tw::backtest::BacktestOptions options;
    options.game = game;
    options.portfolios = static_cast<int>(state.range(1));
    options.seriesPoints = static_cast<int>(state.range(2));
    std::atomic<int> progress{0};
    const std::atomic<bool> cancel{false};
    tw::backtest::BacktestControl control;
    if (options.seriesPoints > 0) {
        control.progress = [&progress](int done, int) { progress.store(done, std::memory_order_relaxed); };
        control.cancel = &cancel;
    }
    for (auto _ : state) {
        const tw::backtest::BacktestOutcome out = tw::backtest::runBacktest(loaded.table, options, control);
        if (out.error) {
            state.SkipWithError(out.error.describe().c_str());
            return;
        }
        benchmark::DoNotOptimize(out.result.lines.data());
    }
    state.counters["rounds"] = loaded.table.count - 1;
}
BENCHMARK(BM_BacktestWholeHistory)
    ->ArgNames({"game", "portfolios", "series"})
    ->Args({3, 1000, 0})
    ->Args({4, 1000, 0})
    ->Args({3, 1, 0}) // nearly all prediction and accounting, almost no simulation
    ->Args({4, 1, 0})
    ->Args({3, 1000, tw::backtest::kDefaultSeriesPoints}) // as the window runs it
    ->Args({4, 1000, tw::backtest::kDefaultSeriesPoints})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
BENCHMARK_MAIN();
