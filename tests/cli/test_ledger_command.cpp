// tallowind-cli ledger run as a program: refused invocations (exit 2, one line on
// stderr, nothing written to the folder), hand entries read back through the
// ledger library, and the listing's rows and totals against the library's report
// over the bundled history, as a table, as JSON and for one game.
#include "history/table_file.h"
#include "ledger/ledger.h"
#include "ledger/settlement.h"

#include "support/run_program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using tw::common::BetType;
using tw::common::Game;
using tw::testing::TempFolder;

using Outcome = tw::testing::ProgramRun;

Outcome runCli(const std::vector<std::string>& args) {
    return tw::testing::runProgram(TALLOWIND_CLI, args);
}

const std::string kData = TALLOWIND_DATA_DIR;

// A working folder with the bundled history in it.
void copyHistory(const TempFolder& dir) {
    for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"})
        fs::copy_file(fs::path(kData) / name, dir.path() / name);
}

tw::history::DrawHistory bundledHistory() {
    tw::history::DrawHistory h;
    h.num3 = tw::history::loadTableFile(kData + "/Num3Data.tbl", Game::Numbers3).table;
    h.num4 = tw::history::loadTableFile(kData + "/Num4Data.tbl", Game::Numbers4).table;
    return h;
}

std::string digitsOf(const tw::history::NumData& rec, int places) {
    std::string s;
    for (int p = 1; p <= places; ++p)
        s += static_cast<char>('0' + rec.bytNum[static_cast<std::size_t>(p)]);
    return s;
}

Outcome add(const TempFolder& dir, const std::string& game, int round, const std::string& bet,
            const std::string& number, int count = 1) {
    return runCli({"ledger", "add", "--data-dir", dir.str(), "--game", game, "--round", std::to_string(round), "--bet",
                   bet, "--number", number, "--count", std::to_string(count)});
}

TEST(LedgerCommand, RefusesBadInputWithOneLineAndWritesNothing) {
    TempFolder dir;
    const std::string d = dir.str();
    struct Case {
        std::vector<std::string> args;
        std::string mentions;
    };
    const std::vector<Case> cases = {
        {{"ledger", "add", "--data-dir", d, "--round", "5", "--bet", "box", "--number", "123"}, "--game"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--bet", "box", "--number", "123"}, "--round"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--number", "123"}, "--bet"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "box"}, "--number"},
        {{"ledger", "add", "--data-dir", d, "--game", "5", "--round", "5", "--bet", "box", "--number", "123"},
         "3 or 4"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "0", "--bet", "box", "--number", "123"},
         "out of range"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "40000", "--bet", "box", "--number", "123"},
         "out of range"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "x1", "--bet", "box", "--number", "123"},
         "whole number"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "pair", "--number", "123"},
         "straight, box, set or mini"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "box", "--number", "777"},
         "digits are all equal"},
        {{"ledger", "add", "--data-dir", d, "--game", "4", "--round", "5", "--bet", "set", "--number", "0000"},
         "digits are all equal"},
        {{"ledger", "add", "--data-dir", d, "--game", "4", "--round", "5", "--bet", "mini", "--number", "*12"},
         "Mini is sold for NUMBERS3 only"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "straight", "--number", "12"},
         "not a NUMBERS3 number"},
        {{"ledger", "add", "--data-dir", d, "--game", "4", "--round", "5", "--bet", "straight", "--number", "123"},
         "not a NUMBERS4 number"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "mini", "--number", "*1x"},
         "not a Mini pair"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "box", "--number", "123", "--count",
          "0"},
         "out of range"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "box", "--number", "123", "--count",
          "1000"},
         "out of range"},
        {{"ledger", "add", "--data-dir", d, "--game", "3", "--round", "5", "--bet", "box", "--number", "123", "--json"},
         "unknown option"},
        {{"ledger", "add", "--data-dir", d + "/missing", "--game", "3", "--round", "5", "--bet", "box", "--number",
          "123"},
         "does not exist"},
        {{"ledger", "--data-dir", d, "--game", "7"}, "3 or 4"},
        {{"ledger", "--data-dir", d, "--round", "7"}, "unknown option"},
        {{"ledger", "--data-dir", d, "--json=yes"}, "takes no value"},
        {{"ledger", "--data-dir", d + "/missing"}, "does not exist"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const Outcome o = runCli(c.args);
        EXPECT_EQ(tw::testing::oneLineRefusalProblem(o), "");
        EXPECT_EQ(o.err.rfind("tallowind-cli ledger: ", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
    }
    // Neither a refused entry nor a listing makes a ledger file.
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(LedgerCommand, DamagedOrNewerLedgerIsOneLineAndStatusTwo) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string mentions;
    };
    const std::vector<Case> cases = {
        {"not a database", std::string(4096, 'x'), "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        dir.write(tw::ledger::kLedgerFileName, c.bytes);
        for (const Outcome& o : {runCli({"ledger", "--data-dir", dir.str()}), add(dir, "3", 5, "box", "123")}) {
            EXPECT_EQ(tw::testing::oneLineRefusalProblem(o), "");
            EXPECT_NE(o.err.find(c.mentions), std::string::npos) << o.err;
        }
        EXPECT_EQ(dir.read(tw::ledger::kLedgerFileName), c.bytes);
    }
}

// Hand entries of drawn rounds (hits of every bet type, a miss, an all-equal
// Straight) and of a round not yet drawn, then the listing against the library.
TEST(LedgerCommand, AddedTicketsAreListedWithTheLibrarysFigures) {
    TempFolder dir;
    copyHistory(dir);
    const tw::history::DrawHistory history = bundledHistory();
    const int last3 = history.num3.count;
    const int last4 = history.num4.count;
    const std::string drawn3 = digitsOf(history.num3.record(last3), 3);
    const std::string drawn3b = digitsOf(history.num3.record(last3 - 1), 3);
    const std::string drawn4 = digitsOf(history.num4.record(last4), 4);
    const std::string turned3 = std::string(drawn3.rbegin(), drawn3.rend());

    struct Entry {
        std::string game;
        int round;
        std::string bet;
        std::string number;
        int count;
    };
    const std::vector<Entry> entries = {
        {"3", last3, "straight", drawn3, 2},
        {"3", last3, "box", turned3, 1},
        {"3", last3, "set", drawn3, 1},
        {"3", last3, "mini", "*" + drawn3.substr(1), 3},
        {"3", last3 - 1, "straight", drawn3b == "000" ? "111" : "000", 1},
        {"3", last3 + 1, "box", "123", 4},
        {"4", last4, "straight", drawn4, 1},
        {"4", last4, "box", "0123", 1},
    };
    int total = 0;
    for (const Entry& e : entries) {
        SCOPED_TRACE(e.bet + " " + e.number);
        const Outcome o = add(dir, e.game, e.round, e.bet, e.number, e.count);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
        EXPECT_NE(o.out.find("recorded " + std::to_string(e.count)), std::string::npos) << o.out;
        total += e.count;
    }

    auto opened = tw::ledger::Ledger::open(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(opened.ledger) << tw::ledger::describe(opened.error);
    tw::ledger::TicketsResult listed = opened.ledger->tickets();
    ASSERT_FALSE(listed.error);
    ASSERT_EQ(listed.tickets.size(), static_cast<std::size_t>(total));
    for (const tw::ledger::Ticket& t : listed.tickets)
        EXPECT_EQ(t.source, tw::ledger::TicketSource::Hand);

    for (const std::optional<Game> game : {std::optional<Game>{}, std::optional<Game>{Game::Numbers4}}) {
        SCOPED_TRACE(game ? "NUMBERS4 only" : "both games");
        tw::ledger::ReportFilter filter;
        filter.game = game;
        const tw::ledger::LedgerReport report = tw::ledger::buildReport(listed.tickets, history, filter);
        std::vector<std::string> args = {"ledger", "--data-dir", dir.str(), "--json"};
        if (game)
            args.insert(args.end(), {"--game", "4"});
        const Outcome o = runCli(args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_EQ(o.err, "");
        const Json j = Json::parse(o.out);
        ASSERT_EQ(j["rows"].size(), report.rows.size());
        for (std::size_t i = 0; i < report.rows.size(); ++i) {
            const tw::ledger::RoundRow& row = report.rows[i];
            const Json& r = j["rows"][i];
            EXPECT_EQ(r["round"], row.round);
            EXPECT_EQ(r["game"], tw::common::gameName(row.game));
            EXPECT_EQ(r["tickets"], row.tickets);
            EXPECT_EQ(r["cost"], row.cost);
            EXPECT_EQ(r["settled"], row.settled);
            if (row.settled) {
                EXPECT_EQ(r["won"], row.won);
                EXPECT_EQ(r["balance"], row.balance);
                EXPECT_EQ(r["running_balance"], row.runningBalance);
            } else {
                EXPECT_TRUE(r["won"].is_null());
                EXPECT_TRUE(r["date"].is_null());
            }
        }
        EXPECT_EQ(j["totals"]["tickets"], report.totals.tickets);
        EXPECT_EQ(j["totals"]["cost"], report.totals.cost);
        EXPECT_EQ(j["totals"]["won"], report.totals.won);
        EXPECT_EQ(j["totals"]["balance"], report.totals.balance);
        EXPECT_EQ(j["totals"]["unsettled_tickets"], report.totals.unsettledTickets);
    }

    // The figures themselves, from the draw records: NUMBERS3's last round won its
    // Straight twice, Box, Set-Straight and Mini three times.
    const tw::history::NumData& r3 = history.num3.record(last3);
    const tw::history::NumData& r4 = history.num4.record(last4);
    const int64_t won3 = 2LL * r3.lngStraight + r3.lngBox + r3.lngSetStraight + 3LL * r3.lngMini;
    const bool boxHit4 = [&] {
        std::string a = drawn4, b = "0123";
        std::sort(a.begin(), a.end());
        return a == b;
    }();
    const int64_t won4 = r4.lngStraight + (boxHit4 ? r4.lngBox : 0);
    const Outcome o = runCli({"ledger", "--data-dir", dir.str(), "--json"});
    const Json j = Json::parse(o.out);
    std::map<std::pair<std::string, int>, Json> rows;
    for (const Json& r : j["rows"])
        rows[{r["game"].get<std::string>(), r["round"].get<int>()}] = r;
    const auto row = [&rows](const char* game, int round) { return rows[std::make_pair(std::string(game), round)]; };
    const bool allEqual3 = drawn3[0] == drawn3[1] && drawn3[1] == drawn3[2];
    if (!allEqual3) { // an all-equal draw could not have had Box and Set tickets
        EXPECT_EQ(row("NUMBERS3", last3)["won"], won3);
    }
    EXPECT_EQ(row("NUMBERS3", last3)["cost"], 7 * 200);
    EXPECT_EQ(row("NUMBERS3", last3 - 1)["won"], 0);
    EXPECT_EQ(row("NUMBERS3", last3 + 1)["settled"], false);
    EXPECT_EQ(row("NUMBERS3", last3 + 1)["cost"], 800);
    EXPECT_EQ(row("NUMBERS4", last4)["won"], won4);
    EXPECT_EQ(j["totals"]["unsettled_cost"], 800);

    // The table form: a header, one line per row, the totals; the undrawn round says so.
    const Outcome table = runCli({"ledger", "--data-dir", dir.str()});
    ASSERT_EQ(table.status, 0) << table.err;
    std::vector<std::string> lines;
    std::istringstream in(table.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), j["rows"].size() + 2);
    EXPECT_NE(lines.front().find("running"), std::string::npos);
    EXPECT_EQ(lines.back().rfind("totals: ", 0), 0u);
    EXPECT_NE(lines.back().find("won " + std::to_string(j["totals"]["won"].get<int64_t>())), std::string::npos);
    const auto undrawn = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(std::to_string(last3 + 1)) != std::string::npos && l.find("NUMBERS3") != std::string::npos;
    });
    ASSERT_NE(undrawn, lines.end());
    EXPECT_NE(undrawn->find("unsettled"), std::string::npos);
}

// Without history files the tickets are listed unsettled, with a warning.
TEST(LedgerCommand, MissingHistoryLeavesTicketsUnsettled) {
    TempFolder dir;
    ASSERT_EQ(add(dir, "4", 100, "set", "1234", 2).status, 0);
    const Outcome o = runCli({"ledger", "--data-dir", dir.str(), "--game", "4", "--json"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(o.err.find("warning: no history file"), std::string::npos) << o.err;
    const Json j = Json::parse(o.out);
    ASSERT_EQ(j["rows"].size(), 1u);
    EXPECT_EQ(j["rows"][0]["settled"], false);
    EXPECT_EQ(j["totals"]["unsettled_cost"], 400);
}

} // namespace
