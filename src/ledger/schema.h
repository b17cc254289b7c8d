// The ledger's tables and how a database file is brought up to date.
//
// The table schema_version lists every migration applied to the file (version,
// time). A migration is a fixed script that takes the file from the version
// before it to its own; the list is append-only, so version 2 is one more entry
// at its end and a file of any earlier version is brought forward by running
// the entries after it, all in one transaction. A file whose version is above
// the last entry was written by a later program and is left untouched.
#pragma once

#include "ledger/ledger_error.h"

#include <span>
#include <string>
#include <string_view>

struct sqlite3;

namespace tw::ledger {

struct Migration {
    int version = 0;
    std::string_view script;
};

// The program's migrations, version 1 first.
std::span<const Migration> ledgerMigrations();
// The version a file has after ledgerMigrations().
int currentSchemaVersion();

// What a file's version means to a program with `migrations`: its version (0 for
// an empty database), or the reason it is refused: Corrupt for a database that
// holds tables but no version table (not a ledger), NewerVersion for a version
// above the last migration. Reads only, so a refused file is left as it was.
struct SchemaCheck {
    int version = 0;
    LedgerError error;
};
SchemaCheck checkSchema(sqlite3* db, const std::string& path, std::span<const Migration> migrations);

struct MigrationOutcome {
    int version = 0; // the file's version afterwards (NewerVersion: the version found)
    bool migrated = false;
    LedgerError error;
};

// Reads the file's version and, when it is below the last of `migrations`, runs
// the missing ones and records each with `appliedAt`. A database that holds
// tables but no version table is not a ledger and is refused as Corrupt.
MigrationOutcome migrateDatabase(sqlite3* db, const std::string& path, std::span<const Migration> migrations,
                                 std::string_view appliedAt);

} // namespace tw::ledger
