// Recording what a print job put on mark sheets: the entries it actually printed
// (all of them, or the ones before a cancel) become tickets of the round being
// printed, in one purchase written in one transaction once the job has ended.
// One transaction per job rather than per sheet: a job is what the user bought
// at once, a cancelled job keeps exactly its printed part, and one commit per
// job costs one disk sync instead of one per sheet.
//
// Entries that cannot be tickets (a Box or Set of a number whose digits are all
// equal, which the print panel lets through) are left out and named in the
// outcome; the rest are recorded. A ledger that cannot be opened or written
// records nothing and says so: the print itself is never held up by it.
// Standard library only.
#pragma once

#include "common/lottery.h"
#include "ledger/ledger.h"
#include "ledger/ledger_error.h"
#include "ledger/ticket.h"

#include <span>
#include <string>
#include <vector>

namespace tw::ledger {

struct PrintedTickets {
    std::vector<TicketEntry> entries; // the entries that are tickets, in print order
    std::vector<LedgerError> refused; // one per entry left out; entryIndex is its place in the print order
};
// The tickets of printed entries (numbers of the game, or Mini pairs) of one bet type and round.
PrintedTickets ticketsOfPrintedEntries(common::Game game, int round, common::BetType bet,
                                       std::span<const common::LotteryNumber> printed);

struct PrintRecordOutcome {
    int recorded = 0;                 // tickets written
    std::vector<LedgerError> refused; // entries printed but not recorded as tickets
    LedgerError error;                // the ledger could not be opened or written: nothing recorded

    // What the user is told after the job, in Japanese (lines broken by CR);
    // empty when every printed entry was recorded.
    std::string messageJa() const;
};

// Records the printed entries of a job in the ledger file at `ledgerPath`.
PrintRecordOutcome recordPrintedEntries(const std::string& ledgerPath, common::Game game, int round,
                                        common::BetType bet, std::span<const common::LotteryNumber> printed,
                                        OpenOptions options = {});

} // namespace tw::ledger
