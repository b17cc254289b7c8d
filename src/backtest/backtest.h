// The back-test of the proposal against random tickets: every drawn round of a
// range is predicted from the rounds before it, each proposal list is bought as
// every bet type it can be bought as, and the money it would have won from the
// round's real prizes is set beside what the same number of distinct random
// tickets would have won.
//
// The random side has two parts. The exact expectation weighs every eligible
// number of the game equally against the round's draw and prizes. The 95 % band
// comes from simulated portfolios; per round only how many random tickets fall
// into each paying class matters (the drawn number itself, its other
// arrangements), so a portfolio draws those counts from the hypergeometric law
// instead of drawing ticket numbers. The generator is xoshiro256** seeded through
// splitmix64 and the draws use integer arithmetic only, so a seed gives the same
// figures on every machine.
//
// A number whose digits are all equal is not sold as Box or Set: it is left out
// of those bet types on both sides. Owns no files and no windows; standard
// library only (the JSON form lives in the command-line tool).
//
// A window runs the back-test on a worker thread: it hands in a control with a
// progress callback and a cancel flag (the only state the two threads share) and
// may ask for the running series of every line to draw its chart. Neither changes
// any figure of a seed.
#pragma once

#include "engine/engine.h"
#include "engine/fast_predictor.h"
#include "history/num_data.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tw::backtest {

// xoshiro256** (Blackman and Vigna), the state filled from splitmix64 so that any
// 64-bit seed, zero included, gives a usable state.
class RandomStream {
public:
    explicit RandomStream(uint64_t seed);
    // A stream from a given state (not all zero), for checking the generator
    // against published output.
    static RandomStream fromState(uint64_t s0, uint64_t s1, uint64_t s2, uint64_t s3);
    // The state word i (0 .. 3), for keeping many streams side by side.
    uint64_t stateWord(int i) const { return m_s[i]; }
    uint64_t next();
    // Uniform in 0 .. bound - 1 for bound >= 1 (Lemire's multiply-and-reject on
    // the high 32 bits of next(); exact, no floating point).
    uint32_t below(uint32_t bound);

private:
    RandomStream() = default;
    static constexpr uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t m_s[4] = {};
};

// Both are defined here so that the simulation's inner loops inline them.
inline uint64_t RandomStream::next() {
    const uint64_t result = rotl(m_s[1] * 5, 7) * 9;
    const uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = rotl(m_s[3], 45);
    return result;
}

inline uint32_t RandomStream::below(uint32_t bound) {
    // The high 32 bits are the generator's best; the rejection keeps every value
    // of 0 .. bound - 1 exactly equally likely.
    uint64_t m = (next() >> 32) * bound;
    auto low = static_cast<uint32_t>(m);
    if (low < bound) {
        const uint32_t threshold = (0u - bound) % bound;
        while (low < threshold) {
            m = (next() >> 32) * bound;
            low = static_cast<uint32_t>(m);
        }
    }
    return static_cast<uint32_t>(m >> 32);
}

// One step of splitmix64: advances `state` and returns the next output.
uint64_t splitMix64(uint64_t& state);

enum class ProposalList { Group1, Group2, Group3, Mini };
// A line's bet is one of the shared bet types, named by common::betName / betKey.
using common::BetType;
enum class Verdict { NoTickets, Below, Within, Above };

const char* listName(ProposalList list);  // "group 1" .. "group 3", "Mini"
const char* listKey(ProposalList list);   // "group1" .. "group3", "mini"
const char* verdictName(Verdict verdict); // "no tickets", "below", "within", "above"
const char* verdictKey(Verdict verdict);  // "none", "below", "within", "above"

// True when the number (3 or 4 places after the game) has all its digits equal.
bool allDigitsEqual(const engine::PredNum& number, common::Game game);
// Whether the number can be bought as this bet type (Box and Set refuse all-equal digits).
bool buyableAs(const engine::PredNum& number, common::Game game, BetType bet);

// The random side of one bet type in one round: how many numbers could be bought
// and which of them pay. A number pays in the "straight" class when it is the
// drawn number (the drawn Mini pair) and in the "box" class when it is another
// arrangement of the drawn digits; a class holds eligible numbers only.
struct RandomClasses {
    int population = 0;        // eligible numbers: 1000 / 10000, 990 / 9990 for Box and Set, 100 for Mini
    int straightClass = 0;     // 0 or 1
    int boxClass = 0;          // 0 .. 23
    int32_t straightPrize = 0; // what one ticket of the straight class wins with this bet
    int32_t boxPrize = 0;      // what one ticket of the box class wins (Straight: nothing)
};
RandomClasses randomClasses(const history::NumData& draw, common::Game game, BetType bet);

// The proposal's side and the exact random expectation of one bet type in one round.
struct RoundFigures {
    int tickets = 0;
    int straightHits = 0; // Mini: Mini hits
    int boxHits = 0;      // digits matched in another order (not straight); Mini: 0
    int64_t payout = 0;
    double expectedPayout = 0;
    double expectedStraightHits = 0;
    double expectedBoxHits = 0;
};
RoundFigures roundFigures(const engine::CountedList<engine::PredNum>& list, const history::NumData& draw,
                          common::Game game, BetType bet);

// The band of simulated totals: the 2.5th and 97.5th percentiles by nearest rank
// (of n totals sorted ascending, the values of rank ceil(0.025 n) and ceil(0.975 n)).
struct Band {
    int64_t low = 0;
    int64_t high = 0;
};
Band band95(std::vector<int64_t> totals);

// Below when the payout is less than the band's low end, above when more than its
// high end, within otherwise (both ends included); no verdict without tickets.
Verdict verdictOf(int64_t tickets, int64_t payout, const Band& band);

// The 2.5th and 97.5th percentile as band95 takes them, without sorting: `scratch`
// receives a copy of the totals and is reordered (reused between calls to spare
// allocations).
Band band95Of(const std::vector<int64_t>& totals, std::vector<int64_t>& scratch);

// One point of a line's running series: the money of the rounds from the range's
// first round up to and including `round`, each side less the cost of the
// proposal's tickets in those rounds (the random side buys as many tickets).
struct SeriesPoint {
    int round = 0;
    int64_t net = 0;        // the proposal's payout minus cost
    double expectedNet = 0; // the exact expected payout of random tickets minus cost
    int64_t bandLowNet = 0; // band95 of the simulated portfolios' payout so far, minus cost
    int64_t bandHighNet = 0;
};

// The rounds a running series is taken at: every round of from..to when they are
// at most maxPoints, otherwise maxPoints rounds evenly spread, the k-th (k = 1 ..
// maxPoints) being from - 1 + ceil(k x rounds / maxPoints), so the last is `to`.
// Empty for maxPoints < 1 or an empty range.
std::vector<int> seriesCheckpoints(int from, int to, int maxPoints);

// One line of the result: a proposal list bought as one bet type over the range.
struct BacktestLine {
    ProposalList list = ProposalList::Group1;
    BetType bet = BetType::Straight;
    int rounds = 0; // rounds in which the line bought at least one ticket
    int64_t tickets = 0;
    int64_t cost = 0; // tickets x 200 yen
    int64_t payout = 0;
    int64_t straightHits = 0; // Mini line: Mini hits
    int64_t boxHits = 0;
    double expectedPayout = 0;
    double expectedStraightHits = 0;
    double expectedBoxHits = 0;
    Band band; // of the simulated total payout
    Verdict verdict = Verdict::NoTickets;
    // At the rounds of seriesCheckpoints when the options ask for a series, else
    // empty. The last point is the line's totals: payout - cost, expectedPayout -
    // cost, band.low - cost and band.high - cost.
    std::vector<SeriesPoint> series;

    // Percent of the cost; 0 without tickets.
    double returnPercent() const { return percentOfCost(static_cast<double>(payout)); }
    double expectedReturnPercent() const { return percentOfCost(expectedPayout); }
    double bandLowPercent() const { return percentOfCost(static_cast<double>(band.low)); }
    double bandHighPercent() const { return percentOfCost(static_cast<double>(band.high)); }
    double percentOfCost(double amount) const { return cost > 0 ? amount * 100.0 / static_cast<double>(cost) : 0.0; }
};

inline constexpr uint64_t kDefaultSeed = 1;
inline constexpr int kDefaultPortfolios = 1000;
inline constexpr int kMaxPortfolios = 100000;
inline constexpr int kTicketPrice = 200;
// Points of a running series that a chart is comfortable with, and the most asked for.
inline constexpr int kDefaultSeriesPoints = 500;
inline constexpr int kMaxSeriesPoints = 10000;

struct BacktestOptions {
    common::Game game = common::Game::Numbers3;
    int from = 2;          // first round predicted (at least 2)
    std::optional<int> to; // last round predicted; none = the last drawn round
    uint64_t seed = kDefaultSeed;
    int portfolios = kDefaultPortfolios;
    // 0: no running series (no extra work); otherwise at most this many points
    // per line (1 .. kMaxSeriesPoints).
    int seriesPoints = 0;
};

struct BacktestResult {
    common::Game game = common::Game::Numbers3;
    int from = 0;
    int to = 0;
    uint64_t seed = 0;
    int portfolios = 0;
    std::vector<BacktestLine> lines; // group 1, group 2, then Mini or group 3; Straight, Box, Set per group
    int roundCount() const { return to - from + 1; }
};

enum class BacktestErrorKind {
    None,
    InvalidGame,         // neither game
    RangeBelowSecond,    // from or to < 2: round 1 has no earlier round to predict from
    RangeOutsideHistory, // from or to beyond the last drawn round (or fewer than 2 rounds drawn)
    EmptyRange,          // from > to
    InvalidPortfolios,   // portfolios outside 1 .. kMaxPortfolios
    PredictionFailed,    // the engine refused a round
    InvalidSeriesPoints, // seriesPoints outside 0 .. kMaxSeriesPoints
    Cancelled,           // the caller's cancel flag stopped the run
};

struct BacktestError {
    BacktestErrorKind kind = BacktestErrorKind::None;
    int round = 0; // PredictionFailed: the round whose prediction failed; Cancelled: the first round not done
    int from = 0;  // range errors: the range asked for
    int to = 0;
    int lastRound = 0; // range errors: the last drawn round of the history
    engine::EngineError engineError = engine::EngineError::None;
    explicit operator bool() const { return kind != BacktestErrorKind::None; }
    std::string describe() const; // one English sentence
};

// The proposals come from the engine's predictor type (a test hands in its own).
using BacktestPrediction = engine::RoundPrediction;
using BacktestPredictor = engine::RoundPredictor;

struct BacktestOutcome {
    BacktestResult result; // no lines after a refused option or a cancel; a failed prediction leaves those so far
    BacktestError error;
    bool cancelled() const { return error.kind == BacktestErrorKind::Cancelled; }
};

// What a caller on another thread may watch and stop while a back-test runs. The
// run reads the table and the predictor's own state only, so a window that hands
// in a table nobody changes meanwhile shares nothing else with the worker.
struct BacktestControl {
    // Called on the running thread after every round with the rounds done and the
    // rounds of the range (done = total after the last round).
    std::function<void(int done, int total)> progress;
    // Read before every round; once true the run stops and reports Cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

// Checks the options against the history, then runs the back-test (the engine's
// fast predictor unless another predictor is given).
BacktestOutcome runBacktest(const history::DrawTable& table, const BacktestOptions& options,
                            const BacktestPredictor& predictor = {});
// The same under a control: progress after every round, a cancel between rounds.
BacktestOutcome runBacktest(const history::DrawTable& table, const BacktestOptions& options,
                            const BacktestControl& control, const BacktestPredictor& predictor = {});

// The readable table with its legend (ASCII, LF line ends).
std::string formatBacktestText(const BacktestResult& result);

} // namespace tw::backtest
