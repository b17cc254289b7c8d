// What the tickets won, worked out from the draw history each time it is asked
// for (a corrected draw changes it at once; nothing of it is stored), and the
// ledger as it is shown: one row per game and round with cost, winnings,
// balance and running balance, the round's tickets with their hits, and totals.
//
// A ticket is settled when its round is drawn in the history. It wins the
// round's real prize of its bet type, with the hit tests the prediction view and
// the back-test use:
//   Straight  the drawn digits in the drawn order: the Straight prize;
//   Box       the drawn digits in any order, the drawn order included: the Box prize;
//   Set       the drawn order: the Set-Straight prize; another order of the drawn
//             digits: the Set-Box prize;
//   Mini      (NUMBERS3) the pair equal to the 2nd and 3rd drawn digits: the Mini prize.
// A number whose digits are all equal is never a Box or Set ticket, so an
// all-equal draw pays Straight and Mini tickets only.
// Standard library and the engine's hit tests; no files, no windows.
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"
#include "ledger/ticket.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tw::ledger {

enum class HitKind { None, Straight, Box, SetStraight, SetBox, Mini };
const char* hitName(HitKind hit); // "", "Straight", "Box", "Set-Straight", "Set-Box", "Mini"
const char* hitKey(HitKind hit);  // "none", "straight", "box", "set_straight", "set_box", "mini"
const char* hitNameJa(HitKind hit); // "", "ストレート", "ボックス", "セット・ストレート", "セット・ボックス", "ミニ"

struct Settlement {
    bool settled = false; // the round is drawn
    HitKind hit = HitKind::None;
    int64_t won = 0; // yen; 0 when unsettled or no hit
};

// One ticket of `number` bought as `bet` for `round` of the game whose table is given.
Settlement settle(const history::DrawTable& table, int round, common::BetType bet, const common::LotteryNumber& number);
Settlement settle(const Ticket& ticket, const history::DrawHistory& history);

// Which rows to show; unset parts do not filter. Dates are serial days (as in
// the draw records), both ends included. A round not yet drawn has no date: it
// is shown unless the range has an end date.
struct ReportFilter {
    std::optional<common::Game> game;
    std::optional<double> fromDate;
    std::optional<double> toDate;
};

struct SettledTicket {
    Ticket ticket;
    Settlement settlement;
};

struct RoundRow {
    common::Game game = common::Game::Numbers3;
    int round = 0;
    bool settled = false;
    std::optional<double> drawDate; // set when settled
    std::string drawnNumber;        // "286", "9577"; empty when unsettled
    int tickets = 0;
    int hits = 0;
    int64_t cost = 0;
    // The next three are meaningful for settled rows only (0 and the running
    // balance so far otherwise): a round not yet drawn has won nothing yet.
    int64_t won = 0;
    int64_t balance = 0;         // won - cost
    int64_t runningBalance = 0;  // sum of the balances of the settled rows up to this one
    std::size_t firstTicket = 0; // the round's tickets in LedgerReport::tickets
};

struct ReportTotals {
    int rounds = 0;
    int settledRounds = 0;
    int64_t tickets = 0; // every ticket shown
    int64_t cost = 0;
    int64_t settledTickets = 0;
    int64_t settledCost = 0;
    int64_t won = 0;
    int64_t balance = 0; // won - settledCost: the running balance of the last settled row
    int64_t hits = 0;
    int64_t unsettledTickets = 0;
    int64_t unsettledCost = 0;
};

struct LedgerReport {
    // Settled rows by draw date (NUMBERS3 before NUMBERS4 on the same day), then
    // the rounds not yet drawn by round.
    std::vector<RoundRow> rows;
    // The shown tickets, grouped by game and round, each group in recording order.
    std::vector<SettledTicket> tickets;
    ReportTotals totals;

    // A row's tickets, each with its hit and winnings.
    std::span<const SettledTicket> detail(const RoundRow& row) const {
        return std::span<const SettledTicket>(tickets).subspan(row.firstTicket, static_cast<std::size_t>(row.tickets));
    }
    // The row of a game's round; null when it is not shown.
    const RoundRow* findRow(common::Game game, int round) const;
};

// The report over the listed tickets (in any order) and the history.
LedgerReport buildReport(std::vector<Ticket> tickets, const history::DrawHistory& history,
                         const ReportFilter& filter = {});

} // namespace tw::ledger
