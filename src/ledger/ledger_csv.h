// The rows of a ledger report as CSV for a spreadsheet: a header line, then one
// line per row in the shown order; ASCII, CR LF line ends like the table files
// and the report. Amounts are plain yen integers; a round not yet drawn has an
// empty date, won, balance and running balance and the status "unsettled".
//   round,date,game,tickets,cost,won,balance,running_balance,status
//   7054,2026/08/21,NUMBERS3,3,600,116700,116100,116100,settled
// Standard library only.
#pragma once

#include "ledger/ledger_error.h"
#include "ledger/settlement.h"

#include <string>

namespace tw::ledger {

std::string formatRowsCsv(const LedgerReport& report);

// Writes the CSV to `path`, replacing an older file only once the new one is
// complete (temporary file in the same folder, renamed over it).
LedgerError exportRowsCsv(const std::string& path, const LedgerReport& report);

} // namespace tw::ledger
