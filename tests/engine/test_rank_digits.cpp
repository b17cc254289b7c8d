// The key sort and the ranking rule: the reference quicksort against plain
// ascending order, the ranking examples, and the fast ranking against the reference.
#include "engine/rank_digits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tw::engine {
namespace {

std::vector<SortKey> numberKeys(const std::vector<int64_t>& values) {
    return std::vector<SortKey>(values.begin(), values.end());
}

// Every array of length 1..7 over {0, 1, 2}: many equal keys, which the strict
// comparisons of the sort exchange.
TEST(QuickSortKeys, SortsEveryShortArrayOfRepeatedNumbers) {
    for (int len = 1; len <= 7; ++len) {
        int combos = 1;
        for (int i = 0; i < len; ++i)
            combos *= 3;
        for (int c = 0; c < combos; ++c) {
            std::vector<int64_t> values;
            for (int i = 0, x = c; i < len; ++i, x /= 3)
                values.push_back(x % 3);
            std::vector<SortKey> keys = numberKeys(values);
            QuickSortKeys(keys, 0, len - 1);
            std::sort(values.begin(), values.end());
            ASSERT_EQ(keys, numberKeys(values)) << "length " << len << " combination " << c;
        }
    }
}

TEST(QuickSortKeys, SortsTextsByCharacterCodesWithPrefixesFirst) {
    const std::vector<std::string> alphabet = {"", "a", "ab", "b", "B", "-1"};
    for (int c = 0; c < 6 * 6 * 6 * 6 * 6; ++c) {
        std::vector<std::string> texts;
        for (int i = 0, x = c; i < 5; ++i, x /= 6)
            texts.push_back(alphabet[static_cast<std::size_t>(x % 6)]);
        std::vector<SortKey> keys(texts.begin(), texts.end());
        QuickSortKeys(keys, 0, 4);
        std::sort(texts.begin(), texts.end());
        ASSERT_EQ(keys, std::vector<SortKey>(texts.begin(), texts.end())) << "combination " << c;
    }
    EXPECT_TRUE(SortKey("a") < SortKey("ab"));
    EXPECT_TRUE(SortKey("B") < SortKey("a"));
    EXPECT_TRUE(SortKey("-1") < SortKey("0000000"));
}

TEST(QuickSortKeys, SortsOnlyTheGivenSegment) {
    struct Case {
        std::vector<int64_t> in;
        int lo, hi;
        std::vector<int64_t> out;
    };
    const Case cases[] = {
        {{2, 1, 2, 1}, 0, 3, {1, 1, 2, 2}},
        {{5}, 0, 0, {5}},
        {{9, 8, 7, 6, 5, 4}, 2, 4, {9, 8, 5, 6, 7, 4}},
        {{3, 1, 2}, 1, 1, {3, 1, 2}},
        {{10, 9, 100, 2}, 0, 3, {2, 9, 10, 100}}, // numbers by value, not as text
    };
    for (const Case& c : cases) {
        std::vector<SortKey> keys = numberKeys(c.in);
        QuickSortKeys(keys, c.lo, c.hi);
        EXPECT_EQ(keys, numberKeys(c.out));
    }
}

TEST(DigitKey, IsSixDigitPointThenNineMinusDigit) {
    EXPECT_EQ(digitKey(45, 2), "0000457");
    EXPECT_EQ(digitKey(0, 9), "0000000");
    EXPECT_EQ(digitKey(0, 0), "0000009");
    EXPECT_EQ(digitKey(32767, 5), "0327674");
}

std::vector<std::pair<int, int>> pairs(const RankedDigits& r) {
    std::vector<std::pair<int, int>> out;
    for (const DigitPoint& dp : r)
        out.emplace_back(dp.intDigit, dp.intPoint);
    return out;
}

TEST(RankDigits, RanksByFallingPointThenRisingDigit) {
    struct Case {
        std::array<int16_t, 10> points;
        std::vector<std::pair<int, int>> ranking;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}},
        {{0, 0, 0, 5, 0, 0, 0, 5, 0, 0},
         {{3, 5}, {7, 5}, {0, 0}, {1, 0}, {2, 0}, {4, 0}, {5, 0}, {6, 0}, {8, 0}, {9, 0}}},
        {{4, 9, 4, 0, 9, 1, 1, 1, 0, 2},
         {{1, 9}, {4, 9}, {0, 4}, {2, 4}, {9, 2}, {5, 1}, {6, 1}, {7, 1}, {3, 0}, {8, 0}}},
        {{7, 7, 7, 7, 7, 7, 7, 7, 7, 32767},
         {{9, 32767}, {0, 7}, {1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}, {8, 7}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pairs(RankDigits(c.points)), c.ranking);
        EXPECT_EQ(pairs(rankDigitsFast(c.points)), c.ranking);
    }
}

TEST(RankDigits, FastRankingEqualsTheReference) {
    uint32_t x = 12345;
    auto next = [&x] {
        x = x * 1664525u + 1013904223u;
        return x >> 8;
    };
    // Small ranges give many ties; the wide range reaches the 16-bit limit.
    for (uint32_t range : {2u, 4u, 12u, 1000u, 32768u}) {
        for (int trial = 0; trial < 4000; ++trial) {
            std::array<int16_t, 10> points{};
            for (auto& p : points)
                p = static_cast<int16_t>(next() % range);
            ASSERT_EQ(RankDigits(points), rankDigitsFast(points)) << "range " << range << " trial " << trial;
        }
    }
}

} // namespace
} // namespace tw::engine
