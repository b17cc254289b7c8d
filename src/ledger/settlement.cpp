#include "ledger/settlement.h"

#include "common/date_serial.h"
#include "engine/engine.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tw::ledger {

const char* hitName(HitKind hit) {
    switch (hit) {
    case HitKind::None:
        return "";
    case HitKind::Straight:
        return "Straight";
    case HitKind::Box:
        return "Box";
    case HitKind::SetStraight:
        return "Set-Straight";
    case HitKind::SetBox:
        return "Set-Box";
    case HitKind::Mini:
        return "Mini";
    }
    return "";
}

const char* hitKey(HitKind hit) {
    switch (hit) {
    case HitKind::None:
        return "none";
    case HitKind::Straight:
        return "straight";
    case HitKind::Box:
        return "box";
    case HitKind::SetStraight:
        return "set_straight";
    case HitKind::SetBox:
        return "set_box";
    case HitKind::Mini:
        return "mini";
    }
    return "none";
}

const char* hitNameJa(HitKind hit) {
    switch (hit) {
    case HitKind::None:
        return "";
    case HitKind::Straight:
        return "ストレート";
    case HitKind::Box:
        return "ボックス";
    case HitKind::SetStraight:
        return "セット・ストレート";
    case HitKind::SetBox:
        return "セット・ボックス";
    case HitKind::Mini:
        return "ミニ";
    }
    return "";
}

namespace {

// The engine's hit tests take a proposed entry: the places of a number, or the
// pair of a Mini bet in its first two places.
engine::PredNum entryOf(const common::LotteryNumber& number) {
    std::array<int16_t, 4> d{};
    for (int i = 0; i < number.size(); ++i)
        d[static_cast<std::size_t>(i)] = number.digit(i);
    return {d[0], d[1], d[2], d[3]};
}

std::string drawnText(const history::NumData& draw, common::Game game) {
    std::string text;
    for (int i = 1; i <= common::digitCount(game); ++i)
        text += static_cast<char>('0' + draw.bytNum[static_cast<std::size_t>(i)] % 10);
    return text;
}

} // namespace

Settlement settle(const history::DrawTable& table, int round, common::BetType bet,
                  const common::LotteryNumber& number) {
    Settlement s;
    if (!table.isDrawn(round))
        return s;
    s.settled = true;
    if (!number.buyableAs(bet))
        return s;
    const common::Game game = number.game();
    const history::NumData& draw = table.record(round);
    const engine::PredNum entry = entryOf(number);
    auto pays = [&](HitKind hit, int32_t prize) {
        s.hit = hit;
        s.won = prize;
    };
    switch (bet) {
    case common::BetType::Straight:
        if (engine::IsStraightHit(draw, entry, game))
            pays(HitKind::Straight, draw.lngStraight);
        break;
    case common::BetType::Box:
        if (engine::IsBoxHit(draw, entry, game))
            pays(HitKind::Box, draw.lngBox);
        break;
    case common::BetType::Set:
        if (engine::IsStraightHit(draw, entry, game))
            pays(HitKind::SetStraight, draw.lngSetStraight);
        else if (engine::IsBoxHit(draw, entry, game))
            pays(HitKind::SetBox, draw.lngSetBox);
        break;
    case common::BetType::Mini:
        if (game == common::Game::Numbers3 && engine::IsMiniHit(draw, entry))
            pays(HitKind::Mini, draw.lngMini);
        break;
    }
    return s;
}

Settlement settle(const Ticket& ticket, const history::DrawHistory& history) {
    return settle(history.table(ticket.game), ticket.round, ticket.bet, ticket.number);
}

const RoundRow* LedgerReport::findRow(common::Game game, int round) const {
    for (const RoundRow& row : rows)
        if (row.game == game && row.round == round)
            return &row;
    return nullptr;
}

LedgerReport buildReport(std::vector<Ticket> tickets, const history::DrawHistory& history, const ReportFilter& filter) {
    auto byRound = [](const Ticket& a, const Ticket& b) {
        return std::tuple(common::gameCode(a.game), a.round, a.id) <
               std::tuple(common::gameCode(b.game), b.round, b.id);
    };
    // The ledger lists its tickets in this order already; sort only what is not.
    if (!std::is_sorted(tickets.begin(), tickets.end(), byRound))
        std::sort(tickets.begin(), tickets.end(), byRound);

    LedgerReport report;
    report.tickets.reserve(tickets.size());
    auto dateShown = [&](const std::optional<double>& date) {
        if (!date)
            return !filter.toDate.has_value();
        const double day = std::floor(*date);
        return (!filter.fromDate || day >= std::floor(*filter.fromDate)) &&
               (!filter.toDate || day <= std::floor(*filter.toDate));
    };

    for (std::size_t i = 0; i < tickets.size();) {
        const common::Game game = tickets[i].game;
        const int round = tickets[i].round;
        std::size_t end = i;
        while (end < tickets.size() && tickets[end].game == game && tickets[end].round == round)
            ++end;
        const history::DrawTable& table = history.table(game);

        RoundRow row;
        row.game = game;
        row.round = round;
        row.settled = table.isDrawn(round);
        if (row.settled) {
            row.drawDate = table.record(round).dteDraw;
            row.drawnNumber = drawnText(table.record(round), game);
        }
        if ((!filter.game || *filter.game == game) && dateShown(row.drawDate)) {
            row.firstTicket = report.tickets.size();
            for (std::size_t k = i; k < end; ++k) {
                const Settlement s = settle(table, round, tickets[k].bet, tickets[k].number);
                ++row.tickets;
                row.cost += tickets[k].price;
                row.won += s.won;
                row.hits += s.hit == HitKind::None ? 0 : 1;
                report.tickets.push_back({std::move(tickets[k]), s});
            }
            row.balance = row.settled ? row.won - row.cost : 0;
            report.rows.push_back(std::move(row));
        }
        i = end;
    }

    auto shownOrder = [](const RoundRow& a, const RoundRow& b) {
        if (a.settled != b.settled)
            return a.settled;
        if (a.settled)
            return std::tuple(std::floor(*a.drawDate), common::gameCode(a.game), a.round) <
                   std::tuple(std::floor(*b.drawDate), common::gameCode(b.game), b.round);
        // Both games draw on the same days, so the round orders the undrawn rows by time.
        return std::tuple(a.round, common::gameCode(a.game)) < std::tuple(b.round, common::gameCode(b.game));
    };
    std::sort(report.rows.begin(), report.rows.end(), shownOrder);

    ReportTotals& totals = report.totals;
    int64_t running = 0;
    for (RoundRow& row : report.rows) {
        ++totals.rounds;
        totals.tickets += row.tickets;
        totals.cost += row.cost;
        totals.hits += row.hits;
        if (row.settled) {
            ++totals.settledRounds;
            totals.settledTickets += row.tickets;
            totals.settledCost += row.cost;
            totals.won += row.won;
            running += row.balance;
        } else {
            totals.unsettledTickets += row.tickets;
            totals.unsettledCost += row.cost;
        }
        row.runningBalance = running;
    }
    totals.balance = running;
    return report;
}

} // namespace tw::ledger
