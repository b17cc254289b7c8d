#include "ledger/ledger_csv.h"

#include "common/date_serial.h"
#include "common/file_replace.h"

#include <cstring>

namespace tw::ledger {

std::string formatRowsCsv(const LedgerReport& report) {
    std::string out = "round,date,game,tickets,cost,won,balance,running_balance,status\r\n";
    for (const RoundRow& row : report.rows) {
        out += std::to_string(row.round);
        out += ',';
        if (row.settled)
            out += common::formatDate(*row.drawDate);
        out += ',';
        out += common::gameName(row.game);
        out += ',' + std::to_string(row.tickets) + ',' + std::to_string(row.cost) + ',';
        if (row.settled)
            out += std::to_string(row.won) + ',' + std::to_string(row.balance) + ',' +
                   std::to_string(row.runningBalance) + ",settled";
        else
            out += ",,,unsettled";
        out += "\r\n";
    }
    return out;
}

LedgerError exportRowsCsv(const std::string& path, const LedgerReport& report) {
    const common::ReplaceResult written = common::replaceFileContents(path, formatRowsCsv(report));
    if (written.ok())
        return {};
    LedgerError error;
    error.kind = LedgerErrorKind::ExportFailed;
    error.path = path;
    error.detail = written.error != 0 ? std::strerror(written.error) : "stopped before the file was replaced";
    return error;
}

} // namespace tw::ledger
