// Settling tickets against the draw history and the ledger report built from
// it: the prize rules on real rounds of the bundled history, agreement with the
// back-test's payouts over every number, a corrected draw, the per-round rows
// with their running balance, the filters, the totals and the CSV export.
#include "backtest/backtest.h"
#include "common/date_serial.h"
#include "ledger/ledger_csv.h"
#include "ledger/settlement.h"
#include "ledger_fixture.h"

#include <gtest/gtest.h>

namespace {

using tw::common::BetType;
using tw::common::Game;
using tw::common::LotteryNumber;
using tw::ledger::HitKind;
using tw::ledger::Ticket;

Ticket ticketOf(int64_t id, Game game, int round, BetType bet, const char* number) {
    Ticket t;
    t.id = id;
    t.game = game;
    t.round = round;
    t.bet = bet;
    t.number = *LotteryNumber::parse(game, number);
    return t;
}

const tw::history::DrawHistory& bundled() {
    static const tw::history::DrawHistory history = tw::testing::bundledHistory();
    return history;
}

// Real rounds: NUMBERS3 7054 drew 286 (Straight 100,100 / Box 16,600 / Set 58,300
// and 8,300 / Mini 10,000), 7053 drew 919, 7034 drew 777 (Straight 80,400, Mini
// 8,000, nothing for Box and Set); NUMBERS4 7054 drew 9577, 6614 drew 0000.
TEST(Settlement, EveryBetTypeOnRealRounds) {
    struct Case {
        Game game;
        int round;
        BetType bet;
        const char* number;
        HitKind hit;
        int64_t won;
    };
    const Case cases[] = {
        {Game::Numbers3, 7054, BetType::Straight, "286", HitKind::Straight, 100100},
        {Game::Numbers3, 7054, BetType::Straight, "268", HitKind::None, 0},
        {Game::Numbers3, 7054, BetType::Box, "286", HitKind::Box, 16600}, // the drawn order is a box hit too
        {Game::Numbers3, 7054, BetType::Box, "862", HitKind::Box, 16600},
        {Game::Numbers3, 7054, BetType::Box, "287", HitKind::None, 0},
        {Game::Numbers3, 7054, BetType::Set, "286", HitKind::SetStraight, 58300},
        {Game::Numbers3, 7054, BetType::Set, "628", HitKind::SetBox, 8300},
        {Game::Numbers3, 7054, BetType::Mini, "*86", HitKind::Mini, 10000},
        {Game::Numbers3, 7054, BetType::Mini, "*28", HitKind::None, 0}, // the first two digits are not the Mini
        {Game::Numbers3, 7054, BetType::Mini, "*68", HitKind::None, 0},
        {Game::Numbers3, 7053, BetType::Box, "199", HitKind::Box, 29500},
        {Game::Numbers3, 7053, BetType::Box, "911", HitKind::None, 0}, // the digits, but not as often
        {Game::Numbers3, 7053, BetType::Set, "991", HitKind::SetBox, 14700},
        {Game::Numbers3, 7053, BetType::Mini, "*19", HitKind::Mini, 8800},
        {Game::Numbers3, 7034, BetType::Straight, "777", HitKind::Straight, 80400},
        {Game::Numbers3, 7034, BetType::Mini, "*77", HitKind::Mini, 8000},
        {Game::Numbers3, 7034, BetType::Box, "778", HitKind::None, 0},
        {Game::Numbers3, 7034, BetType::Set, "677", HitKind::None, 0},
        {Game::Numbers4, 7054, BetType::Straight, "9577", HitKind::Straight, 2128400},
        {Game::Numbers4, 7054, BetType::Box, "7597", HitKind::Box, 177300},
        {Game::Numbers4, 7054, BetType::Box, "9557", HitKind::None, 0},
        {Game::Numbers4, 7054, BetType::Set, "9577", HitKind::SetStraight, 1152800},
        {Game::Numbers4, 7054, BetType::Set, "7759", HitKind::SetBox, 88600},
        {Game::Numbers4, 6614, BetType::Straight, "0000", HitKind::Straight, 211400},
        {Game::Numbers4, 6614, BetType::Box, "0001", HitKind::None, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(tw::common::gameName(c.game)) + " " + std::to_string(c.round) + " " +
                     tw::common::betKey(c.bet) + " " + c.number);
        const auto s = tw::ledger::settle(ticketOf(1, c.game, c.round, c.bet, c.number), bundled());
        EXPECT_TRUE(s.settled);
        EXPECT_EQ(s.hit, c.hit);
        EXPECT_EQ(s.won, c.won);
    }
    const auto future = tw::ledger::settle(ticketOf(1, Game::Numbers3, 7055, BetType::Straight, "286"), bundled());
    EXPECT_FALSE(future.settled);
    EXPECT_EQ(future.won, 0);
}

// The ledger pays exactly what the back-test pays for the same ticket, for every
// number and bet type over a run of real rounds (the all-equal draws 7034 of
// NUMBERS3 and 6614 of NUMBERS4 among them).
TEST(Settlement, AgreesWithTheBacktestPayoutForEveryNumber) {
    auto backtestPayout = [](const tw::history::NumData& draw, Game game, tw::backtest::BetType bet,
                             tw::engine::PredNum entry) {
        tw::engine::CountedList<tw::engine::PredNum> list;
        list.items = {entry};
        list.count = 1;
        return tw::backtest::roundFigures(list, draw, game, bet).payout;
    };
    const std::pair<tw::common::BetType, tw::backtest::BetType> bets[] = {
        {BetType::Straight, tw::backtest::BetType::Straight},
        {BetType::Box, tw::backtest::BetType::Box},
        {BetType::Set, tw::backtest::BetType::Set},
        {BetType::Mini, tw::backtest::BetType::Mini},
    };
    struct Range {
        Game game;
        int from;
        int to;
    };
    int64_t paidTickets = 0;
    for (const Range range : {Range{Game::Numbers3, 7020, 7054}, Range{Game::Numbers4, 6605, 6615}}) {
        const auto& table = bundled().table(range.game);
        for (int round = range.from; round <= range.to; ++round) {
            const auto& draw = table.record(round);
            for (const auto& [bet, backtestBet] : bets) {
                const bool mini = bet == BetType::Mini;
                if (mini && range.game != Game::Numbers3)
                    continue;
                const int numbers = mini ? 100 : range.game == Game::Numbers4 ? 10000 : 1000;
                for (int value = 0; value < numbers; ++value) {
                    const int places = mini ? 2 : tw::common::digitCount(range.game);
                    std::array<uint8_t, 4> d{};
                    std::array<int16_t, 4> e{};
                    for (int i = places - 1, v = value; i >= 0; --i, v /= 10) {
                        d[static_cast<std::size_t>(i)] = static_cast<uint8_t>(v % 10);
                        e[static_cast<std::size_t>(i)] = static_cast<int16_t>(v % 10);
                    }
                    const LotteryNumber number =
                        mini ? LotteryNumber::mini(d[0], d[1]) : LotteryNumber::of(range.game, d);
                    const auto s = tw::ledger::settle(table, round, bet, number);
                    const int64_t expected = backtestPayout(draw, range.game, backtestBet, {e[0], e[1], e[2], e[3]});
                    if (s.won != expected)
                        FAIL() << tw::common::gameName(range.game) << " round " << round << " "
                               << tw::common::betKey(bet) << " " << number.text() << ": ledger " << s.won
                               << ", back-test " << expected;
                    paidTickets += s.won > 0 ? 1 : 0;
                }
            }
        }
    }
    EXPECT_GT(paidTickets, 0);
}

TEST(Settlement, ACorrectedDrawChangesTheSettlement) {
    tw::history::DrawHistory history = bundled();
    const std::vector<Ticket> tickets = {ticketOf(1, Game::Numbers3, 7054, BetType::Straight, "286"),
                                         ticketOf(2, Game::Numbers3, 7054, BetType::Straight, "287")};
    const auto before = tw::ledger::buildReport(tickets, history);
    ASSERT_EQ(before.rows.size(), 1u);
    EXPECT_EQ(before.rows[0].won, 100100);
    EXPECT_EQ(before.rows[0].drawnNumber, "286");

    // The entry dialog stores the corrected round: the last digit and the prizes were wrong.
    tw::history::NumData corrected = history.num3.record(7054);
    corrected.bytNum[3] = 7;
    corrected.lngStraight = 95000;
    ASSERT_TRUE(history.num3.store(7054, corrected));

    const auto after = tw::ledger::buildReport(tickets, history);
    ASSERT_EQ(after.rows.size(), 1u);
    EXPECT_EQ(after.rows[0].drawnNumber, "287");
    EXPECT_EQ(after.rows[0].won, 95000);
    const auto detail = after.detail(after.rows[0]);
    ASSERT_EQ(detail.size(), 2u);
    EXPECT_EQ(detail[0].settlement.hit, HitKind::None);
    EXPECT_EQ(detail[1].settlement.hit, HitKind::Straight);
}

// A small history in which every figure is easy to follow.
//   NUMBERS3 round 1 (2024/01/04) 123, round 2 (2024/01/05) 456, round 3 (2024/01/09) 789
//   NUMBERS4 round 1 (2024/01/04) 1234, round 2 (2024/01/05) 5678
tw::history::DrawHistory smallHistory() {
    tw::history::DrawHistory h;
    auto add = [](tw::history::DrawTable& table, const char* date, std::array<uint8_t, 4> d, int32_t prize) {
        tw::history::NumData rec;
        rec.dteDraw = *tw::common::parseDate(date);
        rec.bytNum = {0, d[0], d[1], d[2], d[3]};
        rec.lngStraight = prize;
        rec.lngBox = prize / 6;
        rec.lngSetStraight = prize / 2 + prize / 12;
        rec.lngSetBox = prize / 12;
        rec.lngMini = prize / 10;
        table.store(table.count + 1, rec);
    };
    add(h.num3, "2024/01/04", {1, 2, 3, 0}, 90000);
    add(h.num3, "2024/01/05", {4, 5, 6, 0}, 60000);
    add(h.num3, "2024/01/09", {7, 8, 9, 0}, 120000);
    add(h.num4, "2024/01/04", {1, 2, 3, 4}, 1200000);
    add(h.num4, "2024/01/05", {5, 6, 7, 8}, 600000);
    return h;
}

std::vector<Ticket> smallTickets() {
    return {
        ticketOf(1, Game::Numbers3, 1, BetType::Straight, "123"), // 90,000
        ticketOf(2, Game::Numbers3, 1, BetType::Box, "321"),      // 15,000
        ticketOf(3, Game::Numbers3, 1, BetType::Mini, "*23"),     // 9,000
        ticketOf(4, Game::Numbers3, 2, BetType::Straight, "111"),
        ticketOf(5, Game::Numbers4, 1, BetType::Set, "4321"), // Set-Box 100,000
        ticketOf(6, Game::Numbers4, 2, BetType::Straight, "0000"),
        ticketOf(7, Game::Numbers3, 5, BetType::Straight, "123"), // not drawn yet
        ticketOf(8, Game::Numbers4, 3, BetType::Box, "1243"),     // not drawn yet
    };
}

TEST(LedgerReport, RowsByDrawDateWithRunningBalanceThenTheRoundsNotDrawnYet) {
    auto tickets = smallTickets();
    std::reverse(tickets.begin(), tickets.end()); // the report does not rely on the order given
    const auto report = tw::ledger::buildReport(tickets, smallHistory());

    struct Expected {
        Game game;
        int round;
        bool settled;
        int tickets;
        int hits;
        int64_t cost, won, balance, running;
    };
    const Expected expected[] = {
        {Game::Numbers3, 1, true, 3, 3, 600, 114000, 113400, 113400},
        {Game::Numbers4, 1, true, 1, 1, 200, 100000, 99800, 213200},
        {Game::Numbers3, 2, true, 1, 0, 200, 0, -200, 213000},
        {Game::Numbers4, 2, true, 1, 0, 200, 0, -200, 212800},
        {Game::Numbers4, 3, false, 1, 0, 200, 0, 0, 212800},
        {Game::Numbers3, 5, false, 1, 0, 200, 0, 0, 212800},
    };
    ASSERT_EQ(report.rows.size(), std::size(expected));
    for (std::size_t i = 0; i < report.rows.size(); ++i) {
        const auto& row = report.rows[i];
        const auto& e = expected[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_EQ(row.game, e.game);
        EXPECT_EQ(row.round, e.round);
        EXPECT_EQ(row.settled, e.settled);
        EXPECT_EQ(row.drawDate.has_value(), e.settled);
        EXPECT_EQ(row.tickets, e.tickets);
        EXPECT_EQ(row.hits, e.hits);
        EXPECT_EQ(row.cost, e.cost);
        EXPECT_EQ(row.won, e.won);
        EXPECT_EQ(row.balance, e.balance);
        EXPECT_EQ(row.runningBalance, e.running);
        for (const auto& t : report.detail(row)) {
            EXPECT_EQ(t.ticket.game, row.game);
            EXPECT_EQ(t.ticket.round, row.round);
        }
    }
    const auto first = report.detail(report.rows[0]);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].ticket.id, 1);
    EXPECT_EQ(first[0].settlement.hit, HitKind::Straight);
    EXPECT_EQ(first[1].settlement.hit, HitKind::Box);
    EXPECT_EQ(first[2].settlement.hit, HitKind::Mini);
    EXPECT_EQ(first[2].settlement.won, 9000);
    EXPECT_EQ(report.rows[1].drawnNumber, "1234");
    EXPECT_EQ(report.findRow(Game::Numbers4, 1), &report.rows[1]);
    EXPECT_EQ(report.findRow(Game::Numbers4, 9), nullptr);

    const auto& t = report.totals;
    EXPECT_EQ(t.rounds, 6);
    EXPECT_EQ(t.settledRounds, 4);
    EXPECT_EQ(t.tickets, 8);
    EXPECT_EQ(t.cost, 1600);
    EXPECT_EQ(t.settledTickets, 6);
    EXPECT_EQ(t.settledCost, 1200);
    EXPECT_EQ(t.won, 214000);
    EXPECT_EQ(t.balance, 212800);
    EXPECT_EQ(t.hits, 4);
    EXPECT_EQ(t.unsettledTickets, 2);
    EXPECT_EQ(t.unsettledCost, 400);
}

TEST(LedgerReport, FiltersByGameAndDateRangeAndTheRunningBalanceFollowsTheShownRows) {
    const double jan4 = *tw::common::parseDate("2024/01/04");
    const double jan5 = *tw::common::parseDate("2024/01/05");
    struct Case {
        const char* name;
        tw::ledger::ReportFilter filter;
        std::vector<std::string> rows; // "game/round running"
    };
    const Case cases[] = {
        {"NUMBERS4 only", {Game::Numbers4, {}, {}}, {"4/1 99800", "4/2 99600", "4/3 99600"}},
        {"from 01/05", {{}, jan5, {}}, {"3/2 -200", "4/2 -400", "4/3 -400", "3/5 -400"}},
        {"up to 01/04", {{}, {}, jan4}, {"3/1 113400", "4/1 213200"}},
        {"NUMBERS3 on 01/05", {Game::Numbers3, jan5, jan5}, {"3/2 -200"}},
        {"a range without draws", {{}, jan5 + 1, jan5 + 3}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto report = tw::ledger::buildReport(smallTickets(), smallHistory(), c.filter);
        std::vector<std::string> rows;
        int64_t tickets = 0;
        for (const auto& row : report.rows) {
            rows.push_back(std::to_string(tw::common::gameCode(row.game)) + "/" + std::to_string(row.round) + " " +
                           std::to_string(row.runningBalance));
            tickets += row.tickets;
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(report.tickets.size(), static_cast<std::size_t>(tickets));
        EXPECT_EQ(report.totals.tickets, tickets);
    }
}

TEST(LedgerReport, CsvOfTheRows) {
    const auto report = tw::ledger::buildReport(smallTickets(), smallHistory());
    EXPECT_EQ(tw::ledger::formatRowsCsv(report), "round,date,game,tickets,cost,won,balance,running_balance,status\r\n"
                                                 "1,2024/01/04,NUMBERS3,3,600,114000,113400,113400,settled\r\n"
                                                 "1,2024/01/04,NUMBERS4,1,200,100000,99800,213200,settled\r\n"
                                                 "2,2024/01/05,NUMBERS3,1,200,0,-200,213000,settled\r\n"
                                                 "2,2024/01/05,NUMBERS4,1,200,0,-200,212800,settled\r\n"
                                                 "3,,NUMBERS4,1,200,,,,unsettled\r\n"
                                                 "5,,NUMBERS3,1,200,,,,unsettled\r\n");

    tw::testing::TempFolder dir;
    const std::string path = (dir.path() / "ledger.csv").string();
    dir.write("ledger.csv", "older export\r\n");
    ASSERT_FALSE(tw::ledger::exportRowsCsv(path, report));
    EXPECT_EQ(dir.read("ledger.csv"), tw::ledger::formatRowsCsv(report));

    const auto failed = tw::ledger::exportRowsCsv((dir.path() / "no-such-folder" / "x.csv").string(), report);
    EXPECT_EQ(failed.kind, tw::ledger::LedgerErrorKind::ExportFailed);
    EXPECT_NE(tw::ledger::describe(failed).find("x.csv"), std::string::npos);
}

} // namespace
