// The back-test on hand-made histories and proposals: the money of the
// proposal's side, the all-equal-digits rule, the exact expectation against a
// brute-force count over every number, the simulated band against the exact
// distribution, the band and verdict rules, range checks and repeatability.
#include "backtest_fixture.h"

#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <ostream>
#include <random>

namespace tw::backtest::test {
namespace {

constexpr ProposalList kG1 = ProposalList::Group1;
constexpr ProposalList kG2 = ProposalList::Group2;
constexpr ProposalList kG3 = ProposalList::Group3;
constexpr ProposalList kMiniList = ProposalList::Mini;

// ---------------------------------------------------------------- generator

TEST(BacktestGenerator, MatchesPublishedOutput) {
    // splitmix64 from seed 1234567, and xoshiro256** from the state {1, 2, 3, 4}.
    uint64_t state = 1234567;
    const uint64_t splitMix[] = {6457827717110365317ULL, 3203168211198807973ULL, 9817491932198370423ULL,
                                 4593380528125082431ULL, 16408922859458223821ULL};
    for (uint64_t expected : splitMix)
        EXPECT_EQ(splitMix64(state), expected);

    RandomStream x = RandomStream::fromState(1, 2, 3, 4);
    const uint64_t xoshiro[] = {11520ULL,
                                0ULL,
                                1509978240ULL,
                                1215971899390074240ULL,
                                1216172134540287360ULL,
                                607988272756665600ULL,
                                16172922978634559625ULL,
                                8476171486693032832ULL,
                                10595114339597558777ULL,
                                2904607092377533576ULL};
    for (uint64_t expected : xoshiro)
        EXPECT_EQ(x.next(), expected);
}

TEST(BacktestGenerator, BelowStaysInRangeAndReachesBothEnds) {
    RandomStream rng(99);
    for (uint32_t bound : {1u, 2u, 3u, 7u, 990u}) {
        uint32_t lowest = UINT32_MAX, highest = 0;
        for (int i = 0; i < 20000; ++i) {
            const uint32_t v = rng.below(bound);
            ASSERT_LT(v, bound);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        EXPECT_EQ(lowest, 0u) << bound;
        EXPECT_EQ(highest, bound - 1) << bound;
    }
}

// ---------------------------------------------------------------- one round, the proposal's side

struct FiguresCase {
    const char* name;
    int game;
    std::string drawn;
    std::vector<std::string> list;
    BetType bet;
    int tickets, straight, box;
    int64_t payout;
};

void PrintTo(const FiguresCase& c, std::ostream* os) {
    *os << c.name;
}

const Prizes kN3Prizes{90000, 15000, 52000, 7000, 9000};
const Prizes kN4Prizes{900000, 37000, 468000, 18000, 0};

class FiguresOfOneRound : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(FiguresOfOneRound, CountsTicketsHitsAndMoney) {
    const FiguresCase& c = GetParam();
    const Prizes& p = c.game == 4 ? kN4Prizes : kN3Prizes;
    const RoundFigures f = roundFigures(entries(c.list), draw(c.drawn, p), asGame(c.game), c.bet);
    EXPECT_EQ(f.tickets, c.tickets);
    EXPECT_EQ(f.straightHits, c.straight);
    EXPECT_EQ(f.boxHits, c.box);
    EXPECT_EQ(f.payout, c.payout);
}

INSTANTIATE_TEST_SUITE_P(
    Backtest, FiguresOfOneRound,
    ::testing::Values(
        // 111 is not sold as Box or Set; 122 leaves one 1 unmatched.
        FiguresCase{
            "n3_pair_straight", 3, "112", {"112", "121", "211", "122", "111"}, BetType::Straight, 5, 1, 2, 90000},
        FiguresCase{
            "n3_pair_box", 3, "112", {"112", "121", "211", "122", "111"}, BetType::Box, 4, 1, 2, int64_t{3} * 15000},
        FiguresCase{
            "n3_pair_set", 3, "112", {"112", "121", "211", "122", "111"}, BetType::Set, 4, 1, 2, 52000 + 2 * 7000},
        // An all-equal draw pays its Straight; as Box or Set the matching ticket cannot be bought.
        FiguresCase{"n3_triple_straight", 3, "111", {"111", "112", "222"}, BetType::Straight, 3, 1, 0, 90000},
        FiguresCase{"n3_triple_box", 3, "111", {"111", "112", "222"}, BetType::Box, 1, 0, 0, 0},
        FiguresCase{"n3_triple_set", 3, "111", {"111", "112", "222"}, BetType::Set, 1, 0, 0, 0},
        FiguresCase{"n4_triple_box",
                    4,
                    "1112",
                    {"1112", "1121", "1111", "2111", "1122"},
                    BetType::Box,
                    4,
                    1,
                    2,
                    int64_t{3} * 37000},
        FiguresCase{"n4_triple_set",
                    4,
                    "1112",
                    {"1112", "1121", "1111", "2111", "1122"},
                    BetType::Set,
                    4,
                    1,
                    2,
                    468000 + 2 * 18000},
        FiguresCase{"n4_quad_box_none_buyable", 4, "0000", {"0000", "9999"}, BetType::Box, 0, 0, 0, 0},
        FiguresCase{"n4_quad_straight", 4, "0000", {"0000", "9999"}, BetType::Straight, 2, 1, 0, 900000},
        // Mini: the 2nd and 3rd digit in order; the pair 00 is an ordinary Mini bet.
        FiguresCase{"n3_mini", 3, "307", {"07", "70", "00", "30"}, BetType::Mini, 4, 1, 0, 9000},
        FiguresCase{"n3_mini_double", 3, "200", {"07", "00"}, BetType::Mini, 2, 1, 0, 9000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Backtest, LinesLeaveAllEqualNumbersOutOfBoxAndSetCostAndRounds) {
    // Round 2 draws 112, round 3 draws 555. Group 2 holds only all-equal numbers.
    const auto t = table({draw("987", kN3Prizes), draw("112", kN3Prizes), draw("555", {60000, 0, 0, 0, 6000})});
    std::map<int, engine::Proposal> byRound;
    byRound[2] = proposal({{"112", "121", "111"}, {"222"}, {}, {"12", "55"}});
    byRound[3] = proposal({{"555", "556"}, {"555", "333"}, {}, {"55"}});
    BacktestOptions options;
    options.portfolios = 50;
    const BacktestOutcome out = runBacktest(t, options, fixedPredictor(byRound));
    ASSERT_FALSE(out.error) << out.error.describe();
    ASSERT_EQ(out.result.lines.size(), 7u);

    struct Row {
        ProposalList list;
        BetType bet;
        int rounds;
        int64_t tickets, payout, straight, box;
    };
    const Row rows[] = {
        {kG1, BetType::Straight, 2, 5, 90000 + 60000, 2, 1},
        {kG1, BetType::Box, 2, 3, int64_t{2} * 15000, 1, 1},
        {kG1, BetType::Set, 2, 3, 52000 + 7000, 1, 1},
        {kG2, BetType::Straight, 2, 3, 60000, 1, 0},
        {kG2, BetType::Box, 0, 0, 0, 0, 0},
        {kG2, BetType::Set, 0, 0, 0, 0, 0},
        {kMiniList, BetType::Mini, 2, 3, 9000 + 6000, 2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(listName(row.list)) + " " + betName(row.bet));
        const BacktestLine* l = findLine(out.result, row.list, row.bet);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->rounds, row.rounds);
        EXPECT_EQ(l->tickets, row.tickets);
        EXPECT_EQ(l->cost, row.tickets * 200);
        EXPECT_EQ(l->payout, row.payout);
        EXPECT_EQ(l->straightHits, row.straight);
        EXPECT_EQ(l->boxHits, row.box);
        if (row.tickets == 0) {
            EXPECT_EQ(l->verdict, Verdict::NoTickets);
            EXPECT_EQ(l->expectedPayout, 0.0);
        } else {
            EXPECT_NE(l->verdict, Verdict::NoTickets);
        }
    }
    // The legend says so.
    EXPECT_NE(formatBacktestText(out.result).find("is not sold as Box or Set"), std::string::npos);
}

// ---------------------------------------------------------------- exact expectation

bool digitsAllEqual(const std::string& n) {
    return std::all_of(n.begin(), n.end(), [&](char c) { return c == n[0]; });
}

std::string numberText(int value, int places) {
    std::string s(static_cast<std::size_t>(places), '0');
    for (int i = places - 1; i >= 0; --i, value /= 10)
        s[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    return s;
}

// What one ticket of `number` wins with this bet, by the engine's hit tests.
struct TicketOutcome {
    int64_t payout = 0;
    bool straight = false;
    bool box = false;
};
TicketOutcome ticketOutcome(const std::string& number, const history::NumData& d, int game, BetType bet) {
    const engine::PredNum e = entries({number}).items[0];
    TicketOutcome o;
    if (bet == BetType::Mini) {
        o.straight = engine::IsMiniHit(d, e);
        o.payout = o.straight ? d.lngMini : 0;
        return o;
    }
    o.straight = engine::IsStraightHit(d, e, asGame(game));
    o.box = !o.straight && engine::IsBoxHit(d, e, asGame(game));
    switch (bet) {
    case BetType::Straight:
        o.payout = o.straight ? d.lngStraight : 0;
        break;
    case BetType::Box:
        o.payout = (o.straight || o.box) ? d.lngBox : 0;
        break;
    case BetType::Set:
        o.payout = o.straight ? d.lngSetStraight : o.box ? d.lngSetBox : 0;
        break;
    case BetType::Mini:
        break;
    }
    return o;
}

// Every number that can be bought with this bet, each with its outcome.
std::vector<TicketOutcome> everyTicket(const history::NumData& d, int game, BetType bet) {
    const int places = bet == BetType::Mini ? 2 : common::digitCount(asGame(game));
    const int numbers = bet == BetType::Mini ? 100 : game == 4 ? 10000 : 1000;
    std::vector<TicketOutcome> all;
    for (int v = 0; v < numbers; ++v) {
        const std::string n = numberText(v, places);
        if ((bet == BetType::Box || bet == BetType::Set) && digitsAllEqual(n))
            continue;
        all.push_back(ticketOutcome(n, d, game, bet));
    }
    return all;
}

int buyable(const std::vector<std::string>& list, BetType bet) {
    return static_cast<int>(std::count_if(list.begin(), list.end(), [&](const std::string& n) {
        return !((bet == BetType::Box || bet == BetType::Set) && digitsAllEqual(n));
    }));
}

struct BruteExpectation {
    double payout = 0, straight = 0, box = 0;
};

BruteExpectation bruteForce(const history::NumData& d, int game, BetType bet, int tickets) {
    const std::vector<TicketOutcome> all = everyTicket(d, game, bet);
    BruteExpectation e;
    for (const TicketOutcome& o : all) {
        e.payout += static_cast<double>(o.payout);
        e.straight += o.straight ? 1 : 0;
        e.box += o.box ? 1 : 0;
    }
    const double share = static_cast<double>(tickets) / static_cast<double>(all.size());
    return {e.payout * share, e.straight * share, e.box * share};
}

struct ExpectationCase {
    const char* name;
    int game;
    std::vector<std::pair<std::string, Prizes>> draws; // rounds 2.. (round 1 is filler)
    Lists lists;
};

void PrintTo(const ExpectationCase& c, std::ostream* os) {
    *os << c.name;
}

class ExactExpectation : public ::testing::TestWithParam<ExpectationCase> {};

TEST_P(ExactExpectation, EqualsBruteForceOverEveryNumber) {
    const ExpectationCase& c = GetParam();
    std::vector<history::NumData> draws = {
        draw(std::string(static_cast<std::size_t>(common::digitCount(asGame(c.game))), '5'), {})};
    for (const auto& [digits, prizes] : c.draws)
        draws.push_back(draw(digits, prizes));
    const auto t = table(draws);
    BacktestOptions options;
    options.game = asGame(c.game);
    options.portfolios = 20;
    const BacktestOutcome out = runBacktest(t, options, samePredictor(proposal(c.lists)));
    ASSERT_FALSE(out.error) << out.error.describe();

    const std::vector<std::pair<ProposalList, const std::vector<std::string>*>> lists = {
        {kG1, &c.lists.grp1},
        {kG2, &c.lists.grp2},
        {c.game == 4 ? kG3 : kMiniList, c.game == 4 ? &c.lists.grp3 : &c.lists.mini}};
    int checked = 0;
    for (const auto& [list, numbers] : lists) {
        const std::vector<BetType> bets = list == kMiniList
                                              ? std::vector<BetType>{BetType::Mini}
                                              : std::vector<BetType>{BetType::Straight, BetType::Box, BetType::Set};
        for (BetType bet : bets) {
            SCOPED_TRACE(std::string(listName(list)) + " " + betName(bet));
            BruteExpectation sum;
            for (int round = 2; round <= t.count; ++round) {
                const BruteExpectation e = bruteForce(t.record(round), c.game, bet, buyable(*numbers, bet));
                sum.payout += e.payout;
                sum.straight += e.straight;
                sum.box += e.box;
            }
            const BacktestLine* l = findLine(out.result, list, bet);
            ASSERT_NE(l, nullptr);
            EXPECT_NEAR(l->expectedPayout, sum.payout, 1e-6 * std::max(1.0, sum.payout));
            EXPECT_NEAR(l->expectedStraightHits, sum.straight, 1e-9);
            EXPECT_NEAR(l->expectedBoxHits, sum.box, 1e-9);
            if (l->cost > 0) {
                EXPECT_NEAR(l->expectedReturnPercent(), sum.payout * 100.0 / static_cast<double>(l->cost), 1e-9);
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, c.game == 4 ? 9 : 7);
}

INSTANTIATE_TEST_SUITE_P(
    Backtest, ExactExpectation,
    ::testing::Values(
        // Every shape of draw: distinct digits, a pair, a triple, a pair at the Mini places.
        ExpectationCase{"numbers3",
                        3,
                        {{"123", {104000, 17300, 60600, 8600, 10400}},
                         {"112", {98300, 32700, 65500, 16300, 9800}},
                         {"777", {65500, 0, 0, 0, 6500}},
                         {"944", {120100, 40000, 80000, 20000, 12000}},
                         {"000", {101100, 0, 0, 0, 10100}}},
                        {{"123", "321", "111", "449", "000", "707"}, {"112", "999"}, {}, {"23", "12", "44", "00"}}},
        ExpectationCase{"numbers4",
                        4,
                        {{"1234", {1150000, 47900, 599000, 23900, 0}},
                         {"1123", {950000, 79100, 514500, 39500, 0}},
                         {"1122", {880000, 146600, 513300, 73300, 0}},
                         {"1112", {900000, 225000, 562500, 112500, 0}},
                         {"8888", {2128400, 0, 0, 0, 0}},
                         {"9870", {700000, 29100, 364500, 14500, 0}}},
                        {{"1234", "4321", "1111", "8888", "2211"}, {"1123", "3211"}, {"0000"}, {}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- simulated band

// Exact distribution of one round's payout: every ticket set of size k is equally
// likely; the paying numbers fall into two classes (the drawn number, the other
// arrangements) with their prizes (multivariate hypergeometric).
double logChoose(int n, int r) {
    return std::lgamma(n + 1.0) - std::lgamma(r + 1.0) - std::lgamma(n - r + 1.0);
}

std::vector<double> roundDistribution(const std::vector<TicketOutcome>& all, int k) {
    int64_t prizeA = 0, prizeB = 0;
    int a = 0, b = 0;
    for (const TicketOutcome& o : all) {
        if (o.payout == 0)
            continue;
        if (o.straight) {
            ++a;
            prizeA = o.payout;
        } else {
            ++b;
            prizeB = o.payout;
        }
    }
    const int n = static_cast<int>(all.size());
    std::vector<double> pmf(static_cast<std::size_t>(a * prizeA + b * prizeB + 1), 0.0);
    for (int s = 0; s <= a; ++s)
        for (int o = 0; o <= b; ++o) {
            if (s + o > k || k - s - o > n - a - b)
                continue;
            const double lp = logChoose(a, s) + logChoose(b, o) + logChoose(n - a - b, k - s - o) - logChoose(n, k);
            pmf[static_cast<std::size_t>(s * prizeA + o * prizeB)] += std::exp(lp);
        }
    return pmf;
}

std::vector<double> convolve(const std::vector<double>& x, const std::vector<double>& y) {
    std::vector<double> z(x.size() + y.size() - 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != 0.0)
            for (std::size_t j = 0; j < y.size(); ++j)
                z[i + j] += x[i] * y[j];
    return z;
}

struct ExactBand {
    int64_t low = 0, high = 0;
    double mean = 0, sd = 0;
};

ExactBand exactBand(const std::vector<double>& pmf) {
    ExactBand e;
    double cumulative = 0, second = 0;
    bool lowSet = false, highSet = false;
    for (std::size_t x = 0; x < pmf.size(); ++x) {
        cumulative += pmf[x];
        e.mean += static_cast<double>(x) * pmf[x];
        second += static_cast<double>(x) * static_cast<double>(x) * pmf[x];
        if (!lowSet && cumulative >= 0.025) {
            e.low = static_cast<int64_t>(x);
            lowSet = true;
        }
        if (!highSet && cumulative >= 0.975) {
            e.high = static_cast<int64_t>(x);
            highSet = true;
        }
    }
    e.sd = std::sqrt(second - e.mean * e.mean);
    return e;
}

// The first `count` numbers of `places` digits, leaving out all-equal ones except for Mini pairs.
std::vector<std::string> firstNumbers(int count, int places) {
    std::vector<std::string> out;
    for (int v = 0; static_cast<int>(out.size()) < count; ++v) {
        const std::string n = numberText(v, places);
        if (!digitsAllEqual(n) || places == 2)
            out.push_back(n);
    }
    return out;
}

struct BandCase {
    const char* name;
    int game;
    std::string drawn;
    int rounds;
    int groupTickets; // group 1
    int thirdTickets; // Mini pairs (Numbers3) or group 3 (Numbers4)
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.name;
}

class SimulatedBand : public ::testing::TestWithParam<BandCase> {};

TEST_P(SimulatedBand, MatchesExactDistributionOfTotals) {
    const BandCase& c = GetParam();
    const Prizes prizes{5, 1, 3, 1, 1};
    const int places = common::digitCount(asGame(c.game));
    std::vector<history::NumData> draws(static_cast<std::size_t>(c.rounds) + 1, draw(c.drawn, prizes));
    const auto t = table(draws);

    Lists lists;
    lists.grp1 = firstNumbers(c.groupTickets, places);
    if (c.game == 4)
        lists.grp3 = firstNumbers(c.thirdTickets, places);
    else
        lists.mini = firstNumbers(c.thirdTickets, 2);
    BacktestOptions options;
    options.game = asGame(c.game);
    options.portfolios = 4000;
    options.seed = 12345;
    const BacktestOutcome out = runBacktest(t, options, samePredictor(proposal(lists)));
    ASSERT_FALSE(out.error) << out.error.describe();

    int checked = 0;
    for (const BacktestLine& l : out.result.lines) {
        SCOPED_TRACE(std::string(listName(l.list)) + " " + betName(l.bet));
        const int k = l.list == kG1 ? c.groupTickets : l.list == kG2 ? 0 : c.thirdTickets;
        if (k == 0) {
            EXPECT_EQ(l.verdict, Verdict::NoTickets);
            EXPECT_EQ(l.band.low, 0);
            EXPECT_EQ(l.band.high, 0);
            continue;
        }
        const std::vector<double> one = roundDistribution(everyTicket(draws[1], c.game, l.bet), k);
        std::vector<double> total = {1.0};
        for (int r = 0; r < c.rounds; ++r)
            total = convolve(total, one);
        const ExactBand exact = exactBand(total);
        // The exact mean is the expectation the line reports.
        EXPECT_NEAR(l.expectedPayout, exact.mean, 1e-6 * exact.mean);
        // 4000 portfolios put a percentile within a few hundredths of a standard
        // deviation; a sampler that ignored drawing without replacement or missed a
        // class would be off by far more than a quarter.
        EXPECT_NEAR(static_cast<double>(l.band.low), static_cast<double>(exact.low), 0.25 * exact.sd);
        EXPECT_NEAR(static_cast<double>(l.band.high), static_cast<double>(exact.high), 0.25 * exact.sd);
        ++checked;
    }
    EXPECT_EQ(checked, c.game == 4 ? 6 : 4);
}

INSTANTIATE_TEST_SUITE_P(Backtest, SimulatedBand,
                         ::testing::Values(BandCase{"numbers3_half_bought", 3, "123", 400, 495, 50},
                                           BandCase{"numbers3_pair_drawn", 3, "121", 400, 700, 30},
                                           BandCase{"numbers4", 4, "1123", 150, 5000, 2000}),
                         [](const auto& info) { return std::string(info.param.name); });

// The simulation as one portfolio at a time, in the order a portfolio's own
// stream is read: every round, the groups of lines in table order (Straight
// alone, Box and Set on one draw, Mini alone), one test of the straight class,
// then the box class until the tickets run out. The band of every running point
// of the back-test must be the band of these totals, whatever the number of
// portfolios simulated beside each other.
struct ModelGroup {
    ProposalList list;
    std::vector<BetType> bets;
};

std::vector<ModelGroup> modelGroups(int game) {
    std::vector<ModelGroup> groups;
    for (ProposalList list : {kG1, kG2, game == 4 ? kG3 : kMiniList})
        if (list == kMiniList) {
            groups.push_back({list, {BetType::Mini}});
        } else {
            groups.push_back({list, {BetType::Straight}});
            groups.push_back({list, {BetType::Box, BetType::Set}});
        }
    return groups;
}

const engine::CountedList<engine::PredNum>& modelList(const engine::Proposal& p, ProposalList list) {
    return list == kG1 ? p.grp1 : list == kG2 ? p.grp2 : list == kG3 ? p.grp3 : p.mini;
}

// bands[round - from][line], lines in table order.
std::vector<std::vector<Band>> modelBands(const history::DrawTable& t, int game, const engine::Proposal& p,
                                          uint64_t seed, int portfolios) {
    const std::vector<ModelGroup> groups = modelGroups(game);
    std::size_t lineCount = 0;
    for (const ModelGroup& g : groups)
        lineCount += g.bets.size();
    const auto rounds = static_cast<std::size_t>(t.count - 1);
    // totals[round][line][portfolio]
    std::vector<std::vector<std::vector<int64_t>>> totals(
        rounds,
        std::vector<std::vector<int64_t>>(lineCount, std::vector<int64_t>(static_cast<std::size_t>(portfolios))));
    // Tickets of every group in every round (the same for every portfolio).
    std::vector<std::vector<int>> tickets(rounds);
    for (std::size_t r = 0; r < rounds; ++r)
        for (const ModelGroup& g : groups)
            tickets[r].push_back(
                roundFigures(modelList(p, g.list), t.record(static_cast<int>(r) + 2), asGame(game), g.bets.front())
                    .tickets);
    uint64_t state = seed;
    for (std::size_t pf = 0; pf < static_cast<std::size_t>(portfolios); ++pf) {
        RandomStream rng(splitMix64(state));
        std::vector<int64_t> sum(lineCount, 0);
        for (int round = 2; round <= t.count; ++round) {
            const history::NumData& d = t.record(round);
            std::size_t line = 0;
            for (std::size_t gi = 0; gi < groups.size(); ++gi) {
                const ModelGroup& g = groups[gi];
                const std::size_t first = line;
                line += g.bets.size();
                const int k = tickets[static_cast<std::size_t>(round - 2)][gi];
                if (k == 0)
                    continue;
                const RandomClasses c = randomClasses(d, asGame(game), g.bets.front());
                bool boxPays = false;
                for (BetType bet : g.bets)
                    boxPays = boxPays || randomClasses(d, asGame(game), bet).boxPrize != 0;
                auto left = static_cast<uint32_t>(k);
                int64_t straight = 0, box = 0;
                if (c.straightClass && rng.below(static_cast<uint32_t>(c.population)) < left) {
                    straight = 1;
                    --left;
                }
                const auto rest = static_cast<uint32_t>(c.population - c.straightClass);
                for (int i = 0; boxPays && i < c.boxClass && left > 0; ++i)
                    if (rng.below(rest - static_cast<uint32_t>(i)) < left) {
                        ++box;
                        --left;
                    }
                for (std::size_t b = 0; b < g.bets.size(); ++b) {
                    const RandomClasses cb = randomClasses(d, asGame(game), g.bets[b]);
                    sum[first + b] += straight * cb.straightPrize + box * cb.boxPrize;
                }
            }
            for (std::size_t l = 0; l < lineCount; ++l)
                totals[static_cast<std::size_t>(round - 2)][l][pf] = sum[l];
        }
    }
    std::vector<std::vector<Band>> bands(rounds);
    for (std::size_t r = 0; r < rounds; ++r)
        for (std::size_t l = 0; l < lineCount; ++l)
            bands[r].push_back(band95(totals[r][l]));
    return bands;
}

TEST(Backtest, EveryPortfolioDrawsFromItsOwnStreamInRoundAndLineOrder) {
    for (int game : {3, 4}) {
        const int places = common::digitCount(asGame(game));
        history::DrawTable t = randomHistory(game, 41, 77u + static_cast<uint32_t>(game));
        // Rounds whose Box and Set box prizes are zero draw no box class at all,
        // and an all-equal draw has no class for Box and Set.
        for (int round : {5, 6, 20}) {
            history::NumData d = t.record(round);
            d.lngBox = round == 20 ? d.lngBox : 0;
            d.lngSetBox = 0;
            t.store(round, d);
        }
        history::NumData same = t.record(9);
        for (int i = 1; i <= places; ++i)
            same.bytNum[static_cast<std::size_t>(i)] = 4;
        t.store(9, same);
        // A single ticket runs out after one hit; a list of most numbers hits often.
        Lists lists;
        lists.grp1 = {game == 4 ? "0123" : "012"};
        lists.grp2 = firstNumbers(game == 4 ? 9000 : 900, places);
        if (game == 4)
            lists.grp3 = firstNumbers(40, places);
        else
            lists.mini = firstNumbers(60, 2);
        lists.grp2.push_back(game == 4 ? "7777" : "777");
        const engine::Proposal p = proposal(lists);
        for (int portfolios : {1, 3, 4, 5, 9, 200}) {
            SCOPED_TRACE("game " + std::to_string(game) + ", " + std::to_string(portfolios) + " portfolios");
            BacktestOptions options;
            options.game = asGame(game);
            options.seed = 5150 + static_cast<uint64_t>(portfolios);
            options.portfolios = portfolios;
            options.seriesPoints = 40;
            const BacktestOutcome out = runBacktest(t, options, samePredictor(p));
            ASSERT_FALSE(out.error) << out.error.describe();
            const auto bands = modelBands(t, game, p, options.seed, portfolios);
            ASSERT_EQ(out.result.lines.size(), bands.front().size());
            for (std::size_t l = 0; l < out.result.lines.size(); ++l) {
                const BacktestLine& line = out.result.lines[l];
                SCOPED_TRACE(std::string(listName(line.list)) + " " + betName(line.bet));
                ASSERT_EQ(line.series.size(), bands.size());
                EXPECT_EQ(line.band.low, bands.back()[l].low);
                EXPECT_EQ(line.band.high, bands.back()[l].high);
                // Every running point: the band so far less the cost so far.
                int64_t cost = 0;
                for (std::size_t r = 0; r < bands.size(); ++r) {
                    const int round = static_cast<int>(r) + 2;
                    cost +=
                        int64_t{
                            roundFigures(modelList(p, line.list), t.record(round), asGame(game), line.bet).tickets} *
                        kTicketPrice;
                    ASSERT_EQ(line.series[r].bandLowNet, bands[r][l].low - cost) << "round " << round;
                    ASSERT_EQ(line.series[r].bandHighNet, bands[r][l].high - cost) << "round " << round;
                }
            }
        }
    }
}

TEST(Backtest, BuyingEveryNumberLeavesNoSpread) {
    // Every eligible number bought in every round: each portfolio wins exactly the
    // expectation, so the band closes on it and the proposal (the same tickets) is within.
    const auto t =
        table({draw("123", {}), draw("123", {1000, 170, 600, 85, 100}), draw("445", {900, 300, 600, 150, 90})});
    Lists lists;
    for (int v = 0; v < 1000; ++v)
        lists.grp1.push_back(numberText(v, 3));
    for (int v = 0; v < 100; ++v)
        lists.mini.push_back(numberText(v, 2));
    BacktestOptions options;
    options.portfolios = 100;
    const BacktestOutcome out = runBacktest(t, options, samePredictor(proposal(lists)));
    ASSERT_FALSE(out.error);
    for (const BacktestLine& l : out.result.lines) {
        if (l.tickets == 0)
            continue;
        SCOPED_TRACE(std::string(listName(l.list)) + " " + betName(l.bet));
        EXPECT_EQ(l.band.low, l.payout);
        EXPECT_EQ(l.band.high, l.payout);
        EXPECT_NEAR(l.expectedPayout, static_cast<double>(l.payout), 1e-6);
        EXPECT_EQ(l.verdict, Verdict::Within);
    }
    EXPECT_EQ(findLine(out.result, kG1, BetType::Box)->payout, 6 * 170 + 3 * 300);
}

// ---------------------------------------------------------------- band and verdict rules

TEST(Backtest, BandTakesNearestRankPercentiles) {
    struct Case {
        std::vector<int64_t> values;
        Band expected;
    };
    std::vector<int64_t> thousand(1000);
    std::iota(thousand.begin(), thousand.end(), 1);
    std::shuffle(thousand.begin(), thousand.end(), std::mt19937(5));
    std::vector<int64_t> forty(40), fortyOne(41);
    std::iota(forty.begin(), forty.end(), 1);
    std::iota(fortyOne.begin(), fortyOne.end(), 1);
    std::reverse(fortyOne.begin(), fortyOne.end());
    const Case cases[] = {
        {thousand, {25, 975}}, // ranks 25 and 975 of 1000
        {forty, {1, 39}},      // ceil(1.0) = 1, ceil(39.0) = 39
        {fortyOne, {2, 40}},   // ceil(1.025) = 2, ceil(39.975) = 40
        {{7}, {7, 7}},         {{}, {0, 0}},
    };
    for (const Case& c : cases) {
        const Band b = band95(c.values);
        EXPECT_EQ(b.low, c.expected.low) << c.values.size() << " values";
        EXPECT_EQ(b.high, c.expected.high) << c.values.size() << " values";
    }
}

TEST(Backtest, VerdictBoundaries) {
    struct Case {
        int64_t tickets, payout;
        Verdict expected;
    };
    const Band band{1000, 5000};
    const Case cases[] = {
        {10, 999, Verdict::Below},   {10, 1000, Verdict::Within}, {10, 3000, Verdict::Within},
        {10, 5000, Verdict::Within}, {10, 5001, Verdict::Above},  {0, 0, Verdict::NoTickets},
    };
    for (const Case& c : cases)
        EXPECT_EQ(verdictOf(c.tickets, c.payout, band), c.expected) << c.tickets << " tickets, payout " << c.payout;
    EXPECT_EQ(verdictOf(3, 0, Band{0, 0}), Verdict::Within);
}

TEST(Backtest, VerdictFollowsProposalAgainstBand) {
    // One hundred rounds of the same draw; a group holding the drawn number every
    // round wins far above random, a group never matching wins far below.
    std::vector<history::NumData> draws(101, draw("123", {1000, 170, 600, 85, 100}));
    const auto t = table(draws);
    Lists lists;
    lists.grp1 = {"123", "456"};
    lists.grp2 = firstNumbers(300, 3);
    lists.grp2.erase(std::remove_if(lists.grp2.begin(), lists.grp2.end(),
                                    [](const std::string& n) {
                                        std::string s = n;
                                        std::sort(s.begin(), s.end());
                                        return s == "123";
                                    }),
                     lists.grp2.end());
    BacktestOptions options;
    options.portfolios = 400;
    const BacktestOutcome out = runBacktest(t, options, samePredictor(proposal(lists)));
    ASSERT_FALSE(out.error);
    for (BetType bet : {BetType::Straight, BetType::Box, BetType::Set}) {
        EXPECT_EQ(findLine(out.result, kG1, bet)->verdict, Verdict::Above) << betName(bet);
        EXPECT_EQ(findLine(out.result, kG2, bet)->payout, 0) << betName(bet);
        EXPECT_EQ(findLine(out.result, kG2, bet)->verdict, Verdict::Below) << betName(bet);
    }
}

// ---------------------------------------------------------------- range and failures

TEST(Backtest, RefusesBadOptions) {
    struct Case {
        const char* name;
        int rounds; // drawn rounds in the history
        int game, from;
        std::optional<int> to;
        int portfolios;
        BacktestErrorKind expected;
    };
    const Case cases[] = {
        {"whole history", 5, 3, 2, std::nullopt, 10, BacktestErrorKind::None},
        {"last round only", 5, 4, 5, 5, 10, BacktestErrorKind::None},
        {"from round 1", 5, 3, 1, std::nullopt, 10, BacktestErrorKind::RangeBelowSecond},
        {"to round 1", 5, 3, 2, 1, 10, BacktestErrorKind::RangeBelowSecond},
        {"from beyond", 5, 3, 6, std::nullopt, 10, BacktestErrorKind::RangeOutsideHistory},
        {"to beyond", 5, 3, 2, 6, 10, BacktestErrorKind::RangeOutsideHistory},
        {"reversed", 5, 3, 4, 3, 10, BacktestErrorKind::EmptyRange},
        {"one round drawn", 1, 3, 2, std::nullopt, 10, BacktestErrorKind::RangeOutsideHistory},
        {"game 5", 5, 5, 2, std::nullopt, 10, BacktestErrorKind::InvalidGame},
        {"no portfolio", 5, 3, 2, std::nullopt, 0, BacktestErrorKind::InvalidPortfolios},
        {"too many portfolios", 5, 3, 2, std::nullopt, kMaxPortfolios + 1, BacktestErrorKind::InvalidPortfolios},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<history::NumData> draws(static_cast<std::size_t>(c.rounds), draw("1234", kN4Prizes));
        BacktestOptions options;
        options.game = asGame(c.game);
        options.from = c.from;
        options.to = c.to;
        options.portfolios = c.portfolios;
        const BacktestOutcome out = runBacktest(table(draws), options, samePredictor(proposal({{"1234"}, {}, {}, {}})));
        EXPECT_EQ(out.error.kind, c.expected) << out.error.describe();
        if (c.expected == BacktestErrorKind::None)
            EXPECT_EQ(out.result.lines.size(), c.game == 4 ? 9u : 7u);
        else
            EXPECT_TRUE(out.result.lines.empty());
    }
}

TEST(Backtest, StopsAtRefusedPrediction) {
    const auto t = table({draw("123", {}), draw("123", {}), draw("123", {}), draw("123", {})});
    std::map<int, engine::Proposal> byRound;
    byRound[2] = proposal({{"123"}, {}, {}, {}});
    byRound[3] = byRound[2];
    const BacktestOutcome out = runBacktest(t, {}, fixedPredictor(byRound));
    EXPECT_EQ(out.error.kind, BacktestErrorKind::PredictionFailed);
    EXPECT_EQ(out.error.round, 4);
    EXPECT_EQ(out.error.engineError, engine::EngineError::RoundOutOfRange);
    EXPECT_NE(out.error.describe().find("round 4"), std::string::npos);
}

// ---------------------------------------------------------------- repeatability

TEST(Backtest, SameSeedGivesSameBytes) {
    // Thirty rounds of assorted draws and prizes, fixed lists.
    std::vector<history::NumData> draws;
    uint32_t x = 2024;
    for (int r = 0; r < 30; ++r) {
        std::string digits;
        for (int i = 0; i < 3; ++i) {
            x = x * 1664525u + 1013904223u;
            digits.push_back(static_cast<char>('0' + (x >> 16) % 10));
        }
        const auto base = static_cast<int32_t>(60000 + (x >> 8) % 50000);
        draws.push_back(draw(digits, {base, base / 6, base / 2, base / 12, base / 10}));
    }
    const auto t = table(draws);
    const engine::Proposal p = proposal({firstNumbers(120, 3), {"012", "210", "333"}, {}, {"01", "10", "55"}});
    auto textFor = [&](uint64_t seed) {
        BacktestOptions options;
        options.seed = seed;
        options.portfolios = 300;
        const BacktestOutcome out = runBacktest(t, options, samePredictor(p));
        EXPECT_FALSE(out.error);
        return formatBacktestText(out.result);
    };
    const std::string first = textFor(7);
    EXPECT_EQ(textFor(7), first);
    EXPECT_NE(textFor(8), first); // the band moves with the seed
    EXPECT_NE(first.find("seed 7"), std::string::npos);
}

} // namespace
} // namespace tw::backtest::test
