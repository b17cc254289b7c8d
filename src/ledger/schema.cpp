#include "ledger/schema.h"

#include "ledger/sqlite_db.h"

namespace tw::ledger {

namespace {

// Version 1: a purchase is one recording (a print job, or one hand entry) with
// its source and time; a ticket belongs to exactly one purchase. Ids are never
// reused (AUTOINCREMENT), so an id a user saw keeps naming the same ticket.
// Prizes and hits are not stored: they follow from the draw history.
constexpr std::string_view kVersion1 = R"sql(
CREATE TABLE schema_version (
    version    INTEGER PRIMARY KEY,
    applied_at TEXT NOT NULL
);
CREATE TABLE purchase (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    source      TEXT NOT NULL CHECK (source IN ('printed', 'hand')),
    recorded_at TEXT NOT NULL
);
CREATE TABLE ticket (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    purchase_id INTEGER NOT NULL REFERENCES purchase (id) ON DELETE CASCADE,
    game        INTEGER NOT NULL CHECK (game IN (3, 4)),
    round       INTEGER NOT NULL CHECK (round >= 1),
    bet         TEXT NOT NULL CHECK (bet IN ('straight', 'box', 'set', 'mini')),
    number      TEXT NOT NULL CHECK (number GLOB '[0-9*][0-9][0-9]' OR number GLOB '[0-9][0-9][0-9][0-9]'),
    price       INTEGER NOT NULL CHECK (price > 0),
    note        TEXT NOT NULL DEFAULT ''
);
CREATE INDEX ticket_by_purchase ON ticket (purchase_id);
CREATE INDEX ticket_by_round ON ticket (game, round);
)sql";

constexpr Migration kMigrations[] = {
    {1, kVersion1},
};

// The version of an open database: 0 when it holds no table at all, -1 when it
// holds tables but no version table.
int readVersion(sqlite3* db, int& version) {
    sql::Statement hasVersionTable(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?1");
    hasVersionTable.bind(1, std::string_view("schema_version"));
    int rc = hasVersionTable.step();
    if (rc != SQLITE_ROW)
        return rc;
    if (hasVersionTable.columnInt(0) == 0) {
        sql::Statement anyTable(db, "SELECT count(*) FROM sqlite_master");
        rc = anyTable.step();
        if (rc != SQLITE_ROW)
            return rc;
        version = anyTable.columnInt(0) == 0 ? 0 : -1;
        return SQLITE_OK;
    }
    sql::Statement maxVersion(db, "SELECT coalesce(max(version), 0) FROM schema_version");
    rc = maxVersion.step();
    if (rc != SQLITE_ROW)
        return rc;
    version = static_cast<int>(maxVersion.columnInt(0));
    return SQLITE_OK;
}

} // namespace

std::span<const Migration> ledgerMigrations() {
    return kMigrations;
}

int currentSchemaVersion() {
    return ledgerMigrations().back().version;
}

SchemaCheck checkSchema(sqlite3* db, const std::string& path, std::span<const Migration> migrations) {
    SchemaCheck check;
    const int target = migrations.empty() ? 0 : migrations.back().version;
    if (const int rc = readVersion(db, check.version); rc != SQLITE_OK) {
        check.error = sql::storageError(db, rc, path);
    } else if (check.version < 0) {
        check.error.kind = LedgerErrorKind::Corrupt;
        check.error.path = path;
        check.error.detail = "the database holds no ticket ledger";
    } else if (check.version > target) {
        check.error.kind = LedgerErrorKind::NewerVersion;
        check.error.path = path;
        check.error.value = check.version;
    }
    return check;
}

MigrationOutcome migrateDatabase(sqlite3* db, const std::string& path, std::span<const Migration> migrations,
                                 std::string_view appliedAt) {
    MigrationOutcome outcome;
    const int target = migrations.empty() ? 0 : migrations.back().version;
    // Most opens find the file up to date; they read without taking the write lock.
    SchemaCheck check = checkSchema(db, path, migrations);
    outcome.version = check.version;
    if (check.error) {
        outcome.error = std::move(check.error);
        return outcome;
    }
    if (check.version == target)
        return outcome;

    sql::WriteTransaction transaction(db);
    if (transaction.beginResult() != SQLITE_OK) {
        outcome.error = sql::storageError(db, transaction.beginResult(), path);
        return outcome;
    }
    // Another program may have migrated the file while this one waited for the lock.
    check = checkSchema(db, path, migrations);
    outcome.version = check.version;
    if (check.error) {
        outcome.error = std::move(check.error);
        return outcome;
    }
    for (const Migration& migration : migrations) {
        if (migration.version <= check.version)
            continue;
        int rc = sql::runScript(db, migration.script);
        if (rc == SQLITE_OK) {
            sql::Statement record(db, "INSERT INTO schema_version (version, applied_at) VALUES (?1, ?2)");
            record.bind(1, int64_t{migration.version});
            record.bind(2, appliedAt);
            rc = record.step();
            rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        }
        if (rc != SQLITE_OK) {
            outcome.error = sql::storageError(db, rc, path);
            return outcome;
        }
    }
    if (const int rc = transaction.commit(); rc != SQLITE_OK) {
        outcome.error = sql::storageError(db, rc, path);
        return outcome;
    }
    outcome.version = target;
    outcome.migrated = true;
    return outcome;
}

} // namespace tw::ledger
