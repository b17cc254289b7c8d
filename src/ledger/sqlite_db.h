// A thin layer over the SQLite C API for the ledger: an owning connection
// handle, a prepared statement that binds values (the ledger never splices a
// value into SQL text), a fixed script run statement by statement, a
// transaction that rolls back unless committed, and the mapping of SQLite's
// result codes onto the ledger's error kinds. Internal to the ledger library.
#pragma once

#include "ledger/ledger_error.h"
#include "ledger/sqlite_handle.h"

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tw::ledger::sql {

class Statement {
public:
    Statement(sqlite3* db, std::string_view text);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The result of preparing: SQLITE_OK when the statement can run.
    int prepareResult() const { return m_prepareResult; }

    void bind(int index, int64_t value);
    void bind(int index, std::string_view text);
    void bindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Makes the statement ready to run again with new values.
    void reset();

    int64_t columnInt(int column) const;
    std::string_view columnText(int column) const;
    bool columnIsNull(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_prepareResult = SQLITE_OK;
};

// Runs a fixed script of several statements, each prepared and stepped in turn.
// Returns SQLITE_OK or the first failing code.
int runScript(sqlite3* db, std::string_view script);

// Runs one statement without values to completion; SQLITE_OK or the failing code.
int runOne(sqlite3* db, std::string_view text);

// BEGIN IMMEDIATE at construction (the write lock is taken before anything is
// written, so a busy database fails here and not at COMMIT); ROLLBACK at
// destruction unless commit() succeeded.
class WriteTransaction {
public:
    explicit WriteTransaction(sqlite3* db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    int beginResult() const { return m_beginResult; }
    int commit();

private:
    sqlite3* m_db;
    int m_beginResult;
    bool m_open;
};

// BEGIN (deferred) at construction, so that several reads see one state of the
// file; the read transaction ends at destruction.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

    int beginResult() const { return m_beginResult; }

private:
    sqlite3* m_db;
    int m_beginResult;
};

// The ledger error for a failed SQLite call on `db` (which may be null when the
// connection could not be made) with result code `code`, for the file `path`.
LedgerError storageError(sqlite3* db, int code, const std::string& path);

} // namespace tw::ledger::sql
