// Importing a whole history file (7054 rounds, exported from the bundled
// history as CSV or JSON) into an empty table, which writes the table file, and
// into the full table, where every row is unchanged and nothing is written: the
// complete import of a file, read, planned and applied.
#include "history/draw_export.h"
#include "history/draw_merge.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

using namespace tw::history;
using tw::common::Game;

struct Setup {
    std::filesystem::path folder;
    std::string source; // the exported file
    std::string table;  // the table file the import writes
    DrawTable full;
};

Setup prepare(const benchmark::State& state, const char* what) {
    const Game game = state.range(0) == 4 ? Game::Numbers4 : Game::Numbers3;
    const auto format = state.range(1) == 0 ? ExportFormat::Csv : ExportFormat::Json;
    Setup s;
    s.folder = std::filesystem::temp_directory_path() /
               ("tw_bench_import_" + std::string(what) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(s.folder);
    s.full = loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game)).table;
    s.source = (s.folder / (format == ExportFormat::Csv ? "export.csv" : "export.json")).string();
    std::ofstream(s.source, std::ios::binary) << exportDraws(s.full, game, format);
    s.table = (s.folder / tw::common::tableFileName(game)).string();
    return s;
}

Game gameOf(const benchmark::State& state) {
    return state.range(0) == 4 ? Game::Numbers4 : Game::Numbers3;
}

void ImportIntoEmpty(benchmark::State& state) {
    const Setup s = prepare(state, "empty");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(s.table);
        DrawTable table;
        state.ResumeTiming();
        const ImportPlan plan = planImportFile(s.source, gameOf(state), table, nullptr, {});
        const ApplyResult r = applyImport(table, plan, s.table);
        if (!r.ok() || plan.counts.added != 7054)
            state.SkipWithError("the import did not add every round");
        benchmark::DoNotOptimize(table.count);
    }
    std::filesystem::remove_all(s.folder);
}
BENCHMARK(ImportIntoEmpty)->ArgsProduct({{3, 4}, {0, 1}})->ArgNames({"game", "json"})->Unit(benchmark::kMillisecond);

void ImportIntoFull(benchmark::State& state) {
    const Setup s = prepare(state, "full");
    DrawTable table = s.full;
    for (auto _ : state) {
        const ImportPlan plan = planImportFile(s.source, gameOf(state), table, nullptr, {});
        const ApplyResult r = applyImport(table, plan, s.table);
        if (!r.ok() || plan.counts.unchanged != 7054)
            state.SkipWithError("the import did not find every round unchanged");
        benchmark::DoNotOptimize(table.count);
    }
    std::filesystem::remove_all(s.folder);
}
BENCHMARK(ImportIntoFull)->ArgsProduct({{3, 4}, {0, 1}})->ArgNames({"game", "json"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
