// Ledger files the program cannot use: held by another process, read-only,
// damaged or not a database, written by a newer version, in a folder that does
// not exist. Each gives its own error kind and message, leaves the file as it
// was, and nothing throws or aborts.
#include "ledger/ledger.h"
#include "ledger/schema.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using tw::common::BetType;
using tw::common::Game;
using tw::ledger::Ledger;
using tw::ledger::LedgerErrorKind;
using tw::testing::openLedger;
using tw::testing::TempFolder;

std::string makeLedger(const TempFolder& dir, int tickets) {
    const std::string path = tw::ledger::ledgerPathIn(dir.str());
    auto ledger = openLedger(path);
    if (ledger && tickets > 0) {
        EXPECT_FALSE(ledger->addTickets(Game::Numbers3, 7054, "286", BetType::Straight, tickets).error);
    }
    return path;
}

TEST(LedgerStorage, AFolderThatDoesNotExist) {
    TempFolder dir;
    const auto opened = Ledger::open((dir.path() / "missing" / "tallowind.db").string());
    EXPECT_FALSE(opened.ledger);
    EXPECT_EQ(opened.error.kind, LedgerErrorKind::CannotOpen);
    EXPECT_TRUE(opened.error.isStorageError());
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST(LedgerStorage, AFileThatIsNotADatabaseIsReportedAndLeftAsItWas) {
    TempFolder dir;
    const std::string text = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n";
    dir.write("tallowind.db", text);
    const auto opened = Ledger::open(tw::ledger::ledgerPathIn(dir.str()));
    EXPECT_FALSE(opened.ledger);
    EXPECT_EQ(opened.error.kind, LedgerErrorKind::Corrupt);
    EXPECT_EQ(tw::ledger::describeJa(opened.error),
              "購入台帳「tallowind.db」が壊れているか、購入台帳のファイルではありません。（file is not a database）");
    EXPECT_EQ(dir.read("tallowind.db"), text);
}

TEST(LedgerStorage, ADamagedDatabaseIsReportedAsCorrupt) {
    TempFolder dir;
    const std::string path = makeLedger(dir, 900); // several pages of tickets
    const auto size = fs::file_size(path);
    ASSERT_GT(size, 4u * 4096);
    {
        // Everything after the first page (the schema) is overwritten.
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(4096);
        const std::string garbage(static_cast<std::size_t>(size) - 4096, '\xA5');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    const auto opened = Ledger::open(path, tw::testing::fixedClockOptions());
    LedgerErrorKind kind = opened.error.kind;
    if (opened.ledger) {
        const auto listed = opened.ledger->tickets();
        kind = listed.error.kind;
        EXPECT_TRUE(listed.tickets.empty());
    }
    EXPECT_EQ(kind, LedgerErrorKind::Corrupt);
}

TEST(LedgerStorage, ADatabaseThatIsNotALedgerIsRefusedUntouched) {
    TempFolder dir;
    const std::string path = tw::ledger::ledgerPathIn(dir.str());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE photos (id INTEGER PRIMARY KEY, name TEXT)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const std::string before = dir.read("tallowind.db");

    const auto opened = Ledger::open(path);
    EXPECT_FALSE(opened.ledger);
    EXPECT_EQ(opened.error.kind, LedgerErrorKind::Corrupt);
    EXPECT_EQ(tw::ledger::describe(opened.error),
              "the ledger '" + path + "' is damaged or is not a ticket ledger (the database holds no ticket ledger)");
    EXPECT_EQ(dir.read("tallowind.db"), before);
}

// Rows another tool wrote past the ledger's rules (the file's own checks let
// them through) make the listing fail as damaged instead of showing them.
TEST(LedgerStorage, RowsThatBreakTheLedgersRulesAreReportedAsCorrupt) {
    struct Case {
        const char* sql;
        const char* detail;
    };
    const Case cases[] = {
        {"INSERT INTO ticket (purchase_id, game, round, bet, number, price) VALUES (1, 3, 9, 'box', '777', 200)",
         "ticket 3 holds an invalid number"},
        {"INSERT INTO ticket (purchase_id, game, round, bet, number, price) VALUES (1, 4, 9, 'straight', '123', 200)",
         "ticket 3 holds an invalid number"},
        {"INSERT INTO ticket (purchase_id, game, round, bet, number, price) VALUES (1, 3, 40000, 'straight', '123', "
         "200)",
         "ticket 3 holds an invalid round"},
        {"INSERT INTO ticket (purchase_id, game, round, bet, number, price) VALUES (99, 3, 9, 'straight', '123', 200)",
         "ticket 3 holds an invalid purchase"},
        {"UPDATE purchase SET recorded_at = 'yesterday'", "purchase 1 holds an invalid recording time"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        TempFolder dir;
        const std::string path = makeLedger(dir, 2);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);

        auto ledger = openLedger(path);
        ASSERT_TRUE(ledger);
        const auto listed = ledger->tickets();
        EXPECT_EQ(listed.error.kind, LedgerErrorKind::Corrupt);
        EXPECT_EQ(listed.error.detail, c.detail);
        EXPECT_TRUE(listed.tickets.empty());
    }
}

TEST(LedgerStorage, ANewerSchemaVersionIsRefusedUntouched) {
    TempFolder dir;
    const std::string path = makeLedger(dir, 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, "INSERT INTO schema_version VALUES (7, '2030-01-01T00:00:00Z')", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    const std::string before = dir.read("tallowind.db");

    const auto opened = Ledger::open(path);
    EXPECT_FALSE(opened.ledger);
    EXPECT_EQ(opened.error.kind, LedgerErrorKind::NewerVersion);
    EXPECT_EQ(opened.error.value, 7);
    EXPECT_EQ(tw::ledger::describeJa(opened.error),
              "購入台帳「tallowind.db」は新しいバージョンのプログラムで作られているため開けません。\r（形式 7、"
              "このプログラムは形式 1 まで）");
    EXPECT_EQ(dir.read("tallowind.db"), before);
}

// Another process holds the write lock (a transaction begun and not ended): the
// ledger still opens and lists, and a write gives up after the busy timeout with
// Locked and stores nothing; once the other process lets go, writing works again.
TEST(LedgerStorage, AWriteLockHeldByAnotherProcess) {
    TempFolder dir;
    const std::string path = makeLedger(dir, 2);
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(ready[0]);
        ::close(release[1]); // or the read below would never see the parent let go
        sqlite3* db = nullptr;
        int status = 1;
        if (sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            status = 0;
            char byte = 'x';
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(release[0], &byte, 1); // until the parent closes its end
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
        ::_exit(status);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the other process could not take the lock";

    {
        auto ledger = openLedger(path);
        ASSERT_TRUE(ledger);
        EXPECT_EQ(ledger->tickets().tickets.size(), 2u);
        const auto added = ledger->addTickets(Game::Numbers3, 7055, "123", BetType::Straight, 1);
        EXPECT_EQ(added.error.kind, LedgerErrorKind::Locked);
        EXPECT_EQ(
            tw::ledger::describeJa(added.error),
            "購入台帳「tallowind.db」は他のプログラムが使用中のため書き込めません。\rしばらくしてからやり直してくだ"
            "さい。");
        const auto id = ledger->tickets().tickets.front().id;
        EXPECT_EQ(ledger->removeTicket(id).kind, LedgerErrorKind::Locked);
        EXPECT_EQ(ledger->tickets().tickets.size(), 2u);

        ::close(release[1]);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_FALSE(ledger->addTickets(Game::Numbers3, 7055, "123", BetType::Straight, 1).error);
        EXPECT_EQ(ledger->tickets().tickets.size(), 3u);
    }
    ::close(ready[0]);
}

// The read-only cases need a user whom file permissions bind; as root the test
// runs them in a child process that has given up root for "nobody".
int openKindAsUnprivileged(const std::string& path) {
    return tw::testing::runInChild([&] {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 100;
        auto opened = Ledger::open(path);
        if (opened.ledger) {
            // The file opened: a write is what must fail.
            auto ledger = std::move(*opened.ledger);
            return static_cast<int>(ledger.addTickets(Game::Numbers3, 7055, "123", BetType::Straight, 1).error.kind);
        }
        return static_cast<int>(opened.error.kind);
    });
}

TEST(LedgerStorage, AReadOnlyFileOrFolder) {
    struct Case {
        const char* name;
        bool existingLedger;
        mode_t fileMode;
        mode_t folderMode;
    };
    const Case cases[] = {
        {"write-protected file", true, 0444, 0777},
        {"read-only folder, no ledger yet", false, 0, 0555},
        {"read-only folder, writable ledger", true, 0666, 0555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        const std::string path = c.existingLedger ? makeLedger(dir, 1) : tw::ledger::ledgerPathIn(dir.str());
        const std::string before = c.existingLedger ? dir.read("tallowind.db") : "";
        if (c.existingLedger) {
            ASSERT_EQ(::chmod(path.c_str(), c.fileMode), 0);
        }
        ASSERT_EQ(::chmod(dir.str().c_str(), c.folderMode), 0);

        const int status = openKindAsUnprivileged(path);
        ::chmod(dir.str().c_str(), 0700);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 100)
            GTEST_SKIP() << "cannot give up root here";
        EXPECT_EQ(static_cast<LedgerErrorKind>(WEXITSTATUS(status)), LedgerErrorKind::ReadOnly);

        // Nothing was made beside the file and the file is as it was.
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, c.existingLedger ? std::vector<std::string>{"tallowind.db"} : std::vector<std::string>{});
        if (c.existingLedger) {
            EXPECT_EQ(dir.read("tallowind.db"), before);
        }
    }
    tw::ledger::LedgerError error;
    error.kind = LedgerErrorKind::ReadOnly;
    error.path = "tallowind.db";
    EXPECT_EQ(tw::ledger::describeJa(error),
              "購入台帳「tallowind.db」に書き込めません。\rファイルまたはフォルダが読み取り専用です。");
}

} // namespace
