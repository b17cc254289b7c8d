// tallowind-cli ledger: the ticket ledger of a working folder without the window.
// "ledger" prints the per-round table (or JSON) with the totals, settled from the
// draw history of the same folder; "ledger add" records tickets bought at a
// counter. The figures are the ledger library's report, the same the window shows.
#include "cli/commands.h"
#include "cli/options.h"
#include "common/date_serial.h"
#include "history/table_file.h"
#include "ledger/ledger.h"
#include "ledger/settlement.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace {

using Json = nlohmann::ordered_json;
namespace ledger = tw::ledger;
using tw::common::Game;

constexpr const char* kUsage = "usage: tallowind-cli ledger [--data-dir DIR] [--game 3|4] [--json]\n"
                               "       tallowind-cli ledger add --game 3|4 --round R --bet straight|box|set|mini\n"
                               "                                --number N [--count K] [--data-dir DIR]\n"
                               "\n"
                               "The ticket ledger tallowind.db of the working folder DIR.\n"
                               "\n"
                               "ledger prints one row per game and round: round, draw date, game, tickets,\n"
                               "cost, won, balance and running balance, and the totals. A ticket is settled\n"
                               "from the draw history Num3Data.tbl / Num4Data.tbl of the same folder; a round\n"
                               "not yet drawn shows '-' for its date and winnings and the status unsettled.\n"
                               "\n"
                               "  --data-dir DIR  folder holding tallowind.db and the history files\n"
                               "                  (default: the working directory)\n"
                               "  --game 3|4      show one game only\n"
                               "  --json          print one JSON object: rows (round, date, game, tickets, cost,\n"
                               "                  won, balance, running_balance, settled; date, won, balance and\n"
                               "                  running_balance are null for a round not yet drawn) and totals\n"
                               "\n"
                               "ledger add records K tickets (default 1) of one number, bet type and round:\n"
                               "  --game 3|4      the game\n"
                               "  --round R       the round the tickets are for: 1 .. 32757 (drawn or not)\n"
                               "  --bet TYPE      straight, box, set or mini (mini: NUMBERS3 only)\n"
                               "  --number N      the digits with leading zeros (012, 0123); mini: *12 or 12\n"
                               "  --count K       how many tickets: 1 .. 999\n"
                               "A number whose digits are all equal cannot be bought as box or set.\n"
                               "Options may also be written --name=value; each may be given once.\n"
                               "\n"
                               "Exit status 0 on success; 2 with one line on stderr for a bad option or value,\n"
                               "a ledger that cannot be opened or written, or a malformed history file.\n";

int fail(const std::string& message) {
    return tw::cli::refuse("ledger", message);
}

void warn(const std::string& message) {
    tw::cli::warn("ledger", message);
}

// "3" or "4"; the refusal in `error` otherwise.
std::optional<Game> readGame(const std::string& text, std::string& error) {
    if (text == "3")
        return Game::Numbers3;
    if (text == "4")
        return Game::Numbers4;
    error = "--game must be 3 or 4, not '" + tw::cli::oneLine(text) + "'";
    return std::nullopt;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string tableLine(const std::string& round, const std::string& date, const std::string& game,
                      const std::string& tickets, const std::string& cost, const std::string& won,
                      const std::string& balance, const std::string& running, const std::string& status) {
    return padLeft(round, 5) + "  " + padRight(date, 10) + "  " + padRight(game, 8) + "  " + padLeft(tickets, 7) +
           "  " + padLeft(cost, 9) + "  " + padLeft(won, 10) + "  " + padLeft(balance, 10) + "  " +
           padLeft(running, 10) + (status.empty() ? "" : "  " + status);
}

void printTable(const ledger::LedgerReport& report) {
    std::cout << tableLine("round", "date", "game", "tickets", "cost", "won", "balance", "running", "status") << "\n";
    for (const ledger::RoundRow& row : report.rows) {
        const std::string game = tw::common::gameName(row.game);
        if (row.settled)
            std::cout << tableLine(std::to_string(row.round), tw::common::formatDate(*row.drawDate), game,
                                   std::to_string(row.tickets), std::to_string(row.cost), std::to_string(row.won),
                                   std::to_string(row.balance), std::to_string(row.runningBalance), "settled")
                      << "\n";
        else
            std::cout << tableLine(std::to_string(row.round), "-", game, std::to_string(row.tickets),
                                   std::to_string(row.cost), "-", "-", "-", "unsettled")
                      << "\n";
    }
    const ledger::ReportTotals& t = report.totals;
    std::cout << "totals: " << t.rounds << " rounds (" << t.settledRounds << " settled), " << t.tickets
              << " tickets, cost " << t.cost << " yen; settled: " << t.settledTickets << " tickets, cost "
              << t.settledCost << ", won " << t.won << ", balance " << t.balance << ", " << t.hits
              << " hits; unsettled: " << t.unsettledTickets << " tickets, " << t.unsettledCost << " yen\n";
}

void printJson(const ledger::LedgerReport& report) {
    Json rows = Json::array();
    for (const ledger::RoundRow& row : report.rows) {
        Json r;
        r["round"] = row.round;
        r["date"] = row.settled ? Json(tw::common::formatDate(*row.drawDate)) : Json(nullptr);
        r["game"] = tw::common::gameName(row.game);
        r["drawn"] = row.settled ? Json(row.drawnNumber) : Json(nullptr);
        r["tickets"] = row.tickets;
        r["hits"] = row.hits;
        r["cost"] = row.cost;
        r["won"] = row.settled ? Json(row.won) : Json(nullptr);
        r["balance"] = row.settled ? Json(row.balance) : Json(nullptr);
        r["running_balance"] = row.settled ? Json(row.runningBalance) : Json(nullptr);
        r["settled"] = row.settled;
        rows.push_back(std::move(r));
    }
    const ledger::ReportTotals& t = report.totals;
    Json totals{{"rounds", t.rounds},
                {"settled_rounds", t.settledRounds},
                {"tickets", t.tickets},
                {"cost", t.cost},
                {"settled_tickets", t.settledTickets},
                {"settled_cost", t.settledCost},
                {"won", t.won},
                {"balance", t.balance},
                {"hits", t.hits},
                {"unsettled_tickets", t.unsettledTickets},
                {"unsettled_cost", t.unsettledCost}};
    Json out;
    out["rows"] = std::move(rows);
    out["totals"] = std::move(totals);
    std::cout << out.dump() << "\n";
}

int runList(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options =
        tw::cli::parseOptions(args, {{"--data-dir"}, {"--game"}, {"--json", false}}, "ledger");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    ledger::ReportFilter filter;
    if (options.has("--game")) {
        std::string error;
        filter.game = readGame(options.value("--game"), error);
        if (!filter.game)
            return fail(error);
    }
    const std::filesystem::path dataDir = options.value("--data-dir", ".");
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir, ec))
        return fail("folder '" + dataDir.string() + "' does not exist");

    // Listing never makes a ledger: a folder without one has bought nothing yet.
    std::vector<ledger::Ticket> tickets;
    const std::string path = ledger::ledgerPathIn(dataDir.string());
    if (std::filesystem::exists(path, ec)) {
        ledger::LedgerOpenResult opened = ledger::Ledger::open(path);
        if (!opened.ledger)
            return fail(ledger::describe(opened.error));
        ledger::TicketFilter which;
        which.game = filter.game;
        ledger::TicketsResult listed = opened.ledger->tickets(which);
        if (listed.error)
            return fail(ledger::describe(listed.error));
        tickets = std::move(listed.tickets);
    }

    // A game without a history file has drawn nothing yet: its tickets stay unsettled.
    tw::history::DrawHistory history;
    for (const Game game : {Game::Numbers3, Game::Numbers4}) {
        if (filter.game && *filter.game != game)
            continue;
        const std::string file = (dataDir / (game == Game::Numbers3 ? "Num3Data.tbl" : "Num4Data.tbl")).string();
        tw::history::LoadResult loaded = tw::history::loadTableFile(file, game);
        if (loaded.error.kind == tw::history::LoadErrorKind::FileMissing) {
            warn("no history file '" + file + "': the " + tw::common::gameName(game) + " tickets are unsettled");
            continue;
        }
        if (loaded.error)
            return fail(loaded.error.message());
        if (loaded.warning)
            warn(loaded.warning.message());
        history.table(game) = std::move(loaded.table);
    }

    const ledger::LedgerReport report = ledger::buildReport(std::move(tickets), history, filter);
    if (options.has("--json"))
        printJson(report);
    else
        printTable(report);
    std::cout.flush();
    return std::cout.good() ? 0 : 2;
}

int runAdd(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options = tw::cli::parseOptions(
        args, {{"--data-dir"}, {"--game"}, {"--round"}, {"--bet"}, {"--number"}, {"--count"}}, "ledger add");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    for (const char* required : {"--game", "--round", "--bet", "--number"})
        if (!options.has(required))
            return fail(std::string(required) + " is required (see tallowind-cli ledger --help)");

    std::string error;
    const std::optional<Game> game = readGame(options.value("--game"), error);
    if (!game)
        return fail(error);
    const std::optional<int64_t> round =
        tw::cli::readWhole("--round", options.value("--round"), 1, ledger::kMaxRound, error);
    if (!round)
        return fail(error);
    const std::optional<tw::common::BetType> bet = tw::common::betFromKey(options.value("--bet"));
    if (!bet)
        return fail("--bet must be straight, box, set or mini, not '" + tw::cli::oneLine(options.value("--bet")) + "'");
    const std::optional<int64_t> count =
        tw::cli::readWhole("--count", options.value("--count", "1"), 1, ledger::kMaxCount, error);
    if (!count)
        return fail(error);

    // A refused ticket is said before the ledger file is opened or made.
    const ledger::TicketEntry entry{*game, static_cast<int>(*round), *bet, options.value("--number"), {}};
    if (const ledger::CheckedEntry checked = ledger::checkTicketEntry(entry); checked.error)
        return fail(ledger::describe(checked.error));

    const std::filesystem::path dataDir = options.value("--data-dir", ".");
    std::error_code ec;
    if (!std::filesystem::is_directory(dataDir, ec))
        return fail("folder '" + dataDir.string() + "' does not exist");
    ledger::LedgerOpenResult opened = ledger::Ledger::open(ledger::ledgerPathIn(dataDir.string()));
    if (!opened.ledger)
        return fail(ledger::describe(opened.error));
    const ledger::RecordResult recorded =
        opened.ledger->addTickets(*game, entry.round, entry.number, *bet, static_cast<int>(*count));
    if (recorded.error)
        return fail(ledger::describe(recorded.error));

    const std::string number = ledger::checkTicketEntry(entry).number->text();
    std::cout << "recorded " << recorded.ticketIds.size() << (recorded.ticketIds.size() == 1 ? " ticket" : " tickets")
              << ": " << tw::common::gameName(*game) << " round " << *round << " " << tw::common::betKey(*bet) << " "
              << number << " (ids " << recorded.ticketIds.front() << " .. " << recorded.ticketIds.back() << ")\n";
    return std::cout.good() ? 0 : 2;
}

int runLedger(const tw::cli::Args& args) {
    if (!args.empty() && args.front() == "add")
        return runAdd(tw::cli::Args(args.begin() + 1, args.end()));
    return runList(args);
}

tw::cli::CommandRegistration reg("ledger", "show the ticket ledger, or record tickets with 'ledger add'", &runLedger);

} // namespace
