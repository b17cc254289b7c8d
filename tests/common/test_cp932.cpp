#include "common/cp932.h"

#include <gtest/gtest.h>

namespace {

using tw::common::toCp932;

TEST(Cp932, KnownCharacters) {
    struct Case {
        std::string utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {"\u3000", "\x81\x40"},                           // ideographic space
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
        {"stray byte", "A\xFF" "B", "A?B", {}, {1}},
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

} // namespace
