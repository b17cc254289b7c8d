// Showing the ticket ledger: 100,000 tickets over 5,000 rounds (the last 2,500
// rounds of each game, 20 tickets a round, every bet type) loaded from the
// database, settled against the bundled history and grouped into per-round
// rows. Also a print job's recording, one transaction synced to disk. The
// databases live in a temporary folder removed at the end.
#include "history/table_file.h"
#include "ledger/ledger.h"
#include "ledger/settlement.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tw::common::BetType;
using tw::common::Game;

constexpr int kRoundsPerGame = 2500;
constexpr int kTicketsPerRound = 20;
constexpr int kLastRound = 7054;

struct Fixture {
    fs::path folder;
    tw::history::DrawHistory history;
    std::string ledgerPath;
    std::string error;

    Fixture() {
        folder = fs::temp_directory_path() / ("tw_bench_ledger_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        for (const tw::common::Game game : tw::common::kGames) {
            auto loaded =
                tw::history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + tw::common::tableFileName(game));
            if (loaded.error)
                error = loaded.error.message();
            history.table(game) = std::move(loaded.table);
        }
        ledgerPath = (folder / "tallowind.db").string();
        auto opened = tw::ledger::Ledger::open(ledgerPath);
        if (!opened.ledger) {
            error = tw::ledger::describe(opened.error);
            return;
        }
        // Ten rounds make one recording of 200 tickets, as a long print job would.
        uint32_t seed = 12345;
        std::vector<tw::ledger::TicketEntry> batch;
        for (Game game : tw::common::kGames)
            for (int round = kLastRound - kRoundsPerGame + 1; round <= kLastRound; ++round) {
                for (int k = 0; k < kTicketsPerRound; ++k) {
                    seed = seed * 1664525u + 1013904223u;
                    const int digits = tw::common::digitCount(game);
                    const BetType bet = game == Game::Numbers3 ? tw::common::kBetTypes[static_cast<std::size_t>(k % 4)]
                                                               : tw::common::kBetTypes[static_cast<std::size_t>(k % 3)];
                    std::string number = std::to_string((seed >> 8) % (digits == 4 ? 10000u : 1000u));
                    number.insert(0, static_cast<std::size_t>(digits) - number.size(), '0');
                    if (bet == BetType::Mini)
                        number = "*" + number.substr(1);
                    else if ((bet == BetType::Box || bet == BetType::Set) &&
                             number.find_first_not_of(number[0]) == std::string::npos)
                        number[0] = number[0] == '9' ? '0' : static_cast<char>(number[0] + 1);
                    batch.push_back({game, round, bet, number, ""});
                }
                if (batch.size() >= 200) {
                    if (const auto r = opened.ledger->recordTickets(batch); r.error)
                        error = tw::ledger::describe(r.error);
                    batch.clear();
                }
            }
        if (!batch.empty())
            if (const auto r = opened.ledger->recordTickets(batch); r.error)
                error = tw::ledger::describe(r.error);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// What the ledger window and `tallowind-cli ledger` do to show the ledger.
void ShowLedger(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    auto opened = tw::ledger::Ledger::open(f.ledgerPath);
    if (!opened.ledger) {
        state.SkipWithError(tw::ledger::describe(opened.error).c_str());
        return;
    }
    std::size_t rows = 0;
    int64_t tickets = 0;
    for (auto _ : state) {
        auto listed = opened.ledger->tickets();
        if (listed.error)
            state.SkipWithError(tw::ledger::describe(listed.error).c_str());
        const auto report = tw::ledger::buildReport(std::move(listed.tickets), f.history);
        rows = report.rows.size();
        tickets = report.totals.tickets;
        benchmark::DoNotOptimize(report.totals.balance);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["tickets"] = static_cast<double>(tickets);
}
BENCHMARK(ShowLedger)->Unit(benchmark::kMillisecond);

// The two halves of showing it: reading the tickets, and settling them into rows.
void LoadTickets(benchmark::State& state) {
    Fixture& f = fixture();
    auto opened = tw::ledger::Ledger::open(f.ledgerPath);
    if (!f.error.empty() || !opened.ledger) {
        state.SkipWithError("no ledger");
        return;
    }
    for (auto _ : state) {
        auto listed = opened.ledger->tickets();
        benchmark::DoNotOptimize(listed.tickets.data());
    }
}
BENCHMARK(LoadTickets)->Unit(benchmark::kMillisecond);

void SettleIntoRows(benchmark::State& state) {
    Fixture& f = fixture();
    auto opened = tw::ledger::Ledger::open(f.ledgerPath);
    if (!f.error.empty() || !opened.ledger) {
        state.SkipWithError("no ledger");
        return;
    }
    const auto tickets = opened.ledger->tickets().tickets;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = tickets;
        state.ResumeTiming();
        const auto report = tw::ledger::buildReport(std::move(copy), f.history);
        benchmark::DoNotOptimize(report.totals.balance);
    }
}
BENCHMARK(SettleIntoRows)->Unit(benchmark::kMillisecond);

// A print job of ten sheets (50 entries) recorded at its end: one transaction,
// synced to disk, on a ledger that already holds the 100,000 tickets.
void RecordPrintJob(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string path = (f.folder / "record.db").string();
    fs::copy_file(f.ledgerPath, path, fs::copy_options::overwrite_existing);
    auto opened = tw::ledger::Ledger::open(path);
    if (!f.error.empty() || !opened.ledger) {
        state.SkipWithError("no ledger");
        return;
    }
    std::vector<tw::ledger::TicketEntry> job;
    job.reserve(50);
    for (int i = 0; i < 50; ++i)
        job.push_back({Game::Numbers3, kLastRound + 1, BetType::Straight, std::to_string(100 + i * 17), ""});
    for (auto _ : state) {
        if (const auto r = opened.ledger->recordTickets(job); r.error)
            state.SkipWithError(tw::ledger::describe(r.error).c_str());
    }
}
BENCHMARK(RecordPrintJob)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
