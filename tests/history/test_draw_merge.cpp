// The import plan against a stored history (the merge rules, refusals and
// warnings), applying it to the table and its file, and real feed rows against
// the bundled history.
#include "history/draw_merge.h"

#include "common/date_serial.h"
#include "table_test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using tw::common::Game;
using namespace tw::history;
using tw::testing::readBytes;
using tw::testing::TempFolder;
using tw::testing::writeBytes;

const std::string kHeader =
    "draw_no,draw_date,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";
const std::string kPrizes = "100000,16600,58300,8300,10000";

double day(int y, int m, int d) {
    return tw::common::dateSerial({y, m, d});
}

// Five NUMBERS3 rounds drawn Monday 2026-08-03 .. Friday 2026-08-07, numbers
// 123, 456, 789, 012, 345, each with the prizes kPrizes.
DrawTable fiveRounds() {
    DrawTable t;
    t.records.assign(16, NumData{});
    const char* numbers[] = {"123", "456", "789", "012", "345"};
    for (int r = 1; r <= 5; ++r) {
        NumData& rec = t.records[static_cast<std::size_t>(r)];
        rec.lngRound = r;
        rec.dteDraw = day(2026, 8, 2 + r);
        for (int p = 0; p < 3; ++p)
            rec.bytNum[static_cast<std::size_t>(p) + 1] = static_cast<uint8_t>(numbers[r - 1][p] - '0');
        rec.lngStraight = 100000;
        rec.lngBox = 16600;
        rec.lngSetStraight = 58300;
        rec.lngSetBox = 8300;
        rec.lngMini = 10000;
    }
    t.count = t.savedCount = 5;
    return t;
}

std::string tableBytes(const DrawTable& t, Game game) {
    std::string bytes;
    for (int r = 1; r <= t.count; ++r)
        bytes += FormatTableLine(t.record(r), r, game) + "\r\n";
    return bytes;
}

std::string row(int round, const std::string& date, const std::string& number, const std::string& prizes = kPrizes) {
    return std::to_string(round) + "," + date + "," + number + "," + prizes + "\n";
}

ImportPlan plan(const std::string& csvRows, const DrawTable& table, ImportOptions options = {},
                const DrawTable* other = nullptr, Game game = Game::Numbers3) {
    return planImport(readImportBytes(kHeader + csvRows, game), game, table, other, options);
}

struct Expect {
    int32_t round;
    ImportOutcome outcome;
    std::optional<RefusalCode> refusal = {};
    int32_t fromRound = 0;
};

TEST(DrawMerge, MergeRules) {
    const ImportOptions none, corrections{true, false}, missing{false, true};
    using O = ImportOutcome;
    using R = RefusalCode;
    struct Case {
        const char* what;
        std::string rows;
        ImportOptions options;
        std::vector<Expect> expect;
        int countAfter;
    };
    const Case cases[] = {
        {"same values", row(3, "2026-08-05", "789"), none, {{3, O::Unchanged}}, 5},
        {"a changed prize, corrections not accepted",
         row(3, "2026-08-05", "789", "100100,16600,58300,8300,10000"),
         none,
         {{3, O::CorrectionSkipped}},
         5},
        {"a changed prize, corrections accepted",
         row(3, "2026-08-05", "789", "100100,16600,58300,8300,10000"),
         corrections,
         {{3, O::Corrected}},
         5},
        {"new rounds in any order",
         row(7, "2026-08-11", "901") + row(6, "2026-08-10", "678"),
         none,
         {{6, O::Added}, {7, O::Added}},
         7},
        {"a gap stops this row and the rest",
         row(6, "2026-08-10", "678") + row(8, "2026-08-12", "234") + row(9, "2026-08-13", "567"),
         none,
         {{6, O::Added}, {8, O::Refused, R::Gap, 7}, {9, O::Refused, R::Gap, 7}},
         6},
        {"a faulty new row stops the rest",
         row(6, "2026-08-10", "678", "1,x,1,1,1") + row(7, "2026-08-11", "901"),
         none,
         {{6, O::Refused, R::BadAmount}, {7, O::Refused, R::Blocked, 6}},
         5},
        {"a faulty stored row stops nothing",
         row(3, "2026-08-05", "78") + row(6, "2026-08-10", "678"),
         none,
         {{3, O::Refused, R::WrongLength}, {6, O::Added}},
         6},
        {"a new round without prizes, not allowed",
         row(6, "2026-08-10", "678", ",,,,") + row(7, "2026-08-11", "901"),
         none,
         {{6, O::Refused, R::PrizesMissing}, {7, O::Refused, R::Blocked, 6}},
         5},
        {"a new round without prizes, allowed",
         row(6, "2026-08-10", "678", ",,,,") + row(7, "2026-08-11", "901"),
         missing,
         {{6, O::AddedWithoutPrizes}, {7, O::Added}},
         7},
        {"a stored round without prizes keeps its amounts",
         row(3, "2026-08-05", "789", ",,,,"),
         none,
         {{3, O::Unchanged}},
         5},
        {"a repeat with the same values",
         row(6, "2026-08-10", "678") + row(6, "2026-08-10", "678"),
         none,
         {{6, O::Added}, {6, O::Refused, R::DuplicateRow, 6}},
         6},
        {"repeats that disagree",
         row(6, "2026-08-10", "678") + row(6, "2026-08-10", "679") + row(7, "2026-08-11", "901"),
         none,
         {{6, O::Refused, R::ConflictingRows, 6},
          {6, O::Refused, R::ConflictingRows, 6},
          {7, O::Refused, R::Blocked, 6}},
         5},
        {"an unreadable round comes last and blocks nothing",
         "x," + row(6, "2026-08-10", "678").substr(2) + row(6, "2026-08-10", "678"),
         none,
         {{6, O::Added}, {0, O::Refused, R::BadRound}},
         6},
        {"a round beyond the largest table",
         row(40000, "2026-08-10", "678"),
         none,
         {{40000, O::Refused, R::RoundTooLarge}},
         5},
        {"a date without a year follows the round before",
         row(6, "08/10", "678") + row(1, "08/03", "123"),
         none,
         {{1, O::Refused, R::YearUnknown}, {6, O::Added}},
         6},
    };
    const DrawTable table = fiveRounds();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportPlan p = plan(c.rows, table, c.options);
        ASSERT_FALSE(p.error) << p.error.message();
        ASSERT_EQ(p.rows.size(), c.expect.size());
        for (std::size_t i = 0; i < c.expect.size(); ++i) {
            const PlannedRow& got = p.rows[i];
            const Expect& want = c.expect[i];
            EXPECT_EQ(got.round, want.round) << i;
            EXPECT_EQ(got.outcome, want.outcome) << i;
            ASSERT_EQ(got.refusal.has_value(), want.refusal.has_value()) << i;
            if (want.refusal) {
                EXPECT_EQ(got.refusal->code, *want.refusal) << refusalText(*got.refusal, Game::Numbers3);
                if (want.fromRound) {
                    EXPECT_EQ(got.refusal->fromRound, want.fromRound);
                }
            }
        }
        EXPECT_EQ(p.countBefore, 5);
        EXPECT_EQ(p.countAfter, c.countAfter);
    }
}

TEST(DrawMerge, CorrectionsListOldAndNew) {
    const DrawTable table = fiveRounds();
    const ImportPlan p =
        plan(row(3, "2026-08-06", "798", "100100,16600,58300,8300,10000") + row(4, "2026-08-06", "021", ",,,,"), table,
             {true, false});
    ASSERT_EQ(p.rows.size(), 2u);
    ASSERT_EQ(p.rows[0].outcome, ImportOutcome::Corrected);
    const std::vector<FieldChange> changes = changedFields(p.rows[0], Game::Numbers3);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].field, DrawField::Date);
    EXPECT_EQ(changes[0].before, "2026/08/05");
    EXPECT_EQ(changes[0].after, "2026/08/06");
    EXPECT_EQ(changes[1].field, DrawField::Number);
    EXPECT_EQ(changes[1].after, "798");
    EXPECT_EQ(changes[2].field, DrawField::Straight);
    EXPECT_EQ(changes[2].before, "100,000");
    EXPECT_EQ(changes[2].after, "100,100");
    // A correction without prizes changes the number and keeps the stored amounts.
    ASSERT_EQ(p.rows[1].outcome, ImportOutcome::Corrected);
    EXPECT_TRUE(p.rows[1].prizesMissing);
    EXPECT_EQ(p.rows[1].incoming.lngStraight, 100000);
    EXPECT_EQ(p.rows[1].incoming.lngMini, 10000);
    EXPECT_EQ(changedFields(p.rows[1], Game::Numbers3).size(), 1u);
    EXPECT_EQ(p.counts.corrected, 2);
    EXPECT_EQ(planSummary(p), "新規 0 回、訂正 2 回、変更なし 0 回、取り込めない行 0 行、警告のある回 2 回");
}

TEST(DrawMerge, YearsForMonthAndDayDates) {
    DrawTable table = fiveRounds();
    table.records[5].dteDraw = day(2026, 12, 30);
    const ImportPlan p = plan(row(5, "12/30", "345") + row(6, "01/04", "678") + row(7, "01/05", "901"), table);
    ASSERT_EQ(p.rows.size(), 3u);
    EXPECT_EQ(p.rows[0].outcome, ImportOutcome::Unchanged);
    ASSERT_EQ(p.rows[1].outcome, ImportOutcome::Added);
    EXPECT_EQ(p.rows[1].incoming.dteDraw, day(2027, 1, 4));
    EXPECT_EQ(p.rows[2].incoming.dteDraw, day(2027, 1, 5));
}

TEST(DrawMerge, Warnings) {
    using W = WarningCode;
    struct Case {
        const char* what;
        std::string rows;
        bool withOtherGame;
        std::vector<WarningCode> expect;
        int32_t expected = 0; // the usual amount of a relation warning
    };
    const Case cases[] = {
        {"a plain new round", row(6, "2026-08-10", "678"), true, {}},
        {"the previous round's date", row(6, "2026-08-07", "678"), false, {W::DateNotAfterPrevious}},
        {"a Saturday", row(6, "2026-08-08", "678"), false, {W::WeekendDate}},
        {"another date than the other game's round", row(6, "2026-08-11", "678"), true, {W::OtherGameDate}},
        {"a correction dated on the next round's day", row(3, "2026-08-06", "789"), false, {W::DateNotBeforeNext}},
        {"Box and Set on 777",
         row(6, "2026-08-10", "777", "80400,26800,53600,13400,8000"),
         false,
         {W::BoxSetOnAllEqual}},
        {"777 without Box and Set", row(6, "2026-08-10", "777", "80400,0,0,0,8000"), false, {}},
        {"Set-Straight 200 yen off",
         row(6, "2026-08-10", "678", "100000,16600,58500,8300,10000"),
         false,
         {W::SetStraightRelation},
         58300},
        {"Set-Straight 100 yen off is rounding",
         row(6, "2026-08-10", "678", "100000,16600,58400,8300,10000"),
         false,
         {}},
        {"Set-Box off", row(6, "2026-08-10", "678", "100000,16600,58300,9300,10000"), false, {W::SetBoxRelation}, 8300},
        {"Box as high as Straight",
         row(6, "2026-08-10", "678", "16600,16600,16600,8300,1600"),
         false,
         {W::BoxNotBelowStraight}},
        {"no prize checks without prizes", row(6, "2026-08-10", "777", "80400,26800,,,"), false, {}},
    };
    const DrawTable table = fiveRounds();
    DrawTable other = fiveRounds();
    NumData sixth = other.record(5);
    sixth.dteDraw = day(2026, 8, 10);
    other.store(6, sixth);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ImportPlan p = plan(c.rows, table, {true, true}, c.withOtherGame ? &other : nullptr);
        ASSERT_EQ(p.rows.size(), 1u);
        ASSERT_NE(p.rows[0].outcome, ImportOutcome::Refused);
        std::vector<WarningCode> got;
        for (const ImportWarning& w : p.rows[0].warnings) {
            got.push_back(w.code);
            if (c.expected) {
                EXPECT_EQ(w.expected, c.expected);
            }
        }
        EXPECT_EQ(got, c.expect);
        EXPECT_EQ(p.counts.warned, c.expect.empty() ? 0 : 1);
    }

    const ImportPlan p = plan(row(6, "2026-08-08", "678", "100000,16600,58500,8300,10000"), table, {}, &other);
    ASSERT_EQ(p.rows[0].warnings.size(), 3u);
    std::vector<std::string> texts;
    for (const ImportWarning& w : p.rows[0].warnings)
        texts.push_back(warningText(w, p.rows[0].incoming, Game::Numbers3));
    EXPECT_EQ(texts[0], "抽選日 2026/08/08 は土曜日です");
    EXPECT_EQ(texts[1], "抽選日 2026/08/08 が NUMBERS4 の同じ回（第6回 2026/08/10）と違います");
    EXPECT_EQ(texts[2], "セット（ストレート）の金額 58,500 円が、いつもの額 58,300 "
                        "円（ストレートとボックスの和の半分）から離れています");
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class DrawMergeApply : public ::testing::Test {
protected:
    void SetUp() override {
        table = fiveRounds();
        before = tableBytes(table, Game::Numbers3);
        writeBytes(path, before);
    }
    TempFolder folder;
    std::string path = folder.file("Num3Data.tbl");
    DrawTable table;
    std::string before;
};

TEST_F(DrawMergeApply, NewRoundsAreAppended) {
    const ino_t inode = inodeOf(path);
    const ImportPlan p = plan(row(6, "2026-08-10", "678") + row(7, "2026-08-11", "901", ",,,,"), table, {false, true});
    ASSERT_EQ(p.counts.added, 2);
    const ApplyResult r = applyImport(table, p, path);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(table.count, 7);
    EXPECT_EQ(table.savedCount, 7);
    EXPECT_FALSE(table.record(6).blnUnsaved);
    EXPECT_EQ(readBytes(path), before + "6,2026/08/10,678,100000,16600,58300,8300,10000\r\n"
                                        "7,2026/08/11,901,0,0,0,0,0\r\n");
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Num3Data.tbl"});
}

TEST_F(DrawMergeApply, CorrectionsReplaceTheWholeFile) {
    const ino_t inode = inodeOf(path);
    const ImportPlan p = plan(row(2, "2026-08-04", "465") + row(6, "2026-08-10", "678"), table, {true, false});
    ASSERT_EQ(p.counts.corrected, 1);
    ASSERT_TRUE(applyImport(table, p, path).ok());
    EXPECT_EQ(table.record(2).bytNum[3], 5);
    std::string expected = before;
    expected.replace(expected.find("2,2026/08/04,456"), 16, "2,2026/08/04,465");
    EXPECT_EQ(readBytes(path), expected + "6,2026/08/10,678,100000,16600,58300,8300,10000\r\n");
    EXPECT_NE(inodeOf(path), inode);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Num3Data.tbl"});
}

TEST_F(DrawMergeApply, NothingToChangeWritesNothing) {
    const ImportPlan p = plan(row(2, "2026-08-04", "465"), table); // a correction not accepted
    EXPECT_FALSE(p.changesTable());
    const ino_t inode = inodeOf(path);
    ASSERT_TRUE(applyImport(table, p, path).ok());
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(table.record(2).bytNum[3], 6);
}

TEST_F(DrawMergeApply, RoundsEnteredByHandAreWrittenAlong) {
    NumData manual = table.record(5);
    manual.dteDraw = day(2026, 8, 10);
    ASSERT_TRUE(table.store(6, manual)); // entered in the dialog, not yet saved
    const ImportPlan p = plan(row(7, "2026-08-11", "901"), table);
    ASSERT_TRUE(applyImport(table, p, path).ok());
    EXPECT_EQ(readBytes(path), before + "6,2026/08/10,345,100000,16600,58300,8300,10000\r\n"
                                        "7,2026/08/11,901,100000,16600,58300,8300,10000\r\n");
    EXPECT_FALSE(table.record(6).blnUnsaved);
}

TEST_F(DrawMergeApply, AStalePlanChangesNothing) {
    const ImportPlan p = plan(row(3, "2026-08-05", "780") + row(6, "2026-08-10", "678"), table, {true, false});
    NumData changed = table.record(3);
    changed.lngStraight = 1;
    table.store(3, changed);
    const DrawTable held = table;
    const ApplyResult r = applyImport(table, p, path);
    EXPECT_TRUE(r.stale);
    EXPECT_EQ(r.message(), "取込みの確認のあとで履歴が変わりました。もう一度ファイルを読み込んでください。");
    EXPECT_EQ(table.count, held.count);
    EXPECT_EQ(table.records, held.records);
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(DrawMergeApply, AFailedWriteKeepsTheImportUnsaved) {
    const ImportPlan p = plan(row(6, "2026-08-10", "678"), table);
    const ApplyResult r = applyImport(table, p, folder.file("gone/Num3Data.tbl"));
    ASSERT_FALSE(r.ok());
    EXPECT_FALSE(r.message().empty());
    EXPECT_EQ(table.count, 6);
    EXPECT_TRUE(table.record(6).blnUnsaved);
    EXPECT_EQ(table.savedCount, 5);
}

TEST(DrawMergeApplyEmpty, IntoAnEmptyFolder) {
    TempFolder folder;
    DrawTable empty;
    const ImportPlan p = plan(row(1, "1994-10-07", "191", "119800,39900,79800,19900,11900"), empty);
    ASSERT_EQ(p.counts.added, 1);
    ASSERT_TRUE(applyImport(empty, p, folder.file("Num3Data.tbl")).ok());
    EXPECT_EQ(readBytes(folder.file("Num3Data.tbl")), "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n");
}

// Real feed rows against the bundled history.
class DrawMergeFeeds : public ::testing::Test {
protected:
    static DrawTable load(const char* name) {
        LoadResult r = loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/" + name);
        EXPECT_FALSE(r.error) << r.error.message();
        return std::move(r.table);
    }
    static ImportPlan feed(const char* name, Game game, const DrawTable& table, const DrawTable& other,
                           ImportOptions options = {}) {
        return planImportFile(std::string(TALLOWIND_TEST_DATA_DIR) + "/import/" + name, game, table, &other, options);
    }
    DrawTable num3 = load("Num3Data.tbl");
    DrawTable num4 = load("Num4Data.tbl");
};

TEST_F(DrawMergeFeeds, AmountsTheBundledHistoryCorrected) {
    const ImportPlan p = feed("hazimekom_numbers3_results_v2.csv", Game::Numbers3, num3, num4);
    ASSERT_FALSE(p.error) << p.error.message();
    EXPECT_EQ(p.counts.unchanged, 9);
    ASSERT_EQ(p.counts.correctionsSkipped, 1);
    const PlannedRow& r1976 = p.rows[5];
    EXPECT_EQ(r1976.round, 1976);
    EXPECT_EQ(r1976.outcome, ImportOutcome::CorrectionSkipped);
    ASSERT_EQ(r1976.warnings.size(), 1u);
    EXPECT_EQ(r1976.warnings[0].code, WarningCode::BoxSetOnAllEqual);
    EXPECT_EQ(changedFields(r1976, Game::Numbers3).size(), 5u);
    EXPECT_FALSE(p.changesTable());

    const ImportPlan jp = feed("hazimekom_numbers4_results.csv", Game::Numbers4, num4, num3);
    ASSERT_FALSE(jp.error) << jp.error.message();
    EXPECT_EQ(jp.counts.unchanged, 6);
    EXPECT_EQ(jp.counts.warned, 0);
}

TEST_F(DrawMergeFeeds, DigitsPublishedBeforeThePrizes) {
    const ImportPlan strict = feed("webzeney_NUMBERS3_ALL.csv", Game::Numbers3, num3, num4);
    EXPECT_EQ(strict.counts.unchanged, 5);
    EXPECT_EQ(strict.counts.refused, 6);
    EXPECT_EQ(strict.rows[5].refusal->code, RefusalCode::PrizesMissing);
    EXPECT_EQ(strict.rows[10].refusal->code, RefusalCode::Blocked);
    EXPECT_EQ(strict.countAfter, 7054);

    const ImportPlan allowed = feed("webzeney_NUMBERS3_ALL.csv", Game::Numbers3, num3, num4, {false, true});
    EXPECT_EQ(allowed.counts.added, 6);
    EXPECT_EQ(allowed.counts.addedWithoutPrizes, 6);
    EXPECT_EQ(allowed.counts.warned, 0);
    EXPECT_EQ(allowed.countAfter, 7060);

    // No years in the dates, newest first.
    const ImportPlan pwa = feed("wyzman73_numbers4_data.json", Game::Numbers4, num4, num3, {false, true});
    ASSERT_FALSE(pwa.error) << pwa.error.message();
    EXPECT_EQ(pwa.counts.unchanged, 3);
    EXPECT_EQ(pwa.counts.addedWithoutPrizes, 8);
    EXPECT_EQ(pwa.counts.warned, 0);
    EXPECT_EQ(pwa.rows.back().round, 7062);
    EXPECT_EQ(pwa.rows.back().incoming.dteDraw, day(2026, 9, 2));
    EXPECT_EQ(pwa.countAfter, 7062);
}

} // namespace
