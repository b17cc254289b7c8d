// Statistics of the drawn digits over a range of rounds of one game: how often
// each digit came at each position against equal chances (with a chi-square
// test), how long each digit has stayed away, and how the digit sums are spread
// against the exact distribution of random draws. Figures only: the windows
// draw them and the command-line tool prints them. Owns no files and no windows;
// standard library only.
//
// Every figure is over the rounds from..to of the range (both ends included,
// n = to - from + 1 rounds) and looks at no round outside it.
//
// Per position (first drawn digit first), for each digit d = 0..9:
// - count[d]: rounds of the range whose digit at this position is d; the ten
//   counts add up to n.
// - expected: n / 10, the count of every digit under equal chances.
// - chiSquare: the sum over d of (count[d] - expected)^2 / expected, the
//   Pearson statistic of equal chances; computed from whole numbers as
//   sum (10 count[d] - n)^2 / (10 n), so hand counts give it exactly.
// - pValue: the chance that a chi-square variable with 9 degrees of freedom is at
//   least chiSquare (1 for chiSquare 0); small values speak against equal chances.
// - lastDrawn[d]: the last round of the range with d at this position, 0 when d
//   did not come there in the range.
// - currentGap[d]: rounds of the range after lastDrawn[d], that is to - lastDrawn[d]
//   (0 when d came in round `to`). A digit that did not come in the range gets n,
//   as if it had last come in the round before the range: "at least n".
// - longestGap[d]: the longest run of consecutive rounds of the range without d at
//   this position, the runs before its first and after its last appearance
//   included; so longestGap >= currentGap, and a digit that never came gets n.
//
// Digit sums (the sum of the drawn digits, 0..27 for NUMBERS3, 0..36 for NUMBERS4),
// indexed by the sum s:
// - count[s]: rounds of the range whose digits add up to s; they add up to n.
// - ways[s]: how many of the game's numbers (000..999, or 0000..9999) have digit
//   sum s, the convolution of uniform digits; they add up to waysTotal (1000 or
//   10000), so ways[s] / waysTotal is the chance of sum s in a random draw.
// - expected[s]: n * ways[s] / waysTotal, the count of sum s expected from n random draws.
#pragma once

#include "common/lottery.h"
#include "history/num_data.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tw::reports {

struct DigitPositionStatistics {
    std::array<int, 10> count{};
    double expected = 0;
    double chiSquare = 0;
    double pValue = 1;
    std::array<int, 10> lastDrawn{};
    std::array<int, 10> currentGap{};
    std::array<int, 10> longestGap{};
};

struct DigitSumStatistics {
    std::vector<int> count;       // index = digit sum, 0..maxSum
    std::vector<int> ways;        // the game's numbers with each digit sum
    std::vector<double> expected; // n * ways / waysTotal
    int waysTotal = 0;            // 1000 or 10000
    int maxSum() const { return static_cast<int>(count.size()) - 1; }
};

struct DrawStatistics {
    common::Game game = common::Game::Numbers3;
    int from = 0;
    int to = 0;
    std::vector<DigitPositionStatistics> positions; // first place first; 3 or 4 positions
    DigitSumStatistics sums;
    int roundCount() const { return to - from + 1; }
};

// Degrees of freedom of the equal-chances test over ten digits.
inline constexpr int kDigitDegreesOfFreedom = 9;

struct StatisticsOptions {
    common::Game game = common::Game::Numbers3;
    int from = 1;          // first round counted
    std::optional<int> to; // last round counted; none = the last drawn round
};

enum class StatisticsErrorKind {
    None,
    InvalidGame,         // not NUMBERS3 or NUMBERS4
    EmptyHistory,        // no drawn round at all
    RangeOutsideHistory, // from or to outside the drawn rounds 1..last
    EmptyRange,          // from > to
    InvalidDigit,        // a record of the range holds a digit above 9
};

struct StatisticsError {
    StatisticsErrorKind kind = StatisticsErrorKind::None;
    int from = 0; // range errors: the range asked for
    int to = 0;
    int lastRound = 0; // range errors: the last drawn round
    int round = 0;     // InvalidDigit: the round holding it
    explicit operator bool() const { return kind != StatisticsErrorKind::None; }
    std::string describe() const; // one English sentence
};

struct StatisticsOutcome {
    DrawStatistics statistics;
    StatisticsError error;
};

// Checks the range against the table, then counts. `table` holds the rounds of options.game.
StatisticsOutcome computeDrawStatistics(const history::DrawTable& table, const StatisticsOptions& options);

// How many of the game's numbers have each digit sum (index 0..9 x digits).
std::vector<int> digitSumWays(common::Game game);

// Q(a, x) = Gamma(a, x) / Gamma(a), the regularised upper incomplete gamma
// function, for a > 0 and x >= 0 (NaN otherwise). The power series of P = 1 - Q
// below x = a + 1, the continued fraction of Q above, so neither loses the
// relative accuracy of a small result.
double regularizedUpperGamma(double a, double x);

// P(X >= chiSquare) for a chi-square variable X with the given degrees of freedom
// (>= 1): Q(df / 2, chiSquare / 2). 1 for chiSquare <= 0.
double chiSquarePValue(double chiSquare, int degreesOfFreedom);

} // namespace tw::reports
