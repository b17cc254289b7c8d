// What can go wrong with the ticket ledger, as one small value: the kind, the
// ledger file it concerns and what is known of the cause. The ledger never throws
// and never aborts; every operation hands one of these back, and the caller turns
// it into a message: describeJa() for the windows, describe() for the command line.
// Standard library only.
#pragma once

#include "common/lottery.h"

#include <cstdint>
#include <string>

namespace tw::ledger {

enum class LedgerErrorKind {
    None,
    // The database file.
    Locked,       // another program holds the write lock longer than the busy timeout
    ReadOnly,     // the file, or the folder that must hold it and its journal, cannot be written
    Corrupt,      // not an SQLite database, a damaged one, or a database that is not a ledger
    NewerVersion, // written by a later version of the program (schema version above ours)
    CannotOpen,   // the folder does not exist, or the file cannot be opened for another reason
    DiskFull,     // no room left to write
    Failed,       // any other failure the database reports (detail says which)
    // A ticket as entered.
    InvalidRound,    // round outside 1 .. kMaxRound
    InvalidNumber,   // not a number of the game (or, for Mini, not a pair)
    MiniNotNumbers3, // Mini is sold for NUMBERS3 only
    AllDigitsEqual,  // a number such as 777 is not sold as Box or Set
    InvalidCount,    // count outside 1 .. kMaxCount
    TicketNotFound,  // removal of an id the ledger does not hold
    // The CSV export.
    ExportFailed,
};

struct LedgerError {
    LedgerErrorKind kind = LedgerErrorKind::None;
    std::string path;   // the ledger file (ExportFailed: the CSV file)
    std::string detail; // the database's or the system's own words, when there are any
    int sqliteCode = 0; // extended result code of the failing call, 0 when none
    // The entered values an input error is about.
    common::Game game = common::Game::Numbers3;
    common::BetType bet = common::BetType::Straight;
    std::string number;  // as entered
    int64_t value = 0;   // the round, the count, the ticket id, or the newer schema version
    int entryIndex = -1; // the entry of a batch that was refused (0-based), -1 for a single entry

    explicit operator bool() const { return kind != LedgerErrorKind::None; }
    // Whether the error concerns the database file (the ledger is unusable or the
    // write did not happen) rather than the values entered.
    bool isStorageError() const;
};

// One Japanese message for a message box; lines broken by a single CR.
std::string describeJa(const LedgerError& error);
// One English line without a final full stop, in the style of tallowind-cli's
// messages ("tallowind-cli ledger: " goes in front).
std::string describe(const LedgerError& error);

// Japanese bet names as the windows show them: ストレート, ボックス, セット, ミニ.
const char* betNameJa(common::BetType bet);

} // namespace tw::ledger
