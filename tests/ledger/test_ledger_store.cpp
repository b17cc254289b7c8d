// Recording and removing tickets, and the database file they live in: creation
// and migration, reopening, the rules an entry must meet, and what a print job
// cancelled part-way leaves in the ledger.
#include "ledger/ledger.h"
#include "ledger/schema.h"
#include "ledger_fixture.h"
#include "printing/print_job.h"
#include "support/entry_numbers.h"
#include "support/recording_sink.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::ledger::Ledger;
using tw::ledger::LedgerErrorKind;
using tw::ledger::TicketEntry;
using tw::ledger::TicketSource;
using tw::testing::openLedger;
using tw::testing::TempFolder;

// One value read straight from the file, beside the ledger's own connection.
std::string queryText(const std::string& path, const char* sqlText) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::string value = "<none>";
    if (sqlite3_prepare_v2(db, sqlText, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    else
        ADD_FAILURE() << sqlText << ": " << sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

std::vector<std::string> numbersOf(const Ledger& ledger) {
    std::vector<std::string> out;
    for (const auto& t : ledger.tickets().tickets)
        out.push_back(t.number.text());
    return out;
}

TEST(LedgerFile, ANewFileAndAnEmptyFileGetTheTablesAndReopeningKeepsTheTickets) {
    TempFolder dir;
    for (const bool zeroByteFile : {false, true}) {
        SCOPED_TRACE(zeroByteFile ? "zero-byte file" : "no file");
        const std::string path = (dir.path() / (zeroByteFile ? "empty.db" : "new.db")).string();
        if (zeroByteFile)
            std::ofstream(path, std::ios::binary).flush();
        {
            auto opened = Ledger::open(path, tw::testing::fixedClockOptions());
            ASSERT_TRUE(opened.ledger) << tw::ledger::describe(opened.error);
            EXPECT_TRUE(opened.migrated);
            EXPECT_EQ(opened.ledger->schemaVersion(), tw::ledger::currentSchemaVersion());
            ASSERT_FALSE(opened.ledger->addTickets(Game::Numbers3, 7054, "286", BetType::Straight, 2).error);
        }
        EXPECT_EQ(queryText(path, "SELECT group_concat(version || ' ' || applied_at) FROM schema_version"),
                  "1 2026-08-21T12:00:00Z");
        EXPECT_EQ(queryText(path, "PRAGMA journal_mode"), "wal");

        auto reopened = Ledger::open(path, tw::testing::fixedClockOptions());
        ASSERT_TRUE(reopened.ledger) << tw::ledger::describe(reopened.error);
        EXPECT_FALSE(reopened.migrated);
        EXPECT_EQ(numbersOf(*reopened.ledger), (std::vector<std::string>{"286", "286"}));
        EXPECT_EQ(queryText(path, "SELECT count(*) FROM schema_version"), "1");
    }
}

// A later version adds one migration to the list; a version 1 file keeps its
// tickets and comes out at version 2, which this program then refuses to open.
TEST(LedgerFile, AnAppendedMigrationBringsAVersionOneFileForward) {
    TempFolder dir;
    const std::string path = tw::ledger::ledgerPathIn(dir.str());
    {
        auto ledger = openLedger(path);
        ASSERT_TRUE(ledger);
        ASSERT_FALSE(ledger->addTickets(Game::Numbers4, 7054, "9577", BetType::Set, 1, "counter").error);
    }
    std::vector<tw::ledger::Migration> migrations(tw::ledger::ledgerMigrations().begin(),
                                                  tw::ledger::ledgerMigrations().end());
    migrations.push_back({2, "ALTER TABLE ticket ADD COLUMN sheet INTEGER NOT NULL DEFAULT 0;"
                             "CREATE INDEX ticket_by_sheet ON ticket (sheet);"});
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const auto outcome = tw::ledger::migrateDatabase(db, path, migrations, "2027-01-01T00:00:00Z");
    const auto again = tw::ledger::migrateDatabase(db, path, migrations, "2027-01-02T00:00:00Z");
    sqlite3_close(db);
    ASSERT_FALSE(outcome.error) << tw::ledger::describe(outcome.error);
    EXPECT_TRUE(outcome.migrated);
    EXPECT_EQ(outcome.version, 2);
    EXPECT_FALSE(again.migrated);

    EXPECT_EQ(queryText(path, "SELECT group_concat(version, ',') FROM schema_version"), "1,2");
    EXPECT_EQ(queryText(path, "SELECT number || ' ' || note || ' ' || sheet FROM ticket"), "9577 counter 0");
    const auto opened = Ledger::open(path, tw::testing::fixedClockOptions());
    EXPECT_FALSE(opened.ledger);
    EXPECT_EQ(opened.error.kind, LedgerErrorKind::NewerVersion);
    EXPECT_EQ(opened.error.value, 2);
}

TEST(LedgerEntry, HandEntryStoresCountTicketsAndRemovalTakesOneAtATime) {
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    const auto added = ledger->addTickets(Game::Numbers3, 7054, "286", BetType::Box, 3, "窓口で購入");
    ASSERT_FALSE(added.error) << tw::ledger::describe(added.error);
    ASSERT_EQ(added.ticketIds.size(), 3u);
    const auto mini = ledger->addTickets(Game::Numbers3, 7055, "86", BetType::Mini, 1);
    ASSERT_FALSE(mini.error);
    EXPECT_NE(mini.purchaseId, added.purchaseId);

    auto listed = ledger->tickets().tickets;
    ASSERT_EQ(listed.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(listed[i].id, added.ticketIds[i]);
        EXPECT_EQ(listed[i].purchaseId, added.purchaseId);
        EXPECT_EQ(listed[i].source, TicketSource::Hand);
        EXPECT_EQ(listed[i].recordedAt, std::chrono::floor<std::chrono::seconds>(tw::testing::fixedSystemNow()));
        EXPECT_EQ(listed[i].game, Game::Numbers3);
        EXPECT_EQ(listed[i].round, 7054);
        EXPECT_EQ(listed[i].bet, BetType::Box);
        EXPECT_EQ(listed[i].number.text(), "286");
        EXPECT_EQ(listed[i].price, 200);
        EXPECT_EQ(listed[i].note, "窓口で購入");
    }
    // The pair alone is stored in the Mini form.
    EXPECT_EQ(listed[3].number.text(), "*86");
    EXPECT_EQ(listed[3].bet, BetType::Mini);

    const std::string path = ledger->path();
    ASSERT_FALSE(ledger->removeTicket(added.ticketIds[1]));
    EXPECT_EQ(ledger->tickets().tickets.size(), 3u);
    const auto again = ledger->removeTicket(added.ticketIds[1]);
    EXPECT_EQ(again.kind, LedgerErrorKind::TicketNotFound);
    EXPECT_EQ(again.value, added.ticketIds[1]);

    // The purchase stays while it has tickets and goes with its last one; ids are not reused.
    EXPECT_EQ(queryText(path, "SELECT count(*) FROM purchase"), "2");
    ASSERT_FALSE(ledger->removeTicket(added.ticketIds[0]));
    ASSERT_FALSE(ledger->removeTicket(added.ticketIds[2]));
    EXPECT_EQ(queryText(path, "SELECT count(*) FROM purchase"), "1");
    const auto next = ledger->addTickets(Game::Numbers3, 7054, "286", BetType::Box, 1);
    ASSERT_FALSE(next.error);
    EXPECT_GT(next.ticketIds[0], mini.ticketIds[0]);
}

TEST(LedgerEntry, EntriesThatBreakARuleAreRefusedAndNothingIsStored) {
    struct Case {
        Game game;
        int round;
        BetType bet;
        const char* number;
        int count;
        LedgerErrorKind kind;
    };
    const Case cases[] = {
        {Game::Numbers3, 0, BetType::Straight, "123", 1, LedgerErrorKind::InvalidRound},
        {Game::Numbers3, -5, BetType::Straight, "123", 1, LedgerErrorKind::InvalidRound},
        {Game::Numbers3, tw::ledger::kMaxRound + 1, BetType::Straight, "123", 1, LedgerErrorKind::InvalidRound},
        {Game::Numbers3, 1, BetType::Straight, "12", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Straight, "1234", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers4, 1, BetType::Straight, "123", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Straight, "*12", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Box, "1a3", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Straight, "", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Mini, "123", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers3, 1, BetType::Mini, "*1", 1, LedgerErrorKind::InvalidNumber},
        {Game::Numbers4, 1, BetType::Mini, "*12", 1, LedgerErrorKind::MiniNotNumbers3},
        {Game::Numbers3, 1, BetType::Box, "777", 1, LedgerErrorKind::AllDigitsEqual},
        {Game::Numbers3, 1, BetType::Set, "000", 1, LedgerErrorKind::AllDigitsEqual},
        {Game::Numbers4, 1, BetType::Box, "1111", 1, LedgerErrorKind::AllDigitsEqual},
        {Game::Numbers4, 1, BetType::Set, "9999", 1, LedgerErrorKind::AllDigitsEqual},
        {Game::Numbers3, 1, BetType::Straight, "123", 0, LedgerErrorKind::InvalidCount},
        {Game::Numbers3, 1, BetType::Straight, "123", tw::ledger::kMaxCount + 1, LedgerErrorKind::InvalidCount},
    };
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(tw::common::gameName(c.game)) + " round " + std::to_string(c.round) + " " +
                     tw::common::betKey(c.bet) + " '" + c.number + "' x" + std::to_string(c.count));
        const auto result = ledger->addTickets(c.game, c.round, c.number, c.bet, c.count);
        EXPECT_EQ(result.error.kind, c.kind);
        EXPECT_FALSE(result.error.isStorageError());
        EXPECT_TRUE(result.ticketIds.empty());
        EXPECT_FALSE(tw::ledger::describeJa(result.error).empty());
    }
    EXPECT_TRUE(ledger->tickets().tickets.empty());

    // What may be bought: a number with equal digits as Straight, its pair as Mini,
    // a round not drawn yet, the most a hand entry takes.
    EXPECT_FALSE(ledger->addTickets(Game::Numbers3, 7034, "777", BetType::Straight, 1).error);
    EXPECT_FALSE(ledger->addTickets(Game::Numbers3, 7034, "*77", BetType::Mini, 1).error);
    EXPECT_FALSE(ledger->addTickets(Game::Numbers4, 9000, "0001", BetType::Box, tw::ledger::kMaxCount).error);
    EXPECT_EQ(ledger->tickets().tickets.size(), 2u + tw::ledger::kMaxCount);
}

TEST(LedgerEntry, MessagesNameWhatWasRefused) {
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    const auto box = ledger->addTickets(Game::Numbers3, 7054, "777", BetType::Box, 1).error;
    EXPECT_EQ(tw::ledger::describeJa(box), "番号「777」はすべての数字が同じため、ボックスでは購入できません。");
    EXPECT_EQ(tw::ledger::describe(box), "777 cannot be bought as box: its digits are all equal");
    const auto number = ledger->addTickets(Game::Numbers4, 7054, "123", BetType::Straight, 1).error;
    EXPECT_EQ(tw::ledger::describe(number),
              "'123' is not a NUMBERS4 number: a NUMBERS4 number has 4 digits such as 0123");
    const auto round = ledger->addTickets(Game::Numbers3, 0, "123", BetType::Straight, 1).error;
    EXPECT_EQ(tw::ledger::describe(round), "round 0 is out of range: rounds are 1..32757");
}

TEST(LedgerBatch, ABatchIsOnePurchaseAndABadEntryRefusesAllOfIt) {
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    std::vector<TicketEntry> batch = {
        {Game::Numbers4, 7055, BetType::Straight, "0123", ""},
        {Game::Numbers4, 7055, BetType::Box, "4444", ""},
        {Game::Numbers4, 7055, BetType::Set, "5678", ""},
    };
    const auto refused = ledger->recordTickets(batch);
    EXPECT_EQ(refused.error.kind, LedgerErrorKind::AllDigitsEqual);
    EXPECT_EQ(refused.error.entryIndex, 1);
    EXPECT_EQ(tw::ledger::describe(refused.error), "entry 2: 4444 cannot be bought as box: its digits are all equal");
    EXPECT_TRUE(ledger->tickets().tickets.empty());

    batch[1].number = "4445";
    const auto recorded = ledger->recordTickets(batch);
    ASSERT_FALSE(recorded.error) << tw::ledger::describe(recorded.error);
    const auto listed = ledger->tickets().tickets;
    ASSERT_EQ(listed.size(), 3u);
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].id, recorded.ticketIds[i]);
        EXPECT_EQ(listed[i].purchaseId, recorded.purchaseId);
        EXPECT_EQ(listed[i].source, TicketSource::Printed);
        EXPECT_EQ(listed[i].number.text(), batch[i].number);
    }
    EXPECT_EQ(queryText(ledger->path(), "SELECT count(*) FROM purchase"), "1");

    const auto empty = ledger->recordTickets({});
    EXPECT_FALSE(empty.error);
    EXPECT_EQ(empty.purchaseId, 0);
    EXPECT_EQ(queryText(ledger->path(), "SELECT count(*) FROM purchase"), "1");
}

// The print job's hook: at the end of a job the entries it actually printed are
// recorded; after a cancel that is the entries before the cancel, no more.
TEST(LedgerBatch, AJobCancelledPartWayRecordsThePrintedEntriesOnly) {
    const std::vector<std::string> entries = {"012", "345", "678", "901", "234", "567", "890"};
    tw::printing::PrintJob job(Game::Numbers3, BetType::Straight, tw::testing::entryNumbers(Game::Numbers3, entries));
    tw::testing::RecordingSink sink;
    ASSERT_TRUE(job.start());
    tw::printing::StepReport report = job.step(sink);
    report = job.step(sink);
    report = job.step(sink);
    ASSERT_TRUE(job.requestCancel());
    report = job.step(sink);
    ASSERT_EQ(report.event, tw::printing::PrintEvent::Cancelled);
    ASSERT_EQ(report.entriesPrinted, 3);

    std::vector<TicketEntry> printed;
    printed.reserve(static_cast<std::size_t>(report.entriesPrinted));
    for (int i = 0; i < report.entriesPrinted; ++i)
        printed.push_back({Game::Numbers3, 7055, BetType::Straight, entries[static_cast<std::size_t>(i)], ""});
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    ASSERT_FALSE(ledger->recordTickets(printed).error);
    EXPECT_EQ(numbersOf(*ledger), (std::vector<std::string>{"012", "345", "678"}));
}

TEST(LedgerList, TheFilterSelectsGameAndRoundsAndTheOrderIsGameRoundRecording) {
    TempFolder dir;
    auto ledger = openLedger(tw::ledger::ledgerPathIn(dir.str()));
    ASSERT_TRUE(ledger);
    ASSERT_FALSE(ledger->addTickets(Game::Numbers4, 20, "1234", BetType::Straight, 1).error);
    ASSERT_FALSE(ledger->addTickets(Game::Numbers3, 30, "301", BetType::Straight, 1).error);
    ASSERT_FALSE(ledger->addTickets(Game::Numbers3, 10, "101", BetType::Straight, 1).error);
    ASSERT_FALSE(ledger->addTickets(Game::Numbers3, 30, "302", BetType::Straight, 1).error);
    ASSERT_FALSE(ledger->addTickets(Game::Numbers3, 20, "201", BetType::Straight, 1).error);

    auto listed = [&](tw::ledger::TicketFilter filter) {
        std::vector<std::string> out;
        for (const auto& t : ledger->tickets(filter).tickets)
            out.push_back(std::to_string(t.round) + ":" + t.number.text());
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(listed({}), (V{"10:101", "20:201", "30:301", "30:302", "20:1234"}));
    EXPECT_EQ(listed({Game::Numbers3, {}, {}}), (V{"10:101", "20:201", "30:301", "30:302"}));
    EXPECT_EQ(listed({Game::Numbers4, {}, {}}), (V{"20:1234"}));
    EXPECT_EQ(listed({{}, 20, 20}), (V{"20:201", "20:1234"}));
    EXPECT_EQ(listed({Game::Numbers3, 11, {}}), (V{"20:201", "30:301", "30:302"}));
    EXPECT_EQ(listed({Game::Numbers3, {}, 19}), (V{"10:101"}));
}

} // namespace
