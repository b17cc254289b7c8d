#include "reports/draw_statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tw::reports {

// ---------------------------------------------------------------- the gamma function

namespace {

constexpr double kEpsilon = 1e-15;
constexpr double kTiny = 1e-300; // keeps the continued fraction away from a zero division
constexpr int kMaxIterations = 100000;

// e^-x x^a / Gamma(a), the factor both expansions share, taken through logarithms
// so that large a or x do not overflow on the way.
double prefactor(double a, double x) {
    return std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// P(a, x) by its power series, which converges fast for x < a + 1.
double lowerBySeries(double a, double x) {
    double term = 1.0 / a;
    double sum = term;
    double denominator = a;
    for (int n = 1; n < kMaxIterations; ++n) {
        denominator += 1.0;
        term *= x / denominator;
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * kEpsilon)
            break;
    }
    return sum * prefactor(a, x);
}

// Q(a, x) by its continued fraction (modified Lentz), which converges fast for x >= a + 1.
double upperByContinuedFraction(double a, double x) {
    double b = x + 1.0 - a;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < kMaxIterations; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < kTiny)
            d = kTiny;
        c = b + an / c;
        if (std::fabs(c) < kTiny)
            c = kTiny;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < kEpsilon)
            break;
    }
    return prefactor(a, x) * h;
}

} // namespace

double regularizedUpperGamma(double a, double x) {
    if (!(a > 0.0) || !(x >= 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0.0)
        return 1.0;
    if (std::isinf(x))
        return 0.0;
    if (x < a + 1.0)
        return std::clamp(1.0 - lowerBySeries(a, x), 0.0, 1.0);
    return std::clamp(upperByContinuedFraction(a, x), 0.0, 1.0);
}

double chiSquarePValue(double chiSquare, int degreesOfFreedom) {
    if (degreesOfFreedom < 1 || std::isnan(chiSquare))
        return std::numeric_limits<double>::quiet_NaN();
    if (chiSquare <= 0.0)
        return 1.0;
    return regularizedUpperGamma(degreesOfFreedom / 2.0, chiSquare / 2.0);
}

// ---------------------------------------------------------------- digit sums

std::vector<int> digitSumWays(common::Game game) {
    std::vector<int> ways = {1};
    for (int place = 0; place < common::digitCount(game); ++place) {
        std::vector<int> next(ways.size() + 9, 0);
        for (std::size_t s = 0; s < ways.size(); ++s)
            for (std::size_t d = 0; d <= 9; ++d)
                next[s + d] += ways[s];
        ways = std::move(next);
    }
    return ways;
}

// ---------------------------------------------------------------- errors

std::string StatisticsError::describe() const {
    const std::string range = "rounds " + std::to_string(from) + ".." + std::to_string(to);
    switch (kind) {
    case StatisticsErrorKind::None:
        return "no error";
    case StatisticsErrorKind::InvalidGame:
        return "the game must be 3 or 4";
    case StatisticsErrorKind::EmptyHistory:
        return "the history holds no drawn round";
    case StatisticsErrorKind::RangeOutsideHistory:
        return range + " lie outside the history (drawn rounds 1.." + std::to_string(lastRound) + ")";
    case StatisticsErrorKind::EmptyRange:
        return range + " hold no round (the first round is after the last)";
    case StatisticsErrorKind::InvalidDigit:
        return "round " + std::to_string(round) + " holds a digit that is not 0..9";
    }
    return "unknown error";
}

// ---------------------------------------------------------------- the figures

namespace {

StatisticsError checkRange(const history::DrawTable& table, const StatisticsOptions& options, int to) {
    StatisticsError e;
    e.from = options.from;
    e.to = to;
    e.lastRound = table.count;
    if (options.game != common::Game::Numbers3 && options.game != common::Game::Numbers4)
        e.kind = StatisticsErrorKind::InvalidGame;
    else if (table.count < 1)
        e.kind = StatisticsErrorKind::EmptyHistory;
    else if (options.from < 1 || to < 1 || options.from > table.count || to > table.count)
        e.kind = StatisticsErrorKind::RangeOutsideHistory;
    else if (options.from > to)
        e.kind = StatisticsErrorKind::EmptyRange;
    return e;
}

} // namespace

StatisticsOutcome computeDrawStatistics(const history::DrawTable& table, const StatisticsOptions& options) {
    StatisticsOutcome outcome;
    const int to = options.to.value_or(table.count);
    outcome.error = checkRange(table, options, to);
    if (outcome.error)
        return outcome;

    const common::Game game = options.game;
    const int places = common::digitCount(game);
    const int from = options.from;
    const int n = to - from + 1;

    DrawStatistics& s = outcome.statistics;
    s.game = game;
    s.from = from;
    s.to = to;
    s.positions.assign(static_cast<std::size_t>(places), {});
    s.sums.ways = digitSumWays(game);
    s.sums.count.assign(s.sums.ways.size(), 0);
    s.sums.waysTotal = 0;
    for (int w : s.sums.ways)
        s.sums.waysTotal += w;

    // last[p][d]: the last round so far with d at position p; the round before the
    // range stands for "not yet in the range", which makes the gap arithmetic uniform.
    std::vector<std::array<int, 10>> last(static_cast<std::size_t>(places));
    for (auto& row : last)
        row.fill(from - 1);

    for (int round = from; round <= to; ++round) {
        const history::NumData& record = table.record(round);
        int sum = 0;
        for (int p = 0; p < places; ++p) {
            const int digit = record.bytNum[static_cast<std::size_t>(p) + 1];
            if (digit > 9) {
                outcome.error.kind = StatisticsErrorKind::InvalidDigit;
                outcome.error.round = round;
                outcome.statistics = {};
                return outcome;
            }
            const auto d = static_cast<std::size_t>(digit);
            DigitPositionStatistics& pos = s.positions[static_cast<std::size_t>(p)];
            int& lastRound = last[static_cast<std::size_t>(p)][d];
            ++pos.count[d];
            pos.longestGap[d] = std::max(pos.longestGap[d], round - lastRound - 1);
            lastRound = round;
            sum += digit;
        }
        ++s.sums.count[static_cast<std::size_t>(sum)];
    }

    for (int p = 0; p < places; ++p) {
        DigitPositionStatistics& pos = s.positions[static_cast<std::size_t>(p)];
        pos.expected = n / 10.0;
        int64_t numerator = 0;
        for (std::size_t d = 0; d < 10; ++d) {
            const int lastRound = last[static_cast<std::size_t>(p)][d];
            pos.lastDrawn[d] = lastRound >= from ? lastRound : 0;
            pos.currentGap[d] = to - lastRound;
            pos.longestGap[d] = std::max(pos.longestGap[d], pos.currentGap[d]);
            const int64_t deviation = 10 * int64_t{pos.count[d]} - n;
            numerator += deviation * deviation;
        }
        pos.chiSquare = static_cast<double>(numerator) / (10.0 * n);
        pos.pValue = chiSquarePValue(pos.chiSquare, kDigitDegreesOfFreedom);
    }

    s.sums.expected.resize(s.sums.ways.size());
    for (std::size_t k = 0; k < s.sums.ways.size(); ++k)
        s.sums.expected[k] = static_cast<double>(n) * s.sums.ways[k] / s.sums.waysTotal;
    return outcome;
}

} // namespace tw::reports
