// Saving at exit: new rounds are appended in the line format of each game, a
// correction rewrites the file through a temporary file, nothing stored means
// nothing written, and failures leave what is on disk intact.
#include "history/table_file.h"

#include "common/date_serial.h"
#include "table_test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tw::history;
using tw::common::dateSerial;
using tw::testing::readBytes;
using tw::testing::TempFolder;
using tw::testing::writeBytes;

const std::string kNum3Text = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n"
                              "2,1994/10/14,988,333500,111100,222300,55500,33300\r\n";
const std::string kNum4Text = "1,1994/10/07,1149,942600,78500,510500,39200\r\n"
                              "2,1994/10/14,7921,923700,38400,481000,19200\r\n";

NumData drawn(int day, std::array<uint8_t, 5> digits, int32_t base) {
    NumData rec;
    rec.dteDraw = dateSerial({2026, 9, day}) + 17.75 / 24; // entered at 17:45 on the draw day
    rec.bytNum = digits;
    rec.lngStraight = base;
    rec.lngBox = base / 6;
    rec.lngSetStraight = base / 2;
    rec.lngSetBox = base / 12;
    rec.lngMini = base / 10;
    return rec;
}

DrawTable loaded(const std::string& path) {
    LoadResult r = loadTableFile(path);
    EXPECT_FALSE(r.error) << r.error.message();
    return r.table;
}

bool anyUnsaved(const DrawTable& table) {
    return std::any_of(table.records.begin(), table.records.end(), [](const NumData& r) { return r.blnUnsaved; });
}

class TableSaver : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(num3Path, kNum3Text);
        writeBytes(num4Path, kNum4Text);
    }
    void TearDown() override { setRewriteHookForTests(nullptr); }

    TempFolder dir;
    std::string num3Path = dir.file("Num3Data.tbl");
    std::string num4Path = dir.file("Num4Data.tbl");
};

TEST_F(TableSaver, NewRoundsAreAppendedInEachGamesFormat) {
    DrawTable num3 = loaded(num3Path);
    ASSERT_TRUE(num3.store(3, drawn(1, {0, 0, 4, 2, 0}, 90000)));
    ASSERT_TRUE(num3.store(4, drawn(2, {0, 7, 7, 1, 0}, 120000)));
    num3.records[4].lngRound = 1234; // the slot number is written, not the record's round
    DrawTable num4 = loaded(num4Path);
    ASSERT_TRUE(num4.store(3, drawn(1, {0, 0, 0, 9, 7}, 1200000)));

    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_FALSE(SaveTable(num4, tw::common::Game::Numbers4, num4Path));
    EXPECT_EQ(readBytes(num3Path), kNum3Text + "3,2026/09/01,042,90000,15000,45000,7500,9000\r\n"
                                               "4,2026/09/02,771,120000,20000,60000,10000,12000\r\n");
    EXPECT_EQ(readBytes(num4Path), kNum4Text + "3,2026/09/01,0097,1200000,200000,600000,100000\r\n");
    EXPECT_EQ(num3.savedCount, 4);
    EXPECT_FALSE(anyUnsaved(num3));
    EXPECT_FALSE(anyUnsaved(num4));
    EXPECT_EQ(loaded(num3Path).count, 4);
}

TEST_F(TableSaver, NothingStoredLeavesTheFilesUntouched) {
    const std::string junk = kNum3Text + "3,1994/10/21,19"; // even a file that ends mid-line
    writeBytes(num3Path, junk);
    DrawTable num3 = loaded(num3Path);
    DrawTable num4 = loaded(num4Path);
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_FALSE(SaveTable(num4, tw::common::Game::Numbers4, num4Path));
    EXPECT_EQ(readBytes(num3Path), junk);
    EXPECT_EQ(readBytes(num4Path), kNum4Text);

    DrawTable empty;
    EXPECT_FALSE(SaveTable(empty, tw::common::Game::Numbers3, dir.file("none.tbl")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.tbl")));
}

TEST_F(TableSaver, TheTableGrowsBeyondTenNewRounds) {
    DrawTable num3 = loaded(num3Path);
    for (int round = 3; round <= 27; ++round)
        ASSERT_TRUE(num3.store(round, drawn(round, {0, 1, 2, 3, 0}, 1000 * round)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    const DrawTable back = loaded(num3Path);
    ASSERT_EQ(back.count, 27);
    EXPECT_EQ(back.record(27).lngStraight, 27000);
    EXPECT_EQ(back.record(27).dteDraw, dateSerial({2026, 9, 27}));
}

TEST_F(TableSaver, CorrectionRewritesTheWholeFileInPlace) {
    ::chmod(num3Path.c_str(), 0640);
    DrawTable num3 = loaded(num3Path);
    ASSERT_TRUE(num3.store(1, drawn(3, {0, 5, 5, 5, 0}, 500000)));
    ASSERT_TRUE(num3.store(3, drawn(4, {0, 1, 0, 1, 0}, 60000)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_EQ(readBytes(num3Path), "1,2026/09/03,555,500000,83333,250000,41666,50000\r\n"
                                   "2,1994/10/14,988,333500,111100,222300,55500,33300\r\n"
                                   "3,2026/09/04,101,60000,10000,30000,5000,6000\r\n");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Num3Data.tbl", "Num4Data.tbl"}));
    struct stat st {};
    ASSERT_EQ(::stat(num3Path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(num3.savedCount, 3);
    EXPECT_FALSE(anyUnsaved(num3));

    // Line n stays round n, so the next new round is appended again.
    ASSERT_TRUE(num3.store(4, drawn(5, {0, 2, 2, 2, 0}, 70000)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_EQ(loaded(num3Path).count, 4);
    EXPECT_EQ(loaded(num3Path).record(1).lngStraight, 500000);
}

// Appending after bytes that end no line would glue them to the new line; the
// file is rewritten instead, and a file that lost its rounds gets them back.
TEST_F(TableSaver, FileThatNoLongerEndsAfterItsLastRoundIsRewritten) {
    writeBytes(num4Path, kNum4Text + "3,1994/10/21,00");
    DrawTable num4 = loaded(num4Path);
    ASSERT_TRUE(num4.store(3, drawn(1, {0, 0, 0, 9, 7}, 1200000)));
    EXPECT_FALSE(SaveTable(num4, tw::common::Game::Numbers4, num4Path));
    EXPECT_EQ(readBytes(num4Path), kNum4Text + "3,2026/09/01,0097,1200000,200000,600000,100000\r\n");

    ASSERT_TRUE(num4.store(4, drawn(2, {0, 1, 1, 1, 1}, 600000)));
    std::filesystem::remove(num4Path);
    EXPECT_FALSE(SaveTable(num4, tw::common::Game::Numbers4, num4Path));
    EXPECT_EQ(loaded(num4Path).count, 4);
}

TEST_F(TableSaver, InterruptedRewriteKeepsTheOldFileAndNoTemporary) {
    DrawTable num3 = loaded(num3Path);
    ASSERT_TRUE(num3.store(2, drawn(3, {0, 5, 5, 5, 0}, 500000)));
    std::vector<std::string> seenBeforeRename;
    setRewriteHookForTests([&] {
        seenBeforeRename = dir.entries();
        return false;
    });
    const SaveError error = SaveTable(num3, tw::common::Game::Numbers3, num3Path);
    ASSERT_TRUE(error);
    EXPECT_EQ(error.message().rfind("ファイル「Num3Data.tbl」に保存できません。", 0), 0u) << error.message();
    EXPECT_EQ(seenBeforeRename.size(), 3u); // the complete temporary file was there
    EXPECT_EQ(readBytes(num3Path), kNum3Text);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Num3Data.tbl", "Num4Data.tbl"}));
    EXPECT_TRUE(num3.record(2).blnUnsaved);

    setRewriteHookForTests(nullptr);
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_EQ(loaded(num3Path).record(2).lngStraight, 500000);
}

struct FailingTarget {
    const char* name;
    std::string path;
    bool correction; // a rewrite rather than an append
    const char* detail;
};

// A rewrite names the temporary file it could not make, whose name ends in six
// random characters; this puts those in place of the ones in `message`.
std::string withTemporaryName(std::string message, const std::string& expected) {
    const std::size_t at = expected.find(".tmp-");
    if (at != std::string::npos && message.size() >= at + 11 && message.compare(0, at + 5, expected, 0, at + 5) == 0)
        message.replace(at + 5, 6, "XXXXXX");
    return message;
}

TEST_F(TableSaver, UnwritableTargetGivesAMessageNamingTheFile) {
    writeBytes(dir.file("plain"), "not a folder");
    std::vector<FailingTarget> targets = {
        {"folder is a file (append)", dir.file("plain") + "/Num3Data.tbl", false, "保存先のフォルダが見つかりません"},
        {"folder is a file (rewrite)", dir.file("plain") + "/Num3Data.tbl", true,
         "一時ファイル「Num3Data.tbl.tmp-XXXXXX」を作れません：保存先のフォルダが見つかりません"},
        {"folder is gone (rewrite)", dir.file("gone") + "/Num3Data.tbl", true,
         "一時ファイル「Num3Data.tbl.tmp-XXXXXX」を作れません：保存先のフォルダが見つかりません"},
    };
    if (std::filesystem::exists("/dev/full"))
        targets.push_back({"disk full", "/dev/full", false, "ディスクの空きが足りません"});
    for (const FailingTarget& t : targets) {
        SCOPED_TRACE(t.name);
        DrawTable table;
        if (t.correction)
            table = loaded(num3Path);
        ASSERT_TRUE(table.store(1, drawn(1, {0, 1, 2, 3, 0}, 1000)));
        const SaveError error = SaveTable(table, tw::common::Game::Numbers3, t.path);
        ASSERT_TRUE(error);
        const std::string name = std::filesystem::path(t.path).filename().string();
        const std::string expected = "ファイル「" + name + "」に保存できません。（" + t.detail + "）";
        EXPECT_EQ(withTemporaryName(error.message(), expected), expected);
        EXPECT_TRUE(table.record(1).blnUnsaved);
    }
    EXPECT_EQ(readBytes(num3Path), kNum3Text);
}

// Permissions do not bind root, so this runs only for an ordinary user.
TEST_F(TableSaver, WriteProtectionIsReportedAndLeavesTheFileAlone) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions are not enforced for root";
    DrawTable num3 = loaded(num3Path);
    ASSERT_TRUE(num3.store(3, drawn(1, {0, 1, 2, 3, 0}, 1000)));
    ::chmod(num3Path.c_str(), 0444);
    SaveError error = SaveTable(num3, tw::common::Game::Numbers3, num3Path);
    EXPECT_EQ(error.message(), "ファイル「Num3Data.tbl」に保存できません。（書き込みが許可されていません）");

    ::chmod(num3Path.c_str(), 0644);
    ASSERT_TRUE(num3.store(1, drawn(2, {0, 3, 2, 1, 0}, 2000))); // a correction needs a new file in the folder
    ::chmod(dir.path().c_str(), 0555);
    error = SaveTable(num3, tw::common::Game::Numbers3, num3Path);
    ::chmod(dir.path().c_str(), 0755);
    const std::string expected = "ファイル「Num3Data.tbl」に保存できません。（一時ファイル「Num3Data.tbl.tmp-"
                                 "XXXXXX」を作れません：書き込みが許可されていません）";
    EXPECT_EQ(withTemporaryName(error.message(), expected), expected);
    EXPECT_EQ(readBytes(num3Path), kNum3Text);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Num3Data.tbl", "Num4Data.tbl"}));
}

// Whatever happened to the file since it was loaded, a save that would append to
// it or replace it refuses, names the file and keeps the entered rounds for a
// retry; the file keeps the bytes the other program left.
TEST_F(TableSaver, FileChangedOnDiskIsNeitherAppendedToNorReplaced) {
    const std::string lf = "1,1994/10/07,191,119800,39900,79800,19900,11900\n"
                           "2,1994/10/14,988,333500,111100,222300,55500,33300\n";
    std::string sameSize = kNum3Text;
    sameSize[20] = '9';
    struct Change {
        const char* name;
        std::string bytes;
    };
    const Change changes[] = {
        {"line ends converted to LF", lf},
        {"a line added by another program", kNum3Text + "3,1994/10/21,123,1,2,3,4,5\r\n"},
        {"cut short", kNum3Text.substr(0, 30)},
        {"emptied", ""},
        {"same size, other bytes", sameSize},
    };
    for (const bool correction : {false, true}) {
        for (const Change& c : changes) {
            SCOPED_TRACE(std::string(c.name) + (correction ? " (correction)" : " (new round)"));
            writeBytes(num3Path, kNum3Text);
            DrawTable num3 = loaded(num3Path);
            ASSERT_TRUE(num3.store(correction ? 1 : 3, drawn(1, {0, 4, 4, 4, 0}, 1000)));
            writeBytes(num3Path, c.bytes);
            const SaveError error = SaveTable(num3, tw::common::Game::Numbers3, num3Path);
            ASSERT_TRUE(error);
            EXPECT_TRUE(error.changedOnDisk);
            EXPECT_EQ(error.message(),
                      "ファイル「Num3Data.tbl」に保存できません。（読み込んだ後にほかのプログラムで変更されて"
                      "います。上書きせず、入力したデータはこのプログラムの中に残してあります）");
            EXPECT_EQ(readBytes(num3Path), c.bytes);
            EXPECT_TRUE(num3.record(correction ? 1 : 3).blnUnsaved);
            EXPECT_EQ(dir.entries(), (std::vector<std::string>{"Num3Data.tbl", "Num4Data.tbl"}));

            // Once the file is back as it was loaded, the same records are saved.
            writeBytes(num3Path, kNum3Text);
            EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
            EXPECT_EQ(loaded(num3Path).record(correction ? 1 : 3).lngStraight, 1000);
        }
    }
}

// The stamp follows the program's own writes: appends, then a rewrite, then an
// append again, without reading back anything but the file as it now is.
TEST_F(TableSaver, OwnWritesKeepTheFileSaveable) {
    DrawTable num3 = loaded(num3Path);
    ASSERT_TRUE(num3.store(3, drawn(1, {0, 1, 1, 1, 0}, 1000)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    ASSERT_TRUE(num3.store(1, drawn(2, {0, 2, 2, 2, 0}, 2000)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    ASSERT_TRUE(num3.store(4, drawn(3, {0, 3, 3, 3, 0}, 3000)));
    EXPECT_FALSE(SaveTable(num3, tw::common::Game::Numbers3, num3Path));
    EXPECT_TRUE(num3.fileStamp.sameBytes(stampOf(readBytes(num3Path))));
    const DrawTable back = loaded(num3Path);
    ASSERT_EQ(back.count, 4);
    EXPECT_EQ(back.record(1).lngStraight, 2000);
    EXPECT_EQ(back.record(4).lngStraight, 3000);
}

} // namespace
