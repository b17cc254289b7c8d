#include "ledger/print_record.h"

namespace tw::ledger {

PrintedTickets ticketsOfPrintedEntries(common::Game game, int round, common::BetType bet,
                                       std::span<const common::LotteryNumber> printed) {
    PrintedTickets out;
    out.entries.reserve(printed.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        TicketEntry entry{game, round, bet, printed[i].text(), {}};
        CheckedEntry checked = checkTicketEntry(entry);
        if (checked.error) {
            checked.error.entryIndex = static_cast<int>(i);
            out.refused.push_back(std::move(checked.error));
            continue;
        }
        out.entries.push_back(std::move(entry));
    }
    return out;
}

std::string PrintRecordOutcome::messageJa() const {
    std::string text;
    if (error) {
        text = describeJa(error);
        text += "\r印刷した券は購入記録に登録されませんでした。";
    }
    if (!refused.empty()) {
        if (!text.empty())
            text += "\r\r";
        text += "次の " + std::to_string(refused.size()) + " 件は購入できない券のため、購入記録に登録しませんでした。";
        constexpr std::size_t kShown = 5;
        for (std::size_t i = 0; i < refused.size() && i < kShown; ++i) {
            LedgerError one = refused[i];
            one.entryIndex = -1; // the list names the entry itself, not its place
            text += "\r・" + describeJa(one);
        }
        if (refused.size() > kShown)
            text += "\r・ほか " + std::to_string(refused.size() - kShown) + " 件";
    }
    return text;
}

PrintRecordOutcome recordPrintedEntries(const std::string& ledgerPath, common::Game game, int round,
                                        common::BetType bet, std::span<const common::LotteryNumber> printed,
                                        OpenOptions options) {
    PrintRecordOutcome outcome;
    if (printed.empty())
        return outcome;
    PrintedTickets tickets = ticketsOfPrintedEntries(game, round, bet, printed);
    outcome.refused = std::move(tickets.refused);
    if (tickets.entries.empty())
        return outcome;

    LedgerOpenResult opened = Ledger::open(ledgerPath, std::move(options));
    if (!opened.ledger) {
        outcome.error = std::move(opened.error);
        return outcome;
    }
    const RecordResult recorded = opened.ledger->recordTickets(tickets.entries, TicketSource::Printed);
    if (recorded.error) {
        outcome.error = recorded.error;
        return outcome;
    }
    outcome.recorded = static_cast<int>(recorded.ticketIds.size());
    return outcome;
}

} // namespace tw::ledger
