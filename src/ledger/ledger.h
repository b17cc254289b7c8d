// The ticket ledger: the tickets the user bought, kept in one SQLite database
// ("tallowind.db" in the working folder). It records tickets (a print job's
// entries, or tickets entered by hand), removes one, and lists them; what they
// won is worked out from the draw history by settlement.h, never stored.
//
// Every write is one transaction (all of a batch or nothing of it, whatever
// happens to the process), the journal is a write-ahead log synced on every
// commit, foreign keys are enforced, and every value reaches SQL through a bound
// parameter. Nothing here throws or aborts: a locked, read-only, damaged or
// newer file gives a LedgerError and the rest of the program goes on without
// the ledger. No Qt; the SQLite C API only.
#pragma once

#include "common/lottery.h"
#include "ledger/ledger_error.h"
#include "ledger/sqlite_handle.h"
#include "ledger/ticket.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::ledger {

inline constexpr const char* kLedgerFileName = "tallowind.db";
// The ledger file of a working folder.
std::string ledgerPathIn(const std::string& folder);

struct OpenOptions {
    // How long a write waits for another program's write lock before it gives up
    // with LedgerErrorKind::Locked.
    int busyTimeoutMs = 3000;
    // The recording time of new purchases; the system clock when not set.
    std::function<std::chrono::system_clock::time_point()> clock;
};

// Which tickets to list; unset parts do not filter.
struct TicketFilter {
    std::optional<common::Game> game;
    std::optional<int> fromRound;
    std::optional<int> toRound;
};

struct RecordResult {
    int64_t purchaseId = 0;         // 0 when nothing was recorded
    std::vector<int64_t> ticketIds; // in the order of the entries
    LedgerError error;
};

struct TicketsResult {
    std::vector<Ticket> tickets; // by game, round, then id (the order of recording)
    LedgerError error;
};

// Points of a write at which a test can stop the process.
enum class WriteStage { BeforeCommit, AfterCommit };

struct LedgerOpenResult;

// One open ledger file. Use it from one thread at a time (the windows and the
// command-line tool have one thread); several processes may open the same file.
class Ledger {
public:
    // Opens the file, creating it when missing, and brings its tables up to date.
    static LedgerOpenResult open(const std::string& path, OpenOptions options = {});

    Ledger(Ledger&&) = default;
    Ledger& operator=(Ledger&&) = default;
    ~Ledger() = default;

    // Records the entries as one purchase, in one transaction: either every entry
    // is stored or none (an entry that breaks a rule refuses the whole batch; its
    // index is in the error). An empty batch records nothing and succeeds. The
    // print job calls this once at the end of a job with the entries it printed.
    RecordResult recordTickets(const std::vector<TicketEntry>& entries, TicketSource source = TicketSource::Printed);
    // A hand entry: `count` tickets of the same number, bet and round (1 .. kMaxCount).
    RecordResult addTickets(common::Game game, int round, std::string_view number, common::BetType bet, int count,
                            std::string_view note = {});
    // Removes one ticket; its purchase goes with its last ticket.
    LedgerError removeTicket(int64_t id);
    // The tickets that pass the filter.
    TicketsResult tickets(const TicketFilter& filter = {}) const;

    const std::string& path() const { return m_path; }
    int schemaVersion() const { return m_schemaVersion; }

    // Test seam: called at each stage of every write, so a test can kill the
    // process between the last insert and COMMIT, or right after COMMIT.
    void setWriteHookForTests(std::function<void(WriteStage)> hook) { m_writeHook = std::move(hook); }

private:
    Ledger(std::string path, sql::Connection db, OpenOptions options, int schemaVersion);
    std::string nowText() const;
    LedgerError fail(int code) const;
    void reachStage(WriteStage stage) const;

    std::string m_path;
    sql::Connection m_db;
    OpenOptions m_options;
    int m_schemaVersion = 0;
    std::function<void(WriteStage)> m_writeHook;
};

struct LedgerOpenResult {
    std::optional<Ledger> ledger; // set when the file could be opened and is up to date
    LedgerError error;
    bool migrated = false; // this open made the tables (a new or empty file) or brought them forward
};

} // namespace tw::ledger
