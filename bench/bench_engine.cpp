// Speed of the prediction engine on the bundled history (rounds 1..7054 of both
// games): one complete sliced run, all six passes stepped without pauses (also on
// synthetic histories of 8,000, 16,000 and 32,000 rounds, to show how the run
// grows with the history); the
// fast path for every round the back-test report predicts (2503..7054), shared
// tables built once; and the two side by side per round in one run.
#include "engine/fast_path.h"
#include "history/table_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

namespace {

using tw::engine::Engine;
using tw::engine::EngineError;
using tw::engine::SharedTables;

constexpr int kFirstReportRound = 2503;

// The benchmarks name the game by its code 3 or 4 (their first argument).
tw::common::Game gameOf(int code) {
    return code == 4 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
}

const tw::history::DrawTable& table(int game) {
    static const auto load = [](const char* name) {
        auto loaded = tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + name);
        if (loaded.error) {
            std::cerr << loaded.error.message() << "\n";
            std::exit(1);
        }
        return std::move(loaded.table);
    };
    static const tw::history::DrawTable num3 = load("Num3Data.tbl");
    static const tw::history::DrawTable num4 = load("Num4Data.tbl");
    return game == 3 ? num3 : num4;
}

void check(EngineError err) {
    if (err != EngineError::None) {
        std::cerr << "engine error: " << tw::engine::errorText(err) << "\n";
        std::exit(1);
    }
}

void slicedRun(Engine& engine, int game, int lastRow) {
    check(engine.YosouSetUp(table(game), gameOf(game), 1, lastRow));
    for (;;) {
        const tw::engine::StepResult r = engine.YosouStep();
        check(r.error);
        if (r.blnComplete)
            break;
    }
}

// One complete sliced run for the round after the last drawn one.
void BM_SlicedRun(benchmark::State& state) {
    const int game = static_cast<int>(state.range(0));
    const int lastRow = table(game).count;
    Engine engine;
    for (auto _ : state) {
        slicedRun(engine, game, lastRow);
        benchmark::DoNotOptimize(engine.proposal().grp1.count);
    }
    state.SetLabel("Numbers" + std::to_string(game) + ", last row " + std::to_string(lastRow));
}
BENCHMARK(BM_SlicedRun)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->Repetitions(15)->ReportAggregatesOnly(true);

// A history of `rounds` rounds with digits from a fixed pseudo-random sequence:
// the same table on every run, of any length the table can hold.
const tw::history::DrawTable& syntheticTable(int game, int rounds) {
    static std::map<std::pair<int, int>, tw::history::DrawTable> made;
    auto [it, added] = made.try_emplace({game, rounds});
    if (added) {
        uint64_t state = 0x5DEECE66DULL + static_cast<uint64_t>(game);
        for (int r = 1; r <= rounds; ++r) {
            tw::history::NumData rec;
            rec.lngRound = r;
            for (int p = 1; p <= game; ++p) {
                state = state * 6364136223846793005ULL + 1442695040888963407ULL;
                rec.bytNum[static_cast<std::size_t>(p)] = static_cast<uint8_t>((state >> 33) % 10);
            }
            if (!it->second.store(r, rec)) {
                std::cerr << "synthetic history: round " << r << " does not fit\n";
                std::exit(1);
            }
        }
    }
    return it->second;
}

// One complete sliced run over a synthetic history: args game, rounds.
void BM_SlicedRunSynthetic(benchmark::State& state) {
    const int game = static_cast<int>(state.range(0));
    const int rounds = static_cast<int>(state.range(1));
    const tw::history::DrawTable& history = syntheticTable(game, rounds);
    Engine engine;
    for (auto _ : state) {
        check(engine.YosouSetUp(history, gameOf(game), 1, rounds));
        check(engine.runToEnd());
        benchmark::DoNotOptimize(engine.proposal().grp1.count);
    }
    state.SetLabel("Numbers" + std::to_string(game) + ", synthetic, last row " + std::to_string(rounds));
}
BENCHMARK(BM_SlicedRunSynthetic)
    ->ArgsProduct({{3, 4}, {8000, 16000, 32000}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The shared tables of a whole history.
void BM_SharedBuild(benchmark::State& state) {
    const int game = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SharedTables shared;
        check(shared.build(table(game), gameOf(game)));
        benchmark::DoNotOptimize(shared.followRows().data());
    }
}
BENCHMARK(BM_SharedBuild)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Shared tables built once, then one prediction for every round 2503..7054,
// read as the report and the back-test read it (groups and Mini only, table 0)
// or in full with the all-group table (table 1).
void BM_FastEveryReportRound(benchmark::State& state) {
    const int game = static_cast<int>(state.range(0));
    const bool readsTable = state.range(1) != 0;
    const int count = table(game).count;
    for (auto _ : state) {
        SharedTables shared;
        check(shared.build(table(game), gameOf(game)));
        Engine engine;
        for (int round = kFirstReportRound; round <= count; ++round) {
            check(engine.predictFast(shared, round - 1));
            if (readsTable)
                benchmark::DoNotOptimize(engine.proposal().AllGrpNums.data());
            else
                benchmark::DoNotOptimize(engine.proposalLists().grp1.count);
        }
    }
    state.counters["predictions"] = count - kFirstReportRound + 1;
}
BENCHMARK(BM_FastEveryReportRound)
    ->ArgNames({"game", "table"})
    ->Args({3, 0})
    ->Args({4, 0})
    ->Args({3, 1})
    ->Args({4, 1})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Per round, side by side: sliced runs for ten rounds spread over 2503..7054
// against the fast path for all of them (build included).
void BM_SlicedVersusFastPerRound(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const int game = static_cast<int>(state.range(0));
    const int count = table(game).count;
    double slicedPerRound = 0;
    double fastPerRound = 0;
    for (auto _ : state) {
        Engine sliced;
        int samples = 0;
        const auto t0 = Clock::now();
        for (int round = kFirstReportRound; round <= count; round += (count - kFirstReportRound) / 9, ++samples)
            slicedRun(sliced, game, round - 1);
        const auto t1 = Clock::now();
        SharedTables shared;
        check(shared.build(table(game), gameOf(game)));
        Engine fast;
        for (int round = kFirstReportRound; round <= count; ++round)
            check(fast.predictFast(shared, round - 1));
        const auto t2 = Clock::now();
        slicedPerRound = std::chrono::duration<double>(t1 - t0).count() / samples;
        fastPerRound = std::chrono::duration<double>(t2 - t1).count() / (count - kFirstReportRound + 1);
    }
    state.counters["sliced_ms_per_round"] = slicedPerRound * 1e3;
    state.counters["fast_us_per_round"] = fastPerRound * 1e6;
    state.counters["speedup"] = slicedPerRound / fastPerRound;
}
BENCHMARK(BM_SlicedVersusFastPerRound)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
