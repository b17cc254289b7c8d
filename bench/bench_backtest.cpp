// Speed of the back-test over the bundled history: every drawn round from 2 to
// the last predicted through the engine's fast path, set beside 1000 simulated
// random portfolios (the default). The history is loaded once, outside the timing.
#include "history/table_file.h"
#include "reports/backtest.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_BacktestWholeHistory(benchmark::State& state) {
    const int game = static_cast<int>(state.range(0));
    const std::string path = std::string(TALLOWIND_DATA_DIR) + (game == 4 ? "/Num4Data.tbl" : "/Num3Data.tbl");
    const tw::history::LoadResult loaded = tw::history::loadTableFile(path);
    if (loaded.error) {
        state.SkipWithError(loaded.error.message().c_str());
        return;
    }
    tw::reports::BacktestOptions options;
    options.game = game;
    options.portfolios = static_cast<int>(state.range(1));
    for (auto _ : state) {
        const tw::reports::BacktestOutcome out = tw::reports::runBacktest(loaded.table, options);
        if (out.error) {
            state.SkipWithError(out.error.describe().c_str());
            return;
        }
        benchmark::DoNotOptimize(out.result.lines.data());
    }
    state.counters["rounds"] = loaded.table.count - 1;
}
BENCHMARK(BM_BacktestWholeHistory)
    ->ArgNames({"game", "portfolios"})
    ->Args({3, 1000})
    ->Args({4, 1000})
    ->Args({3, 1}) // nearly all prediction and accounting, almost no simulation
    ->Args({4, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
BENCHMARK_MAIN();
