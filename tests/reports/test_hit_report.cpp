// The report page: view texts, totals and the bytes of whole pages against
// golden files written by hand from the page layout (tests/data/reports/page_*).
#include "reports/hit_report.h"
#include "reports/report_file.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using tw::engine::GroupHits;
using tw::engine::HitSummary;
using tw::reports::HitReportPage;
using tw::reports::HitViewTexts;
using tw::reports::ReportFile;
using tw::testing::readBytes;
using tw::testing::TempFolder;

const std::filesystem::path kGoldenDir = std::filesystem::path(TALLOWIND_TEST_DATA_DIR) / "reports";

struct RoundInput {
    int round;
    HitSummary summary;
};

// GroupHits fields: entries, straight hits (Mini: hits), box hits, money won.
struct PageCase {
    const char* folder;
    std::vector<RoundInput> rounds;
};

const PageCase kPageCases[] = {
    // No hit anywhere: three times "はずれ", uncoloured counts, every difference a red loss.
    // Round 999 shows the round padded to four places.
    {"page_no_hits",
     {{2545, {{15, 0, 0, 0}, {10, 0, 0, 0}, {6, 0, 0, 0}}}, {999, {{7, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}}}},
    // Hits in all three columns, a Mini hit without "<BR>", Group2 counts that end
    // their line with blanks only where they are above zero, amounts as wide as or
    // wider than their field; Group1 in profit, Group2 a loss, Mini exactly even.
    {"page_hits",
     {{3001, {{30, 1, 1, 61000}, {1000, 0, 12, 104400}, {4, 1, 0, 1400}}},
      {3000, {{20, 1, 0, 1200300}, {25, 1, 0, 50000}, {3, 0, 0, 0}}}}},
    // No round at all: the frame, the headings and zero totals.
    {"page_empty", {}},
};

std::string writePage(const std::string& dir, const std::vector<RoundInput>& rounds) {
    ReportFile file(dir, "page.html");
    HitReportPage page;
    file.appendLine(HitReportPage::openingLine());
    for (const RoundInput& r : rounds) {
        const auto block = page.roundBlock(r.round, tw::reports::viewTextsOf(r.summary));
        EXPECT_TRUE(block.has_value()) << r.round;
        if (block)
            for (const std::string& line : *block)
                file.appendLine(line);
    }
    for (const std::string& line : page.closingLines())
        file.appendLine(line);
    EXPECT_TRUE(file.commit());
    EXPECT_EQ(file.linesLost(), 0);
    return readBytes(std::filesystem::path(dir) / "page.html");
}

TEST(HitReportPage, PagesMatchGoldenBytes) {
    for (const PageCase& c : kPageCases) {
        SCOPED_TRACE(c.folder);
        TempFolder dir;
        ASSERT_FALSE(dir.path().empty());
        const std::string expected = readBytes(kGoldenDir / c.folder / "expected.html");
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(writePage(dir.path(), c.rounds), expected);
    }
}

TEST(HitReportPage, SecondRunAppendsASecondPage) {
    TempFolder dir;
    const std::string once = readBytes(kGoldenDir / "page_empty" / "expected.html");
    writePage(dir.path(), {});
    EXPECT_EQ(writePage(dir.path(), {}), once + once);
}

TEST(ReportFile, WritesCodePage932WithCrLf) {
    TempFolder dir;
    ReportFile file(dir.path(), "Num3_３月抽選結果.html");
    file.appendLine("a　※\\");
    file.appendLine("");
    // Nothing reaches the file before the page is complete.
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(dir.path()) / "Num3_３月抽選結果.html"));
    EXPECT_TRUE(file.commit());
    EXPECT_EQ(file.linesLost(), 0);
    // Ideographic space 81 40, reference mark 81 A6, the yen backslash stays 5C.
    EXPECT_EQ(readBytes(std::filesystem::path(dir.path()) / "Num3_３月抽選結果.html"),
              std::string("a\x81\x40\x81\xA6\\\r\n\r\n"));
}

TEST(ReportFile, CountsLinesThatCannotBeAppended) {
    TempFolder dir;
    ReportFile file((std::filesystem::path(dir.path()) / "missing").string(), "x.html");
    file.appendLine("one");
    file.appendLine("two");
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(file.linesLost(), 2);
}

TEST(HitViewTexts, AsTheViewWritesThem) {
    struct Case {
        HitSummary summary;
        HitViewTexts expected;
    };
    const Case cases[] = {
        // No entries and no hits.
        {{}, {{"0", "0", "0"}, {"\\0", "\\0", "\\0"}, {"\\0", "\\0", "\\0"}, {"", "0", "0"}, {"", "0", "0"}}},
        // Hit counts add straight and box; Mini money keeps the wide pattern while
        // its price uses the narrow one, which still shows every digit.
        {{{15, 2, 1, 132000}, {5000, 0, 3, 27600}, {6000, 2, 0, 19000}},
         {{"3", "3", "2"},
          {"\\3,000", "\\1,000,000", "\\1,200,000"},
          {"\\132,000", "\\27,600", "\\19,000"},
          {"", "2", "1"},
          {"", "0", "3"}}},
    };
    for (const Case& c : cases) {
        const HitViewTexts t = tw::reports::viewTextsOf(c.summary);
        EXPECT_EQ(t.lblGrpHC, c.expected.lblGrpHC);
        EXPECT_EQ(t.lblBuyMoney, c.expected.lblBuyMoney);
        EXPECT_EQ(t.lblGrpMny, c.expected.lblGrpMny);
        EXPECT_EQ(t.lblGrp1TP, c.expected.lblGrp1TP);
        EXPECT_EQ(t.lblGrp2TP, c.expected.lblGrp2TP);
    }
}

TEST(HitViewTexts, LabelValueDropsYenSignAndSeparators) {
    const std::pair<const char*, long> cases[] = {
        {"\\1,200", 1200}, {"-\\1,200", -1200}, {"\\2,147,483,647", 2147483647}, {"0", 0}, {"", 0}, {"12", 12},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(tw::reports::labelValue(text), value) << text;
}

TEST(HitReportPage, RefusesARoundThatOverflowsATotal) {
    HitViewTexts big = tw::reports::viewTextsOf({});
    big.lblGrpMny[1] = "\\2,147,483,647";
    HitViewTexts one = tw::reports::viewTextsOf({});
    one.lblGrpMny[1] = "\\1";
    HitReportPage page;
    ASSERT_TRUE(page.roundBlock(2, big).has_value());
    EXPECT_FALSE(page.roundBlock(1, one).has_value());
    // The refused round added nothing.
    EXPECT_NE(page.closingLines()[3].find("\\2,147,483,647円"), std::string::npos) << page.closingLines()[3];
}

} // namespace
