#include "ledger/sqlite_db.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace tw::ledger::sql {

void ConnectionCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Statement::Statement(sqlite3* db, std::string_view text) {
    m_prepareResult = sqlite3_prepare_v2(db, text.data(), static_cast<int>(text.size()), &m_stmt, nullptr);
    if (m_prepareResult == SQLITE_OK && m_stmt == nullptr)
        m_prepareResult = SQLITE_MISUSE; // empty text: nothing to run
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
}

int Statement::step() {
    return m_prepareResult == SQLITE_OK ? sqlite3_step(m_stmt) : m_prepareResult;
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int64_t Statement::columnInt(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

std::string_view Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!text)
        return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))};
}

bool Statement::columnIsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int runScript(sqlite3* db, std::string_view script) {
    const char* next = script.data();
    const char* end = script.data() + script.size();
    while (next < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, next, static_cast<int>(end - next), &stmt, &tail);
        if (rc != SQLITE_OK)
            return rc;
        if (stmt == nullptr) // only white space or comments were left
            break;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            return rc;
        next = tail;
    }
    return SQLITE_OK;
}

int runOne(sqlite3* db, std::string_view text) {
    Statement statement(db, text);
    int rc = statement.step();
    while (rc == SQLITE_ROW)
        rc = statement.step();
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

WriteTransaction::WriteTransaction(sqlite3* db)
    : m_db(db), m_beginResult(runOne(db, "BEGIN IMMEDIATE")), m_open(m_beginResult == SQLITE_OK) {}

WriteTransaction::~WriteTransaction() {
    if (m_open)
        runOne(m_db, "ROLLBACK");
}

int WriteTransaction::commit() {
    const int rc = runOne(m_db, "COMMIT");
    // A failed COMMIT may leave the transaction open (SQLITE_BUSY); the
    // destructor's ROLLBACK then ends it, so nothing of it stays.
    if (rc == SQLITE_OK || sqlite3_get_autocommit(m_db))
        m_open = false;
    return rc;
}

ReadTransaction::ReadTransaction(sqlite3* db) : m_db(db), m_beginResult(runOne(db, "BEGIN")) {}

ReadTransaction::~ReadTransaction() {
    if (m_beginResult == SQLITE_OK)
        runOne(m_db, "COMMIT");
}

namespace {

namespace fs = std::filesystem;

// SQLite reports "unable to open" both for a folder that does not exist and for
// a new file in a folder that cannot be written (its retry without write access
// leaves ENOENT behind), so the folder itself tells the two apart.
LedgerErrorKind cannotOpenKind(const std::string& path) {
    std::error_code ec;
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    if (!fs::is_directory(folder, ec))
        return LedgerErrorKind::CannotOpen;
    return ::access(folder.c_str(), W_OK) != 0 ? LedgerErrorKind::ReadOnly : LedgerErrorKind::CannotOpen;
}

} // namespace

LedgerError storageError(sqlite3* db, int code, const std::string& path) {
    LedgerError error;
    error.path = path;
    error.sqliteCode = code;
    const int systemErrno = db ? sqlite3_system_errno(db) : 0;
    error.detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    if (systemErrno != 0 && systemErrno != ENOENT)
        error.detail += std::string(": ") + std::strerror(systemErrno);
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        error.kind = LedgerErrorKind::Locked;
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        error.kind = LedgerErrorKind::ReadOnly;
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        error.kind = LedgerErrorKind::Corrupt;
        break;
    case SQLITE_FULL:
        error.kind = LedgerErrorKind::DiskFull;
        break;
    case SQLITE_CANTOPEN:
        error.kind = cannotOpenKind(path);
        break;
    case SQLITE_IOERR:
        error.kind = systemErrno == ENOSPC                           ? LedgerErrorKind::DiskFull
                     : systemErrno == EROFS || systemErrno == EACCES ? LedgerErrorKind::ReadOnly
                                                                     : LedgerErrorKind::Failed;
        break;
    default:
        error.kind = LedgerErrorKind::Failed;
        break;
    }
    return error;
}

} // namespace tw::ledger::sql
