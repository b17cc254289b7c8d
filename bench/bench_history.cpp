// Loading the real draw history both ways and rewriting a table file, the work
// done at start-up and at exit. The rewrite goes to a temporary folder.
#include "history/table_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using namespace tw::history;

using tw::common::Game;

// The benchmarks take the game code 3 or 4 as their argument.
Game gameOf(const benchmark::State& state) {
    return tw::common::gameFromCode(static_cast<int>(state.range(0))).value_or(Game::Numbers3);
}

std::string dataFile(Game game) {
    return std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game);
}

void DirectLoad(benchmark::State& state) {
    const std::string path = dataFile(gameOf(state));
    for (auto _ : state) {
        LoadResult r = loadTableFile(path);
        if (r.error)
            state.SkipWithError(r.error.message().c_str());
        benchmark::DoNotOptimize(r.table.count);
    }
}
BENCHMARK(DirectLoad)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// The whole sliced load, all ticks back to back (the dialog spreads them over 50 ms ticks).
void SlicedLoad(benchmark::State& state) {
    const std::string path = dataFile(gameOf(state));
    for (auto _ : state) {
        TableLoader loader(path);
        loader.SetLoadSlice(TableLoader::kDefaultSlice);
        loader.ReadTableBlocks();
        loader.ResetLineScan();
        while (!loader.IsLoadStepDone())
            loader.CountTableLines();
        loader.ResetLineParse();
        while (!loader.IsLoadStepDone())
            loader.ParseTableLines();
        if (loader.failed())
            state.SkipWithError(loader.error().message().c_str());
        benchmark::DoNotOptimize(loader.table().count);
    }
}
BENCHMARK(SlicedLoad)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// A corrected round makes the saver rewrite the whole file (7054 lines) and flush it.
void RewriteOnCorrection(benchmark::State& state) {
    const Game game = gameOf(state);
    const auto folder = std::filesystem::temp_directory_path() / ("tw_bench_history_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "Table.tbl").string();
    std::filesystem::copy_file(dataFile(game), path, std::filesystem::copy_options::overwrite_existing);
    DrawTable table = loadTableFile(path).table;
    for (auto _ : state) {
        table.store(1, table.record(1));
        if (SaveError e = SaveTable(table, game, path))
            state.SkipWithError(e.message().c_str());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(RewriteOnCorrection)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

// Appending one new round: the usual exit after a draw was entered.
void AppendOneRound(benchmark::State& state) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("tw_bench_history_append_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "Num3Data.tbl").string();
    std::filesystem::copy_file(dataFile(Game::Numbers3), path, std::filesystem::copy_options::overwrite_existing);
    DrawTable table = loadTableFile(path).table;
    for (auto _ : state) {
        if (!table.store(table.count + 1, table.record(table.count))) {
            state.SkipWithError("table full");
            break;
        }
        if (SaveError e = SaveTable(table, Game::Numbers3, path))
            state.SkipWithError(e.message().c_str());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(AppendOneRound)->Iterations(200)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
