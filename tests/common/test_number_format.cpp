#include "common/number_format.h"

#include <gtest/gtest.h>

namespace {

using tw::common::formatNumber;

struct IntCase {
    int64_t value;
    std::string_view pattern;
    std::string expected;
};

TEST(NumberFormat, IntegerPatterns) {
    const IntCase cases[] = {
        {1200, tw::common::kYen7, "\\1,200"},
        {0, tw::common::kYen7, "\\0"},
        {1234567, tw::common::kYen7, "\\1,234,567"},
        {-1200, tw::common::kYen7, "-\\1,200"},
        {99900, tw::common::kYen6, "\\99,900"},
        {12345678, tw::common::kYen6, "\\12,345,678"}, // more digits than placeholders: all shown
        {3000, tw::common::kYen8, "\\3,000"},
        {7, "##0", "7"},
        {0, "##0", "0"},
        {0, "#0", "0"},
        {0, "#,###", ""},
        {1234, "#,###", "1,234"},
        {0, "#,##0", "0"},
        {7, "000", "007"},
        {12, "00", "12"},
        {2545, "####0", "2545"},
        {2545, "#####0", "2545"},
        {130140, "########0", "130140"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value, c.pattern), c.expected) << c.pattern << " " << c.value;
}

TEST(NumberFormat, DecimalPatterns) {
    EXPECT_EQ(formatNumber(12.345, "##0.000"), "12.345");
    EXPECT_EQ(formatNumber(6.6666666, "###0.000"), "6.667");
    EXPECT_EQ(formatNumber(0.0, "###0.000"), "0.000");
    EXPECT_EQ(formatNumber(0.1, "##0.000"), "0.100");
    EXPECT_EQ(formatNumber(123.0, "##0.000"), "123.000");
}

TEST(NumberFormat, PriceRefusesOverflow) {
    int32_t amount = 0;
    EXPECT_TRUE(tw::common::priceOf(15, amount));
    EXPECT_EQ(amount, 3000);
    EXPECT_FALSE(tw::common::priceOf(20'000'000, amount));
}

} // namespace

namespace {

// The screen variant changes the yen mark and nothing else; the file variant keeps its byte.
TEST(NumberFormat, DisplayVariantShowsTheYenSign) {
    const IntCase cases[] = {
        {1200, tw::common::kYen7,
         "\xC2\xA5"
         "1,200"},
        {0, tw::common::kYen7,
         "\xC2\xA5"
         "0"},
        {-3400, tw::common::kYen6,
         "-\xC2\xA5"
         "3,400"},
        {12345678, tw::common::kYen8,
         "\xC2\xA5"
         "12,345,678"},
        {2545, "####0", "2545"},
        {0, "#,###", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tw::common::formatNumberForDisplay(c.value, c.pattern), c.expected) << c.pattern << " " << c.value;
        EXPECT_EQ(tw::common::displayYen(formatNumber(c.value, c.pattern)), c.expected) << c.pattern;
    }
    EXPECT_EQ(formatNumber(int64_t{3400}, tw::common::kYen7), "\\3,400");
}

} // namespace
