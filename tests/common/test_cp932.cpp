#include "common/cp932.h"

#include <gtest/gtest.h>

namespace {

using tw::common::fromCp932;
using tw::common::isValidUtf8;
using tw::common::toCp932;

TEST(Cp932, KnownCharacters) {
    struct Case {
        std::string utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {"\u3000", "\x81\x40"}, // ideographic space
        {"※", "\x81\xA6"},
        {"\\", "\x5C"},
        {"<td align=\"right\">1,200</td>", "<td align=\"right\">1,200</td>"},
        {"【ミニ】", "\x81\x79\x83\x7E\x83\x6A\x81\x7A"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const auto r = toCp932(c.utf8);
        EXPECT_TRUE(r.ok()) << c.utf8;
        EXPECT_EQ(r.bytes, c.bytes) << c.utf8;
    }
}

TEST(Cp932, ProblemsAreReportedAndReplaced) {
    struct Case {
        const char* what;
        std::string utf8;
        std::string bytes;
        std::vector<std::size_t> unmappable;
        std::vector<std::size_t> invalid;
    };
    const Case cases[] = {
        {"Hangul syllable", "A\uD55CB", "A?B", {1}, {}},
        {"emoji after a kanji", "\u5186\U0001F600", "\x89\x7E?", {3}, {}},
        {"stray byte",
         "A\xFF"
         "B",
         "A?B",
         {},
         {1}},
        {"encoded surrogate", "A\xED\xA0\x80", "A???", {}, {1, 2, 3}},
        {"sequence cut at the end", "A\xE3\x80", "A?", {}, {1}},
    };
    for (const auto& c : cases) {
        const auto r = toCp932(c.utf8);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_EQ(r.bytes, c.bytes) << c.what;
        EXPECT_EQ(r.unmappable, c.unmappable) << c.what;
        EXPECT_EQ(r.invalid, c.invalid) << c.what;
    }
}

// Decoding gives back what encoding wrote, and glibc's CP932 reads 0x5C as a
// backslash (where a Japanese font shows the yen sign).
TEST(Cp932, DecodesWhatItEncodes) {
    const std::string texts[] = {"第7054回,抽せん日,当せん番号", "セット（ストレート）", "\u3000※\\~", "ｱ①髙", ""};
    for (const std::string& text : texts) {
        const auto encoded = toCp932(text);
        ASSERT_TRUE(encoded.ok()) << text;
        const auto decoded = fromCp932(encoded.bytes);
        EXPECT_TRUE(decoded.ok()) << text;
        EXPECT_EQ(decoded.text, text);
    }
    EXPECT_EQ(fromCp932("\x5C"
                        "100")
                  .text,
              "\\100");
}

TEST(Cp932, DecodingStopsAtTheFirstBadSequence) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
        std::size_t at;
    };
    const Case cases[] = {
        {"lead byte at the end", "AB\x82", "AB", 2},
        {"lead byte with a bad trail",
         "A\x82\x20"
         "B",
         "A", 1},
        {"unassigned single byte",
         "12\xA0"
         "3",
         "12", 2},
    };
    for (const auto& c : cases) {
        const auto r = fromCp932(c.bytes);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_EQ(r.text, c.text) << c.what;
        EXPECT_EQ(r.invalidAt, c.at) << c.what;
    }
}

TEST(Cp932, Utf8Validity) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("draw_no,抽せん日"));
    EXPECT_TRUE(isValidUtf8("\xEF\xBB\xBF"
                            "a"));
    EXPECT_FALSE(isValidUtf8(toCp932("抽せん日").bytes));
    EXPECT_FALSE(isValidUtf8("a\xE3\x81")); // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));  // overlong
}

} // namespace
