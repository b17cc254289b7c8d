// The owning handle of an SQLite connection, declared without the SQLite header
// so that the ledger's public header does not bring it to its callers.
#pragma once

#include <memory>

struct sqlite3;

namespace tw::ledger::sql {

struct ConnectionCloser {
    void operator()(sqlite3* db) const;
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

} // namespace tw::ledger::sql
