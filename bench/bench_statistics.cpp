// Speed of the statistics of the drawn digits over the whole bundled history of
// each game (counts, chi-square and p-values, gaps, digit sums). The history is
// loaded once, outside the timing.
#include "history/table_file.h"
#include "reports/draw_statistics.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_StatisticsWholeHistory(benchmark::State& state) {
    const tw::common::Game game = state.range(0) == 4 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
    const tw::history::LoadResult loaded =
        tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game));
    if (loaded.error) {
        state.SkipWithError(loaded.error.message().c_str());
        return;
    }
    for (auto _ : state) {
        const tw::reports::StatisticsOutcome out = tw::reports::computeDrawStatistics(loaded.table, {game, 1, {}});
        if (out.error) {
            state.SkipWithError(out.error.describe().c_str());
            return;
        }
        benchmark::DoNotOptimize(out.statistics.positions.data());
    }
    state.counters["rounds"] = loaded.table.count;
}
BENCHMARK(BM_StatisticsWholeHistory)->ArgName("game")->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

} // namespace
BENCHMARK_MAIN();
