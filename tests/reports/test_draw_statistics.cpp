// The statistics of the drawn digits: counts, chi-square and gaps against hand
// counts of small tables, the digit-sum distribution against a count over every
// number, the p-value against values computed independently (high-precision
// incomplete gamma and the closed form of the chi-square tail for 9 degrees of
// freedom), and the range checks.
#include "history/num_data.h"
#include "history/table_file.h"
#include "reports/draw_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace tw::reports {
namespace {

using common::Game;

// Round k + 1 draws digits[k].
history::DrawTable tableOf(const std::vector<std::string>& digits) {
    history::DrawTable t;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        history::NumData d;
        for (std::size_t i = 0; i < digits[k].size(); ++i)
            d.bytNum[i + 1] = static_cast<uint8_t>(digits[k][i] - '0');
        t.store(static_cast<int>(k) + 1, d);
    }
    return t;
}

// Twelve NUMBERS3 rounds. First digits 1 4 7 0 1 9 3 9 1 5 3 0, second digits
// 2 5 8 1 1 0 4 9 0 6 8 2, third digits 3 6 9 2 1 7 5 9 2 0 8 1.
const std::vector<std::string> kTwelve = {"123", "456", "789", "012", "111", "907",
                                          "345", "999", "102", "560", "388", "021"};

DrawStatistics statisticsOf(const history::DrawTable& t, Game game, int from = 1, std::optional<int> to = {}) {
    const StatisticsOutcome out = computeDrawStatistics(t, {game, from, to});
    EXPECT_FALSE(out.error) << out.error.describe();
    return out.statistics;
}

using Digits = std::array<int, 10>;

TEST(DrawStatistics, CountsAndChiSquarePerPositionByHand) {
    const DrawStatistics s = statisticsOf(tableOf(kTwelve), Game::Numbers3);
    EXPECT_EQ(s.from, 1);
    EXPECT_EQ(s.to, 12);
    EXPECT_EQ(s.roundCount(), 12);
    ASSERT_EQ(s.positions.size(), 3u);

    struct Expected {
        Digits count;
        double chiSquare; // sum (10 c - 12)^2 / 120
        double pValue;    // Q(4.5, chiSquare / 2), high-precision value
    };
    const Expected expected[] = {
        {{2, 3, 0, 2, 1, 1, 0, 1, 0, 2}, 960.0 / 120, 0.53414621690969131},
        {{2, 2, 2, 0, 1, 1, 1, 0, 2, 1}, 560.0 / 120, 0.86234438441100862},
        {{1, 2, 2, 1, 0, 1, 1, 1, 1, 2}, 360.0 / 120, 0.96429497268508913},
    };
    for (std::size_t p = 0; p < 3; ++p) {
        SCOPED_TRACE("position " + std::to_string(p + 1));
        const DigitPositionStatistics& pos = s.positions[p];
        EXPECT_EQ(pos.count, expected[p].count);
        EXPECT_DOUBLE_EQ(pos.expected, 1.2);
        EXPECT_DOUBLE_EQ(pos.chiSquare, expected[p].chiSquare);
        EXPECT_NEAR(pos.pValue, expected[p].pValue, 1e-12);
    }
}

TEST(DrawStatistics, GapsByHand) {
    struct Case {
        const char* name;
        int from, to, position;
        Digits lastDrawn, currentGap, longestGap;
    };
    const Case cases[] = {
        // First digits over all twelve rounds: 0 came in rounds 4 and 12 (longest run
        // 5..11), 1 in 1, 5, 9; 2, 6 and 8 never came; 3 in 7 and 11 (before it 1..6).
        {"first digit, rounds 1..12",
         1,
         12,
         0,
         {12, 9, 0, 11, 2, 10, 0, 3, 0, 8},
         {0, 3, 12, 1, 10, 2, 12, 9, 12, 4},
         {7, 3, 12, 6, 10, 9, 12, 9, 12, 5}},
        // Rounds 5..10 draw first digits 1 9 3 9 1 5: the 0 of round 4 lies before the
        // range and does not count, so 0 gets the range size.
        {"first digit, rounds 5..10",
         5,
         10,
         0,
         {0, 9, 0, 7, 0, 10, 0, 0, 0, 8},
         {6, 1, 6, 3, 6, 0, 6, 6, 6, 2},
         {6, 3, 6, 3, 6, 5, 6, 6, 6, 2}},
        // Third digits over all rounds: 4 never came; 9 in rounds 3 and 8.
        {"third digit, rounds 1..12",
         1,
         12,
         2,
         {10, 12, 9, 1, 0, 7, 2, 6, 11, 8},
         {2, 0, 3, 11, 12, 5, 10, 6, 1, 4},
         {9, 6, 4, 11, 12, 6, 10, 6, 10, 4}},
        // A range of one round: the drawn digit has gap 0, every other digit 1.
        {"second digit, round 7 only",
         7,
         7,
         1,
         {0, 0, 0, 0, 7, 0, 0, 0, 0, 0},
         {1, 1, 1, 1, 0, 1, 1, 1, 1, 1},
         {1, 1, 1, 1, 0, 1, 1, 1, 1, 1}},
    };
    const history::DrawTable t = tableOf(kTwelve);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DrawStatistics s = statisticsOf(t, Game::Numbers3, c.from, c.to);
        const DigitPositionStatistics& pos = s.positions[static_cast<std::size_t>(c.position)];
        EXPECT_EQ(pos.lastDrawn, c.lastDrawn);
        EXPECT_EQ(pos.currentGap, c.currentGap);
        EXPECT_EQ(pos.longestGap, c.longestGap);
    }
}

TEST(DrawStatistics, SubRangeCountsOnlyItsRounds) {
    // Rounds 5..10: first digits 1 9 3 9 1 5; chi-square (14^2 + 14^2 + 16 + 16 + 6 x 36) / 60.
    const DrawStatistics s = statisticsOf(tableOf(kTwelve), Game::Numbers3, 5, 10);
    EXPECT_EQ(s.roundCount(), 6);
    EXPECT_EQ(s.positions[0].count, (Digits{0, 2, 0, 1, 0, 1, 0, 0, 0, 2}));
    EXPECT_DOUBLE_EQ(s.positions[0].expected, 0.6);
    EXPECT_DOUBLE_EQ(s.positions[0].chiSquare, 640.0 / 60);
    EXPECT_NEAR(s.positions[0].pValue, 0.29925083045118159, 1e-12);
    // Sums of 111 907 345 999 102 560: 3 16 12 27 3 11.
    std::vector<int> sums(28, 0);
    sums[3] = 2;
    sums[11] = sums[12] = sums[16] = sums[27] = 1;
    EXPECT_EQ(s.sums.count, sums);
}

TEST(DrawStatistics, DigitSumsOfNumbers3ByHand) {
    const DrawStatistics s = statisticsOf(tableOf(kTwelve), Game::Numbers3);
    // 012 111 102 021 add up to 3; 123 to 6, 560 to 11, 345 to 12, 456 to 15,
    // 907 to 16, 388 to 19, 789 to 24, 999 to 27.
    std::vector<int> sums(28, 0);
    sums[3] = 4;
    sums[6] = sums[11] = sums[12] = sums[15] = sums[16] = sums[19] = sums[24] = sums[27] = 1;
    EXPECT_EQ(s.sums.count, sums);
    EXPECT_EQ(s.sums.maxSum(), 27);
    EXPECT_EQ(s.sums.waysTotal, 1000);
    ASSERT_EQ(s.sums.expected.size(), 28u);
    // Ten numbers add up to 3 (003 012 021 030 102 111 120 201 210 300), 75 to 13.
    EXPECT_DOUBLE_EQ(s.sums.expected[3], 12 * 10 / 1000.0);
    EXPECT_DOUBLE_EQ(s.sums.expected[13], 12 * 75 / 1000.0);
    EXPECT_DOUBLE_EQ(s.sums.expected[27], 12 / 1000.0);
    EXPECT_NEAR(std::accumulate(s.sums.expected.begin(), s.sums.expected.end(), 0.0), 12.0, 1e-12);
}

TEST(DrawStatistics, Numbers4HasFourPositionsAndSumsUpTo36) {
    // Fourth digits 0 9 4 1 0 5; sums 0 36 10 10 18 20.
    const DrawStatistics s = statisticsOf(tableOf({"0000", "9999", "1234", "4321", "0990", "5555"}), Game::Numbers4);
    ASSERT_EQ(s.positions.size(), 4u);
    const DigitPositionStatistics& fourth = s.positions[3];
    EXPECT_EQ(fourth.count, (Digits{2, 1, 0, 0, 1, 1, 0, 0, 0, 1}));
    EXPECT_DOUBLE_EQ(fourth.chiSquare, 440.0 / 60);
    EXPECT_EQ(fourth.currentGap, (Digits{1, 2, 6, 6, 3, 0, 6, 6, 6, 4}));
    EXPECT_EQ(fourth.longestGap, (Digits{3, 3, 6, 6, 3, 5, 6, 6, 6, 4}));
    EXPECT_EQ(s.positions[0].count, (Digits{2, 1, 0, 0, 1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(s.positions[1].count, (Digits{1, 0, 1, 1, 0, 1, 0, 0, 0, 2}));

    std::vector<int> sums(37, 0);
    sums[0] = sums[18] = sums[20] = sums[36] = 1;
    sums[10] = 2;
    EXPECT_EQ(s.sums.count, sums);
    EXPECT_EQ(s.sums.waysTotal, 10000);
    EXPECT_DOUBLE_EQ(s.sums.expected[18], 6 * 670 / 10000.0);
}

TEST(DrawStatistics, SumWaysEqualACountOverEveryNumber) {
    for (Game game : common::kGames) {
        SCOPED_TRACE(common::gameName(game));
        const int places = common::digitCount(game);
        const int numbers = places == 4 ? 10000 : 1000;
        std::vector<int> counted(static_cast<std::size_t>(9 * places + 1), 0);
        for (int v = 0; v < numbers; ++v) {
            int sum = 0;
            for (int rest = v; rest > 0; rest /= 10)
                sum += rest % 10;
            ++counted[static_cast<std::size_t>(sum)];
        }
        EXPECT_EQ(digitSumWays(game), counted);
    }
}

TEST(DrawStatistics, WholeBundledHistory) {
    for (Game game : common::kGames) {
        SCOPED_TRACE(common::gameName(game));
        const history::LoadResult loaded =
            history::loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + common::tableFileName(game));
        ASSERT_FALSE(loaded.error) << loaded.error.message();
        const DrawStatistics s = statisticsOf(loaded.table, game);
        const int n = loaded.table.count;
        EXPECT_EQ(s.from, 1);
        EXPECT_EQ(s.to, n);
        for (const DigitPositionStatistics& pos : s.positions) {
            EXPECT_EQ(std::accumulate(pos.count.begin(), pos.count.end(), 0), n);
            for (std::size_t d = 0; d < 10; ++d) {
                // The digit's last round holds it at this position; it has not come since.
                ASSERT_GT(pos.lastDrawn[d], 0);
                EXPECT_EQ(pos.currentGap[d], n - pos.lastDrawn[d]);
                EXPECT_GE(pos.longestGap[d], pos.currentGap[d]);
            }
            EXPECT_GE(pos.pValue, 0.0);
            EXPECT_LE(pos.pValue, 1.0);
        }
        for (std::size_t p = 0; p < s.positions.size(); ++p)
            for (std::size_t d = 0; d < 10; ++d)
                EXPECT_EQ(static_cast<std::size_t>(loaded.table.record(s.positions[p].lastDrawn[d]).bytNum[p + 1]), d);
        EXPECT_EQ(std::accumulate(s.sums.count.begin(), s.sums.count.end(), 0), n);
    }
}

TEST(DrawStatistics, RefusesRangesOutsideTheHistoryAndBadDigits) {
    struct Case {
        const char* name;
        int rounds, from;
        std::optional<int> to;
        StatisticsErrorKind expected;
    };
    const Case cases[] = {
        {"whole history", 5, 1, std::nullopt, StatisticsErrorKind::None},
        {"one round", 5, 5, 5, StatisticsErrorKind::None},
        {"empty history", 0, 1, std::nullopt, StatisticsErrorKind::EmptyHistory},
        {"from round 0", 5, 0, std::nullopt, StatisticsErrorKind::RangeOutsideHistory},
        {"to round 0", 5, 1, 0, StatisticsErrorKind::RangeOutsideHistory},
        {"from beyond", 5, 6, std::nullopt, StatisticsErrorKind::RangeOutsideHistory},
        {"to beyond", 5, 1, 6, StatisticsErrorKind::RangeOutsideHistory},
        {"reversed", 5, 4, 3, StatisticsErrorKind::EmptyRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const history::DrawTable t = tableOf(std::vector<std::string>(static_cast<std::size_t>(c.rounds), "123"));
        const StatisticsOutcome out = computeDrawStatistics(t, {Game::Numbers3, c.from, c.to});
        EXPECT_EQ(out.error.kind, c.expected) << out.error.describe();
        EXPECT_EQ(out.statistics.positions.empty(), c.expected != StatisticsErrorKind::None);
    }

    StatisticsOutcome out = computeDrawStatistics(tableOf({"123"}), {Game::Numbers3, 1, 3});
    EXPECT_EQ(out.error.describe(), "rounds 1..3 lie outside the history (drawn rounds 1..1)");

    history::DrawTable bad = tableOf({"123", "456", "789"});
    bad.records[2].bytNum[3] = 10;
    out = computeDrawStatistics(bad, {Game::Numbers3, 1, {}});
    EXPECT_EQ(out.error.kind, StatisticsErrorKind::InvalidDigit);
    EXPECT_EQ(out.error.round, 2);
    EXPECT_TRUE(out.statistics.positions.empty());
    // Only the game's places count: a stray fourth digit of a NUMBERS3 record is not read.
    bad.records[2].bytNum[3] = 6;
    bad.records[2].bytNum[4] = 10;
    EXPECT_FALSE(computeDrawStatistics(bad, {Game::Numbers3, 1, {}}).error);
    EXPECT_EQ(computeDrawStatistics(bad, {static_cast<Game>(5), 1, {}}).error.kind, StatisticsErrorKind::InvalidGame);
}

// ---------------------------------------------------------------- p-values

TEST(ChiSquarePValue, MatchesIndependentValues) {
    struct Case {
        int df;
        double chiSquare;
        double pValue; // from a 40-digit incomplete gamma; df 9 also by the erfc closed form
    };
    const Case cases[] = {
        // The usual table's critical values of 9 degrees of freedom.
        {9, 16.919, 0.049999640848349794},
        {9, 21.666, 0.0099999798834983211},
        {9, 27.877, 0.0010000633577572736},
        {9, 14.684, 0.099989744906708505},
        {9, 8.343, 0.49998354839918624},
        {9, 3.325, 0.95000545086450042},
        {9, 2.088, 0.98999825361078382},
        // Either side of the switch from the series to the continued fraction (x = a + 1 = 5.5).
        {9, 10.0, 0.35048521232336134},
        {9, 11.0, 0.27570893677222189},
        {9, 9.0, 0.43727418891386706},
        // Far tails.
        {9, 0.5, 0.99996956625883892},
        {9, 40.0, 7.598525229464276e-6},
        {9, 100.0, 1.5735176303753944e-17},
        {9, 200.0, 3.3129923939095531e-38},
        // Other degrees of freedom (digit sums have 27 and 36 free cells).
        {1, 3.841, 0.050013683763956699},
        {2, 5.991, 0.05001161502657909},
        {27, 40.113, 0.050002939455623441},
        {36, 50.998, 0.050004442399673243},
        {100, 124.342, 0.050000715769971768},
    };
    for (const Case& c : cases) {
        const double p = chiSquarePValue(c.chiSquare, c.df);
        EXPECT_NEAR(p, c.pValue, 1e-12 * c.pValue) << "df " << c.df << ", chi-square " << c.chiSquare;
    }
}

TEST(ChiSquarePValue, EdgesAndDomain) {
    EXPECT_EQ(chiSquarePValue(0.0, 9), 1.0);
    EXPECT_EQ(chiSquarePValue(-1.0, 9), 1.0);
    EXPECT_NEAR(chiSquarePValue(1e-6, 9), 1.0, 1e-15);
    EXPECT_EQ(chiSquarePValue(INFINITY, 9), 0.0);
    EXPECT_TRUE(std::isnan(chiSquarePValue(5.0, 0)));
    EXPECT_TRUE(std::isnan(chiSquarePValue(NAN, 9)));
    EXPECT_EQ(regularizedUpperGamma(2.0, 0.0), 1.0);
    EXPECT_TRUE(std::isnan(regularizedUpperGamma(0.0, 1.0)));
    EXPECT_TRUE(std::isnan(regularizedUpperGamma(1.0, -1.0)));
    // Q(1, x) = e^-x exactly; Q(a, x) falls as x grows.
    for (double x : {0.1, 1.0, 1.9, 2.1, 7.5, 30.0})
        EXPECT_NEAR(regularizedUpperGamma(1.0, x), std::exp(-x), 1e-14 * std::exp(-x)) << x;
    double previous = 1.0;
    for (double x = 0.25; x < 40; x += 0.25) {
        const double q = chiSquarePValue(x, 9);
        EXPECT_LT(q, previous) << x;
        previous = q;
    }
}

} // namespace
} // namespace tw::reports
