#include "backtest/backtest.h"

#include "backtest/portfolio_draws.h"

#include "common/number_format.h"
#include "common/rounding.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace tw::backtest {

// ---------------------------------------------------------------- generator

uint64_t splitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

RandomStream::RandomStream(uint64_t seed) {
    uint64_t state = seed;
    for (uint64_t& word : m_s)
        word = splitMix64(state);
}

RandomStream RandomStream::fromState(uint64_t s0, uint64_t s1, uint64_t s2, uint64_t s3) {
    RandomStream stream;
    stream.m_s[0] = s0;
    stream.m_s[1] = s1;
    stream.m_s[2] = s2;
    stream.m_s[3] = s3;
    return stream;
}

// ---------------------------------------------------------------- names

const char* listName(ProposalList list) {
    switch (list) {
    case ProposalList::Group1:
        return "group 1";
    case ProposalList::Group2:
        return "group 2";
    case ProposalList::Group3:
        return "group 3";
    case ProposalList::Mini:
        return "Mini";
    }
    return "?";
}

const char* listKey(ProposalList list) {
    switch (list) {
    case ProposalList::Group1:
        return "group1";
    case ProposalList::Group2:
        return "group2";
    case ProposalList::Group3:
        return "group3";
    case ProposalList::Mini:
        return "mini";
    }
    return "?";
}

const char* verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::NoTickets:
        return "no tickets";
    case Verdict::Below:
        return "below";
    case Verdict::Within:
        return "within";
    case Verdict::Above:
        return "above";
    }
    return "?";
}

const char* verdictKey(Verdict verdict) {
    return verdict == Verdict::NoTickets ? "none" : verdictName(verdict);
}

// ---------------------------------------------------------------- one round

namespace {

std::array<int, 4> placesOf(const engine::PredNum& n) {
    return {n.intNum1, n.intNum2, n.intNum3, n.intNum4};
}

// Distinct arrangements of the drawn digits: n! over the factorials of the multiplicities.
int arrangementsOfDraw(const history::NumData& draw, common::Game game) {
    const int n = common::digitCount(game);
    std::array<int, 10> multiplicity{};
    for (int i = 1; i <= n; ++i)
        ++multiplicity[draw.bytNum[static_cast<std::size_t>(i)] % 10];
    int arrangements = n == 4 ? 24 : 6;
    for (int m : multiplicity)
        for (int f = 2; f <= m; ++f)
            arrangements /= f;
    return arrangements;
}

bool drawAllEqual(const history::NumData& draw, common::Game game) {
    for (int i = 2; i <= common::digitCount(game); ++i)
        if (draw.bytNum[static_cast<std::size_t>(i)] != draw.bytNum[1])
            return false;
    return true;
}

} // namespace

bool allDigitsEqual(const engine::PredNum& number, common::Game game) {
    const auto d = placesOf(number);
    for (int i = 1; i < common::digitCount(game); ++i)
        if (d[static_cast<std::size_t>(i)] != d[0])
            return false;
    return true;
}

bool buyableAs(const engine::PredNum& number, common::Game game, BetType bet) {
    return !((bet == BetType::Box || bet == BetType::Set) && allDigitsEqual(number, game));
}

RandomClasses randomClasses(const history::NumData& draw, common::Game game, BetType bet) {
    RandomClasses c;
    const int numbers = game == common::Game::Numbers4 ? 10000 : 1000;
    switch (bet) {
    case BetType::Straight:
        c.population = numbers;
        c.straightClass = 1;
        c.boxClass = arrangementsOfDraw(draw, game) - 1;
        c.straightPrize = draw.lngStraight;
        c.boxPrize = 0;
        break;
    case BetType::Box:
    case BetType::Set:
        // Only the ten all-equal numbers are refused, and an all-equal draw has no
        // other arrangement, so such a draw leaves both classes empty.
        c.population = numbers - 10;
        c.straightClass = drawAllEqual(draw, game) ? 0 : 1;
        c.boxClass = c.straightClass ? arrangementsOfDraw(draw, game) - 1 : 0;
        c.straightPrize = bet == BetType::Box ? draw.lngBox : draw.lngSetStraight;
        c.boxPrize = bet == BetType::Box ? draw.lngBox : draw.lngSetBox;
        break;
    case BetType::Mini:
        c.population = 100;
        c.straightClass = 1;
        c.boxClass = 0;
        c.straightPrize = draw.lngMini;
        c.boxPrize = 0;
        break;
    }
    return c;
}

RoundFigures roundFigures(const engine::CountedList<engine::PredNum>& list, const history::NumData& draw,
                          common::Game game, BetType bet) {
    RoundFigures f;
    for (int k = 0; k < list.count; ++k) {
        const engine::PredNum& entry = list[k];
        if (!buyableAs(entry, game, bet))
            continue;
        ++f.tickets;
        if (bet == BetType::Mini) {
            f.straightHits += engine::IsMiniHit(draw, entry) ? 1 : 0;
        } else if (engine::IsStraightHit(draw, entry, game)) {
            ++f.straightHits;
        } else if (engine::IsBoxHit(draw, entry, game)) {
            ++f.boxHits;
        }
    }
    const RandomClasses c = randomClasses(draw, game, bet);
    f.payout = int64_t{f.straightHits} * c.straightPrize + int64_t{f.boxHits} * c.boxPrize;
    const double share = static_cast<double>(f.tickets) / c.population;
    f.expectedStraightHits = share * c.straightClass;
    f.expectedBoxHits = share * c.boxClass;
    f.expectedPayout =
        share * (static_cast<double>(c.straightClass) * c.straightPrize + static_cast<double>(c.boxClass) * c.boxPrize);
    return f;
}

// ---------------------------------------------------------------- band and verdict

namespace {

// The nearest ranks (1-based) of the 2.5th and 97.5th percentile among n >= 1 values.
std::pair<std::size_t, std::size_t> bandRanks(std::size_t n) {
    const std::size_t lowRank = std::max<std::size_t>(1, (25 * n + 999) / 1000);   // ceil(0.025 n)
    const std::size_t highRank = std::max<std::size_t>(1, (975 * n + 999) / 1000); // ceil(0.975 n)
    return {lowRank, highRank};
}

} // namespace

Band band95(std::vector<int64_t> totals) {
    if (totals.empty())
        return {};
    std::sort(totals.begin(), totals.end());
    const auto [lowRank, highRank] = bandRanks(totals.size());
    return {totals[lowRank - 1], totals[highRank - 1]};
}

Band band95Of(const std::vector<int64_t>& totals, std::vector<int64_t>& scratch) {
    if (totals.empty())
        return {};
    scratch.assign(totals.begin(), totals.end());
    const auto [lowRank, highRank] = bandRanks(scratch.size());
    // The value of a rank is the same however equal values are ordered, so two
    // selections give exactly what sorting gives.
    const auto high = scratch.begin() + static_cast<std::ptrdiff_t>(highRank - 1);
    std::nth_element(scratch.begin(), high, scratch.end());
    const auto low = scratch.begin() + static_cast<std::ptrdiff_t>(lowRank - 1);
    if (low != high)
        std::nth_element(scratch.begin(), low, high);
    return {*low, *high};
}

std::vector<int> seriesCheckpoints(int from, int to, int maxPoints) {
    std::vector<int> rounds;
    if (maxPoints < 1 || from > to)
        return rounds;
    const int64_t count = int64_t{to} - from + 1;
    const int64_t points = std::min<int64_t>(count, maxPoints);
    rounds.reserve(static_cast<std::size_t>(points));
    for (int64_t k = 1; k <= points; ++k)
        rounds.push_back(static_cast<int>(from - 1 + (k * count + points - 1) / points));
    return rounds;
}

Verdict verdictOf(int64_t tickets, int64_t payout, const Band& band) {
    if (tickets <= 0)
        return Verdict::NoTickets;
    if (payout < band.low)
        return Verdict::Below;
    if (payout > band.high)
        return Verdict::Above;
    return Verdict::Within;
}

// ---------------------------------------------------------------- errors

std::string BacktestError::describe() const {
    const std::string range = "rounds " + std::to_string(from) + ".." + std::to_string(to);
    switch (kind) {
    case BacktestErrorKind::None:
        return "no error";
    case BacktestErrorKind::InvalidGame:
        return "the game must be 3 or 4";
    case BacktestErrorKind::RangeBelowSecond:
        return range + " reach below round 2; a prediction needs at least one earlier round";
    case BacktestErrorKind::RangeOutsideHistory:
        if (lastRound < 2)
            return "the history holds " + std::to_string(lastRound) + " drawn rounds; a back-test needs at least 2";
        return range + " lie outside the history (drawn rounds 1.." + std::to_string(lastRound) + ")";
    case BacktestErrorKind::EmptyRange:
        return range + " hold no round (the first round is after the last)";
    case BacktestErrorKind::InvalidPortfolios:
        return "the number of portfolios must be 1.." + std::to_string(kMaxPortfolios);
    case BacktestErrorKind::PredictionFailed:
        return "the prediction of round " + std::to_string(round) + " failed (" +
               (engineError == engine::EngineError::None ? "no proposal" : engine::errorText(engineError)) + ")";
    case BacktestErrorKind::InvalidSeriesPoints:
        return "the number of series points must be 0.." + std::to_string(kMaxSeriesPoints);
    case BacktestErrorKind::Cancelled:
        return "the back-test was cancelled before round " + std::to_string(round);
    }
    return "unknown error";
}

// ---------------------------------------------------------------- the run

namespace {

// The lines of one proposal list whose random tickets are drawn together: the
// Straight line alone (its tickets come from every number), Box and Set together
// (the same eligible numbers and the same ticket count, so one draw of the class
// counts serves both), the Mini line alone.
struct SimGroup {
    ProposalList list;
    std::vector<BetType> bets;
};

std::vector<SimGroup> simGroupsOf(common::Game game) {
    const ProposalList third = game == common::Game::Numbers4 ? ProposalList::Group3 : ProposalList::Mini;
    std::vector<SimGroup> groups;
    for (ProposalList list : {ProposalList::Group1, ProposalList::Group2, third}) {
        if (list == ProposalList::Mini) {
            groups.push_back({list, {BetType::Mini}});
        } else {
            groups.push_back({list, {BetType::Straight}});
            groups.push_back({list, {BetType::Box, BetType::Set}});
        }
    }
    return groups;
}

const engine::CountedList<engine::PredNum>& listOf(const engine::Proposal& p, ProposalList list) {
    switch (list) {
    case ProposalList::Group1:
        return p.grp1;
    case ProposalList::Group2:
        return p.grp2;
    case ProposalList::Group3:
        return p.grp3;
    case ProposalList::Mini:
        return p.mini;
    }
    return p.grp1;
}

BacktestError checkOptions(const history::DrawTable& table, const BacktestOptions& options, int to) {
    BacktestError e;
    e.from = options.from;
    e.to = to;
    e.lastRound = table.count;
    if (!common::isGame(options.game))
        e.kind = BacktestErrorKind::InvalidGame;
    else if (options.portfolios < 1 || options.portfolios > kMaxPortfolios)
        e.kind = BacktestErrorKind::InvalidPortfolios;
    else if (options.seriesPoints < 0 || options.seriesPoints > kMaxSeriesPoints)
        e.kind = BacktestErrorKind::InvalidSeriesPoints;
    else if (table.count >= 2 && (options.from < 2 || to < 2))
        e.kind = BacktestErrorKind::RangeBelowSecond;
    else if (table.count < 2 || options.from > table.count || to > table.count)
        e.kind = BacktestErrorKind::RangeOutsideHistory;
    else if (options.from > to)
        e.kind = BacktestErrorKind::EmptyRange;
    return e;
}

// Adds to every line the point of `round` from its running figures and the
// running totals of its simulated portfolios; all of them less the cost so far.
void appendSeriesPoint(std::vector<BacktestLine>& lines, const std::vector<std::vector<int64_t>>& totals, int round,
                       std::vector<int64_t>& scratch) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        BacktestLine& line = lines[i];
        const int64_t cost = line.tickets * kTicketPrice;
        const Band band = band95Of(totals[i], scratch);
        line.series.push_back({round, line.payout - cost, line.expectedPayout - static_cast<double>(cost),
                               band.low - cost, band.high - cost});
    }
}

} // namespace

BacktestOutcome runBacktest(const history::DrawTable& table, const BacktestOptions& options,
                            const BacktestPredictor& predictor) {
    return runBacktest(table, options, BacktestControl{}, predictor);
}

BacktestOutcome runBacktest(const history::DrawTable& table, const BacktestOptions& options,
                            const BacktestControl& control, const BacktestPredictor& predictor) {
    BacktestOutcome outcome;
    const int to = options.to.value_or(table.count);
    outcome.error = checkOptions(table, options, to);
    if (outcome.error)
        return outcome;

    const common::Game game = options.game;
    const BacktestPredictor predict = predictor ? predictor : engine::fastPredictor(table, game);
    BacktestResult& result = outcome.result;
    result.game = game;
    result.from = options.from;
    result.to = to;
    result.seed = options.seed;
    result.portfolios = options.portfolios;

    const std::vector<SimGroup> groups = simGroupsOf(game);
    std::vector<std::vector<std::size_t>> lineIndex(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (BetType bet : groups[g].bets) {
            lineIndex[g].push_back(result.lines.size());
            BacktestLine line;
            line.list = groups[g].list;
            line.bet = bet;
            result.lines.push_back(line);
        }
    // Lines are listed per proposal list: Straight, Box, Set (the groups above keep that order).
    const std::size_t portfolios = static_cast<std::size_t>(options.portfolios);
    std::vector<std::vector<int64_t>> totals(result.lines.size(), std::vector<int64_t>(portfolios, 0));

    PortfolioStreams streams(options.seed, portfolios);
    ClassHits hits;

    const std::vector<int> checkpoints = seriesCheckpoints(options.from, to, options.seriesPoints);
    for (BacktestLine& line : result.lines)
        line.series.reserve(checkpoints.size());
    std::size_t nextCheckpoint = 0;
    std::vector<int64_t> scratch;
    const int roundTotal = result.roundCount();

    for (int round = options.from; round <= to; ++round) {
        if (control.cancel && control.cancel->load()) {
            outcome.error.kind = BacktestErrorKind::Cancelled;
            outcome.error.round = round;
            result.lines.clear();
            return outcome;
        }
        const BacktestPrediction prediction = predict(round - 1);
        if (!prediction.proposal) {
            outcome.error.kind = BacktestErrorKind::PredictionFailed;
            outcome.error.round = round;
            outcome.error.engineError = prediction.error;
            return outcome;
        }
        const history::NumData& draw = table.record(round);

        for (std::size_t g = 0; g < groups.size(); ++g) {
            const SimGroup& group = groups[g];
            const engine::CountedList<engine::PredNum>& list = listOf(*prediction.proposal, group.list);
            int tickets = 0;
            for (std::size_t b = 0; b < group.bets.size(); ++b) {
                const RoundFigures f = roundFigures(list, draw, game, group.bets[b]);
                BacktestLine& line = result.lines[lineIndex[g][b]];
                tickets = f.tickets;
                line.rounds += f.tickets > 0 ? 1 : 0;
                line.tickets += f.tickets;
                line.straightHits += f.straightHits;
                line.boxHits += f.boxHits;
                line.payout += f.payout;
                line.expectedPayout += f.expectedPayout;
                line.expectedStraightHits += f.expectedStraightHits;
                line.expectedBoxHits += f.expectedBoxHits;
            }
            if (tickets == 0)
                continue;

            // The lines of a group share population and classes; only the prizes differ.
            const RandomClasses c = randomClasses(draw, game, group.bets.front());
            std::array<int32_t, 2> straightPrize{}, boxPrize{};
            std::array<int64_t*, 2> lineTotals{};
            const std::size_t lineCount = group.bets.size();
            for (std::size_t b = 0; b < lineCount; ++b) {
                const RandomClasses cb = randomClasses(draw, game, group.bets[b]);
                straightPrize[b] = cb.straightPrize;
                boxPrize[b] = cb.boxPrize;
                lineTotals[b] = totals[lineIndex[g][b]].data();
            }
            // Box-class hits pay nothing on a Straight line, so they need not be drawn.
            const int boxClass = boxPrize[0] == 0 && (lineCount == 1 || boxPrize[1] == 0) ? 0 : c.boxClass;
            streams.draw({static_cast<uint32_t>(c.population), static_cast<uint32_t>(tickets),
                          static_cast<uint32_t>(c.straightClass), static_cast<uint32_t>(boxClass)},
                         hits);
            for (std::size_t p = 0; p < portfolios; ++p) {
                const uint32_t straightHit = hits.straight[p];
                const uint32_t boxHits = hits.box[p];
                if (straightHit == 0 && boxHits == 0)
                    continue;
                for (std::size_t b = 0; b < lineCount; ++b)
                    lineTotals[b][p] += int64_t{straightPrize[b]} * straightHit + int64_t{boxPrize[b]} * boxHits;
            }
        }

        if (nextCheckpoint < checkpoints.size() && checkpoints[nextCheckpoint] == round) {
            appendSeriesPoint(result.lines, totals, round, scratch);
            ++nextCheckpoint;
        }
        if (control.progress)
            control.progress(round - options.from + 1, roundTotal);
    }

    for (std::size_t i = 0; i < result.lines.size(); ++i) {
        BacktestLine& line = result.lines[i];
        line.cost = line.tickets * kTicketPrice;
        line.band = band95(std::move(totals[i]));
        line.verdict = verdictOf(line.tickets, line.payout, line.band);
    }
    return outcome;
}

// ---------------------------------------------------------------- text

namespace {

std::string grouped(int64_t value) {
    return common::formatNumber(value, "#,##0");
}

std::string fixed(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

std::string percent(const BacktestLine& line, double amount) {
    return line.cost > 0 ? fixed(line.percentOfCost(amount), 1) + "%" : "-";
}

// Left-aligned first columns, right-aligned figures.
std::string row(const std::vector<std::string>& cells, const std::vector<int>& widths) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int w = widths[i];
        const auto pad = static_cast<std::size_t>(
            std::max<int>(0, w < 0 ? -w - static_cast<int>(cells[i].size()) : w - static_cast<int>(cells[i].size())));
        if (i > 0)
            out += "  ";
        if (w < 0)
            out += cells[i] + std::string(pad, ' ');
        else
            out += std::string(pad, ' ') + cells[i];
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out + "\n";
}

} // namespace

std::string formatBacktestText(const BacktestResult& r) {
    std::string out;
    out += "Back-test of the proposal, NUMBERS" + std::to_string(common::gameCode(r.game)) + ", rounds " +
           std::to_string(r.from) + ".." + std::to_string(r.to) + " (" + grouped(r.roundCount()) + " rounds)\n";
    out += "Each round is predicted from the rounds before it; money in yen, 200 yen a ticket.\n\n";

    out += "Proposal\n";
    const std::vector<int> w1 = {-7, -8, 6, 9, 11, 11, 7, 8, 6};
    out += row({"list", "bet", "rounds", "tickets", "cost", "payout", "return", "straight", "box"}, w1);
    for (const BacktestLine& l : r.lines) {
        const bool mini = l.bet == BetType::Mini;
        out += row({listName(l.list), common::betName(l.bet), grouped(l.rounds), grouped(l.tickets), grouped(l.cost),
                    grouped(l.payout), percent(l, static_cast<double>(l.payout)), grouped(l.straightHits),
                    mini ? "-" : grouped(l.boxHits)},
                   w1);
    }

    out += "\nRandom tickets: the same number of distinct tickets in every round\n";
    const std::vector<int> w2 = {-7, -8, 11, 7, 8, 7, 11, 11, 16, -10};
    out +=
        row({"list", "bet", "expected", "return", "straight", "box", "band low", "band high", "band return", "verdict"},
            w2);
    for (const BacktestLine& l : r.lines) {
        const bool mini = l.bet == BetType::Mini;
        const std::string bandReturn =
            l.cost > 0 ? fixed(l.bandLowPercent(), 1) + ".." + fixed(l.bandHighPercent(), 1) + "%" : "-";
        out += row({listName(l.list), common::betName(l.bet), grouped(common::roundHalfEven(l.expectedPayout)),
                    percent(l, l.expectedPayout), fixed(l.expectedStraightHits, 2),
                    mini ? "-" : fixed(l.expectedBoxHits, 2), grouped(l.band.low), grouped(l.band.high), bandReturn,
                    verdictName(l.verdict)},
                   w2);
    }

    out += "\nLegend\n";
    out += "  rounds     rounds in which the line bought at least one ticket\n";
    out += "  tickets    entries of the list bought as that bet type; cost = tickets x 200 yen\n";
    out += "  payout     won at the round's real prizes: Straight = straight x Straight prize;\n";
    out += "             Box = (straight + box) x Box prize; Set = straight x Set-Straight prize\n";
    out += "             + box x Set-Box prize; Mini = Mini hits x Mini prize\n";
    out += "  return     payout in percent of cost\n";
    out += "  straight   tickets with the drawn digits in the drawn order (Mini line: Mini hits,\n";
    out += "             the 2nd and 3rd drawn digits)\n";
    out += "  box        tickets with the drawn digits in another order (paid by Box and Set only)\n";
    out += "  Box, Set   a number whose digits are all equal (such as " +
           std::string(r.game == common::Game::Numbers4 ? "1111" : "111") + ") is not sold as Box or Set:\n";
    out += "             it is left out of those lines' tickets, cost and payout, and their random\n";
    out += "             tickets are drawn from the other numbers only\n";
    out += "  expected   exact expectation for the same number of distinct random tickets per round,\n";
    out += "             every number that can be bought weighed equally against the round's draw\n";
    out += "             and prizes (straight and box columns: expected hits)\n";
    out += "  band       2.5th and 97.5th percentile (nearest rank) of the total payout of " + grouped(r.portfolios) +
           "\n";
    out += "             simulated random portfolios, seed " + std::to_string(r.seed) + "\n";
    out += "  verdict    the proposal's payout below, within (ends included) or above the band\n";
    out += "             (each line is judged alone; among several lines, one outside its band\n";
    out += "             now and then is what chance alone gives)\n";
    return out;
}

} // namespace tw::backtest
