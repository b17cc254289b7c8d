// Loading table files: the sliced loader against the direct path on files whose
// line ends fall on and around the 32000-byte block boundaries, the progress it
// reports, the real history, and the files it must refuse.
#include "history/table_file.h"

#include "common/date_serial.h"
#include "table_test_files.h"

#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tw::history;
using tw::history::testing::num3LineOfLength;
using tw::testing::readBytes;
using tw::testing::TempFolder;
using tw::testing::writeBytes;

constexpr std::size_t kBlock = TableLoader::kBlockSize;

struct SlicedRun {
    DrawTable table;
    LoadError error;
    LoadWarning warning;
    std::vector<double> progress; // after each call, starting with the fresh loader
};

SlicedRun loadSliced(const std::string& path, int slice = TableLoader::kDefaultSlice,
                     std::optional<tw::common::Game> game = std::nullopt) {
    TableLoader loader(path, game);
    SlicedRun run;
    run.progress.push_back(loader.LoadProgress());
    loader.SetLoadSlice(slice);
    loader.ReadTableBlocks();
    run.progress.push_back(loader.LoadProgress());
    loader.ResetLineScan();
    do {
        loader.CountTableLines();
        run.progress.push_back(loader.LoadProgress());
    } while (!loader.IsLoadStepDone());
    loader.ResetLineParse();
    do {
        loader.ParseTableLines();
        run.progress.push_back(loader.LoadProgress());
    } while (!loader.IsLoadStepDone());
    run.error = loader.error();
    run.warning = loader.warning();
    run.table = loader.takeTable();
    return run;
}

void expectSameTable(const DrawTable& a, const DrawTable& b) {
    EXPECT_EQ(a.count, b.count);
    EXPECT_EQ(a.savedCount, b.savedCount);
    EXPECT_TRUE(a.records == b.records);
    EXPECT_EQ(a.fileStamp.known, b.fileStamp.known);
    EXPECT_TRUE(a.fileStamp.sameBytes(b.fileStamp));
}

// Lines of valid lengths (50 characters, then a few of 52..72) placed so that the
// CR of the last of them lies at byte `crOffset` of the file (0-based, at least
// 300), then `after` more lines of 50 characters.
std::vector<std::string> linesWithCrAt(std::size_t crOffset, int after) {
    EXPECT_GE(crOffset, 300u);
    std::vector<std::string> lines;
    const auto add = [&lines](std::size_t length) {
        lines.push_back(num3LineOfLength(static_cast<int>(lines.size()) + 1, length));
    };
    std::size_t rest = crOffset; // bytes from the next line's start to the CR
    while (rest > 220) {
        add(50);
        rest -= 52;
    }
    // Two lines of 54..74 bytes bring the rest into 52..72, the last line's length.
    for (const std::size_t least : {std::size_t{106}, std::size_t{52}}) {
        const std::size_t bytes = std::min<std::size_t>(74, rest - least);
        add(bytes - 2);
        rest -= bytes;
    }
    add(rest);
    std::size_t end = 0;
    for (const std::string& line : lines)
        end += line.size() + 2;
    EXPECT_EQ(end - 2, crOffset);
    for (int i = 0; i < after; ++i)
        add(50);
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct BoundaryCase {
    const char* name;
    std::vector<std::string> lines;
    std::string trailing; // bytes after the last CR LF
};

std::vector<BoundaryCase> boundaryCases() {
    std::vector<std::string> longLines = linesWithCrAt(kBlock - 40, 0);
    for (const std::size_t length : {72, 72, 60}) // the first runs 34 bytes into the next block
        longLines.push_back(num3LineOfLength(static_cast<int>(longLines.size()) + 1, length));
    return {
        {"length exactly one block, LF last byte", linesWithCrAt(kBlock - 2, 0), ""},
        {"length exactly two blocks", linesWithCrAt(2 * kBlock - 2, 0), ""},
        {"length 1.5 blocks (block count rounds to even)", linesWithCrAt(kBlock + kBlock / 2 - 2, 0), ""},
        {"LF last byte of a block, lines go on", linesWithCrAt(kBlock - 2, 30), ""},
        {"CR last byte of a block", linesWithCrAt(kBlock - 1, 30), ""},
        {"CR last byte of the file's last full block", linesWithCrAt(kBlock - 1, 0), ""},
        {"line end one byte into the next block", linesWithCrAt(kBlock, 5), ""},
        {"lines longer than the rest of their block", longLines, ""},
        {"trailing bytes after the last CR LF", linesWithCrAt(kBlock - 2, 3), "9,1994/10/07,191,1,2,3,4,5"},
        {"trailing garbage across a boundary", linesWithCrAt(kBlock - 20, 0), std::string(100, 'x')},
        {"trailing NUL bytes (a power cut during an append)", linesWithCrAt(kBlock - 20, 0), std::string(64, '\0')},
    };
}

TEST(TableLoader, EveryLineSurvivesTheBlockBoundaries) {
    TempFolder dir;
    for (const BoundaryCase& c : boundaryCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("Num3Data.tbl");
        writeBytes(path, joinLines(c.lines) + c.trailing);
        const LoadResult direct = loadTableFile(path);
        ASSERT_FALSE(direct.error) << direct.error.message();
        ASSERT_EQ(direct.table.count, std::ssize(c.lines));
        for (int i = 1; i <= direct.table.count; ++i) {
            EXPECT_EQ(direct.table.record(i).lngRound, i);
            EXPECT_EQ(direct.table.record(i).lngStraight, 119800 + i);
            EXPECT_EQ(direct.table.record(i).lngMini, 11900);
        }
        const FileStamp stamp = stampOf(readBytes(path));
        EXPECT_TRUE(direct.table.fileStamp.known && direct.table.fileStamp.sameBytes(stamp));
        EXPECT_EQ(direct.warning.kind, c.trailing.empty() ? LoadWarningKind::None : LoadWarningKind::UnendedTail);
        for (const int slice : {1, 7, TableLoader::kDefaultSlice, 100000}) {
            const SlicedRun sliced = loadSliced(path, slice);
            ASSERT_FALSE(sliced.error) << slice << ": " << sliced.error.message();
            expectSameTable(sliced.table, direct.table);
            EXPECT_EQ(sliced.warning.message(), direct.warning.message());
        }
    }
}

TEST(TableLoader, EmptyFileGoesThroughProgress0_20_60_100) {
    TempFolder dir;
    writeBytes(dir.file("Num3Data.tbl"), "");
    const SlicedRun run = loadSliced(dir.file("Num3Data.tbl"));
    EXPECT_EQ(run.progress, (std::vector<double>{0, 20, 60, 100}));
    EXPECT_FALSE(run.error);
    EXPECT_EQ(run.table.count, 0);
    EXPECT_EQ(run.table.records.size(), 11u);
    EXPECT_TRUE(std::all_of(run.table.records.begin(), run.table.records.end(),
                            [](const NumData& r) { return r == NumData{}; }));
    expectSameTable(loadTableFile(dir.file("Num3Data.tbl")).table, run.table);
}

TEST(TableLoader, OnlyBytesUpToTheLastCrLfFormLines) {
    TempFolder dir;
    const std::string path = dir.file("Num4Data.tbl");
    writeBytes(path, "1,1994/10/07,1149,942600,78500,510500,39200\r\n2,1994/10/14,7921,923700,38400,481000,19200");
    for (const DrawTable& table : {loadTableFile(path).table, loadSliced(path).table}) {
        EXPECT_EQ(table.count, 1);
        EXPECT_EQ(table.records.size(), 12u);
        EXPECT_EQ(table.record(1).lngSetBox, 39200);
        EXPECT_EQ(table.record(2), NumData{});
    }
    const std::string said = "ファイル「Num4Data.tbl」の 2 行目以降は CR LF で終わっていないため読み込んでいません。";
    EXPECT_EQ(loadTableFile(path).warning.message(), said);
    EXPECT_EQ(loadSliced(path).warning.message(), said);
}

TEST(TableLoader, LineNGoesToSlotNWhateverItsFirstField) {
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    writeBytes(path, "5,1994/10/07,191,1,2,3,4,5\r\n5,1994/10/14,988,6,7,8,9,10\r\n");
    const DrawTable table = loadTableFile(path).table;
    ASSERT_EQ(table.count, 2);
    EXPECT_EQ(table.record(1).lngRound, 5);
    EXPECT_EQ(table.record(2).lngRound, 5);
    EXPECT_EQ(table.record(2).lngMini, 10);
    EXPECT_EQ(table.savedCount, 2);
}

TEST(TableLoader, RealHistoryLoadsTheSameBothWays) {
    for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(TALLOWIND_DATA_DIR) + "/" + name;
        const LoadResult direct = loadTableFile(path);
        ASSERT_FALSE(direct.error) << direct.error.message();
        const SlicedRun sliced = loadSliced(path);
        ASSERT_FALSE(sliced.error) << sliced.error.message();
        expectSameTable(sliced.table, direct.table);
        EXPECT_EQ(direct.table.count, 7054);
        EXPECT_EQ(direct.table.records.size(), 7065u);
        EXPECT_TRUE(std::is_sorted(sliced.progress.begin(), sliced.progress.end()));
        EXPECT_EQ(sliced.progress.back(), 100);
    }
    const DrawTable num3 = loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/Num3Data.tbl").table;
    EXPECT_EQ(num3.record(7054).dteDraw, tw::common::dateSerial({2026, 8, 21}));
    EXPECT_EQ(num3.record(7054).bytNum, (std::array<uint8_t, 5>{0, 2, 8, 6, 0}));
    EXPECT_EQ(num3.record(7054).lngMini, 10000);
    const DrawTable num4 = loadTableFile(std::string(TALLOWIND_DATA_DIR) + "/Num4Data.tbl").table;
    EXPECT_EQ(num4.record(3).bytNum, (std::array<uint8_t, 5>{0, 0, 0, 9, 7}));
    EXPECT_EQ(num4.record(3).lngStraight, 1516600);
}

// Progress by phase on the real file: 20 after reading, 20..60 by blocks while
// counting, then each parse call moves on by at most one slice of lines.
TEST(TableLoader, ProgressFollowsThePhasesAndTheSlice) {
    const std::string path = std::string(TALLOWIND_DATA_DIR) + "/Num3Data.tbl";
    TableLoader loader(path);
    loader.SetLoadSlice(200);
    loader.ReadTableBlocks();
    EXPECT_EQ(loader.LoadProgress(), 20);
    loader.ResetLineScan();
    std::vector<double> counting;
    while (!loader.IsLoadStepDone()) {
        loader.CountTableLines();
        counting.push_back(loader.LoadProgress());
    }
    EXPECT_EQ(counting.back(), 60);
    // 351366 bytes: round(10.98 + 1) = 12 blocks, so counting shows multiples of 40/12.
    for (std::size_t i = 0; i + 1 < counting.size(); ++i) {
        const double blocks = (counting[i] - 20) / 40 * 12;
        EXPECT_NEAR(blocks, std::round(blocks), 1e-9) << counting[i];
    }
    loader.ResetLineParse();
    loader.ParseTableLines();
    EXPECT_DOUBLE_EQ(loader.LoadProgress(), 60 + 200.0 / 7054 * 40);
    int calls = 1;
    while (!loader.IsLoadStepDone()) {
        loader.ParseTableLines();
        ++calls;
    }
    EXPECT_EQ(calls, 36); // 7054 lines, 200 per call
    EXPECT_EQ(loader.LoadProgress(), 100);
    EXPECT_EQ(loader.table().count, 7054);
}

// ---- files the loader refuses ----

LoadError directError(const std::string& path) {
    return loadTableFile(path).error;
}

TEST(TableLoader, MissingOrUnreadableFileIsNamed) {
    TempFolder dir;
    const LoadError missing = directError(dir.file("Num3Data.tbl"));
    EXPECT_EQ(missing.kind, LoadErrorKind::FileMissing);
    EXPECT_NE(missing.message().find("ファイル「Num3Data.tbl」が見つかりません"), std::string::npos)
        << missing.message();
    EXPECT_EQ(loadSliced(dir.file("Num3Data.tbl")).error.message(), missing.message());

    std::filesystem::create_directory(dir.file("Num4Data.tbl"));
    const LoadError folder = directError(dir.file("Num4Data.tbl"));
    EXPECT_EQ(folder.kind, LoadErrorKind::FileUnreadable);
    EXPECT_EQ(folder.message(), "ファイル「Num4Data.tbl」が読み込めません。（同じ名前のフォルダがあります）");
    const SlicedRun sliced = loadSliced(dir.file("Num4Data.tbl"));
    EXPECT_EQ(sliced.error.message(), folder.message());

    if (::geteuid() != 0) { // permissions do not bind root
        writeBytes(dir.file("Num3Data.tbl"), "1,1994/10/07,191,1,2,3,4,5\r\n");
        ::chmod(dir.file("Num3Data.tbl").c_str(), 0);
        const LoadError locked = directError(dir.file("Num3Data.tbl"));
        EXPECT_EQ(locked.message(), "ファイル「Num3Data.tbl」が読み込めません。（ファイルを開けません）");
        EXPECT_EQ(loadSliced(dir.file("Num3Data.tbl")).error.message(), locked.message());
    }
}

struct BadFile {
    std::string content;
    int line;
    const char* fault;
};

TEST(TableLoader, MalformedLineStopsTheLoadNamingFileAndLine) {
    const std::string good = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n";
    const BadFile cases[] = {
        {"\r\n", 1, "空の行です"},
        {good + good + "\r\n" + good, 3, "空の行です"},
        {good + "2,1994/10/14\r\n", 2, "項目が足りません"},
        {good + "2,1994/10/14,988,x,1,1,1,1\r\n", 2, "ストレートの金額が数字ではありません"},
        {good + "2,1994/02/30,988,1,1,1,1,1\r\n", 2, "抽選日が正しくありません「1994/02/30」"},
        {good + "2,1994/10/14,98,1,1,1,1\r\n", 2, "当選番号が 3 桁に足りません"},
        {good + "2,1994/10/14,9x8,1,1,1,1,1\r\n", 2, "当選番号に数字でない文字があります"},
        {good + "2,1994/10/14,988,1,1,1,1\r\n", 2, "ミニの金額がありません"},
        {good + "2,1994/10/14,98812,1,1,1,1\r\n", 2, "当選番号が 4 桁を超えています"},
        {good + "-2,1994/10/14,988,1,1,1,1,1\r\n", 2, "回号が負の数です"},
        {good + "2,1994/10/14,988,1,1,1,1,3000000000\r\n", 2, "ミニの金額が大きすぎます"},
    };
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.content);
        writeBytes(path, c.content);
        const LoadError direct = directError(path);
        EXPECT_EQ(direct.kind, LoadErrorKind::MalformedLine);
        EXPECT_EQ(direct.line, c.line);
        const std::string expectedStart =
            "ファイル「Num3Data.tbl」の " + std::to_string(c.line) + " 行目が読み込めません。（";
        EXPECT_EQ(direct.message().rfind(expectedStart, 0), 0u) << direct.message();
        EXPECT_NE(direct.message().find(c.fault), std::string::npos) << direct.message();
        EXPECT_EQ(loadSliced(path, 1).error.message(), direct.message());
    }
    const std::string before = readBytes(path);
    loadTableFile(path);
    EXPECT_EQ(readBytes(path), before);
}

TEST(TableLoader, RefusesMoreLinesThanTheCountsHold) {
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    std::string text;
    for (int i = 1; i <= DrawTable::kMaxRounds; ++i)
        text += num3LineOfLength(i, 48) + "\r\n";
    writeBytes(path, text);
    EXPECT_EQ(loadTableFile(path).table.count, DrawTable::kMaxRounds);
    EXPECT_EQ(loadSliced(path).table.count, DrawTable::kMaxRounds);

    writeBytes(path, text + num3LineOfLength(DrawTable::kMaxRounds + 1, 48) + "\r\n");
    const LoadError direct = directError(path);
    EXPECT_EQ(direct.kind, LoadErrorKind::TooManyLines);
    EXPECT_EQ(direct.message(), "ファイル「Num3Data.tbl」は行数が多すぎて読み込めません。（32757 行まで）");
    EXPECT_EQ(loadSliced(path).error.message(), direct.message());
}

// ---- bytes that are not CR LF lines of text ----

std::string utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

struct NotText {
    const char* name;
    std::string content;
    LoadErrorKind kind;
    int line;
    const char* says; // a piece of the message
};

// A file whose line ends were converted, a UTF-16 or binary file: before, each
// of these loaded as an empty or shortened table without a word, and the first
// save then replaced the history with the rounds entered since.
TEST(TableLoader, FilesThatAreNotCrLfLinesAreRefusedAtTheFirstBadLine) {
    const std::string good3 = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n"
                              "2,1994/10/14,988,333500,111100,222300,55500,33300\r\n";
    const std::string lf3 = "1,1994/10/07,191,119800,39900,79800,19900,11900\n"
                            "2,1994/10/14,988,333500,111100,222300,55500,33300\n";
    std::string binary;
    for (int i = 0; i < 4000; ++i)
        binary += static_cast<char>(i % 256 == '\r' || i % 256 == '\n' ? 'x' : i % 256);
    const std::vector<std::string> block = linesWithCrAt(kBlock - 1, 0);
    const std::string crAtBlockEnd = joinLines(block).substr(0, kBlock) + "3,1994/10/21,";
    const std::string wholeBlockLine = good3 + "3,1994/10/21,191," + std::string(kBlock + 10, '0') + "1,1,1,1,1\r\n";
    const NotText cases[] = {
        {"LF line ends", lf3, LoadErrorKind::LineEndLf, 1, "1 行目は CR LF ではなく LF で終わっています"},
        {"CR line ends", "1,1994/10/07,191,119800,39900,79800,19900,11900\r2,1994/10/14,988,1,1,1,1,1\r",
         LoadErrorKind::LineEndCr, 1, "1 行目は CR LF ではなく CR だけで"},
        {"an LF line after CR LF lines", good3 + lf3, LoadErrorKind::LineEndLf, 3, "3 行目"},
        {"CR CR LF", good3 + "3,1994/10/21,191,1,1,1,1,1\r\r\n", LoadErrorKind::LineEndCr, 3, "3 行目"},
        {"a lone CR as the last byte", good3 + "\r", LoadErrorKind::LineEndCr, 3, "3 行目"},
        {"a CR ending a block without LF after it", crAtBlockEnd, LoadErrorKind::LineEndCr,
         static_cast<int>(block.size()), "行目は CR LF ではなく CR だけで"},
        {"UTF-16 little endian", utf16(good3, false), LoadErrorKind::NulByte, 1, "NUL 文字"},
        {"UTF-16 big endian", utf16(good3, true), LoadErrorKind::NulByte, 1, "UTF-16"},
        {"a NUL inside a line",
         good3 + std::string("3,1994/10/21,1\0"
                             "91,1,1,1,1,1\r\n",
                             28),
         LoadErrorKind::NulByte, 3, "3 行目に NUL 文字があります"},
        {"binary without line ends", binary, LoadErrorKind::NoLineEnd, 0,
         "CR LF で終わる行がひとつもありません。（4000 バイト"},
        {"one line without its CR LF", "1,1994/10/07,191,119800,39900,79800,19900,11900", LoadErrorKind::NoLineEnd, 0,
         "ひとつもありません"},
        {"a line covering a whole block", wholeBlockLine, LoadErrorKind::MalformedLine, 3,
         "桁数が多すぎます（10 桁まで）"},
    };
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    for (const NotText& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.content);
        const LoadResult direct = loadTableFile(path);
        EXPECT_EQ(direct.error.kind, c.kind);
        EXPECT_EQ(direct.error.line, c.line);
        EXPECT_EQ(direct.error.message().rfind("ファイル「Num3Data.tbl」", 0), 0u) << direct.error.message();
        EXPECT_NE(direct.error.message().find(c.says), std::string::npos) << direct.error.message();
        for (const int slice : {1, TableLoader::kDefaultSlice})
            EXPECT_EQ(loadSliced(path, slice).error.message(), direct.error.message()) << slice;
        EXPECT_EQ(readBytes(path), c.content);
    }
}

// The block scan with blocks of a few bytes, where every line and most line
// ends cross a block boundary: the same table, error and warning as the
// whole-file path, for files that load and files that are refused.
TEST(TableLoader, TinyBlocksGiveWhatTheWholeFileGives) {
    const std::string good = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n"
                             "2,1994/10/14,988,333500,111100,222300,55500,33300\r\n";
    const std::string files[] = {
        good,
        good + "3,1994/10/21,12",                     // an unended tail
        good + "5,1994/10/21,123,1,2,3,4,5\r\n",      // a round out of line
        good + "\r",                                  // a lone CR at the end
        good + "3,1994/10/21,123,1,2,3,4,5\n",        // an LF line end
        good + std::string("3,1994/10\0/21\r\n", 15), // a NUL
        good + "3,1994/10/21,12x,1,2,3,4,5\r\n",      // a malformed line
        "\r\n\r\n",
    };
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    for (const std::string& bytes : files) {
        SCOPED_TRACE(bytes);
        writeBytes(path, bytes);
        const LoadResult direct = loadTableFile(path, tw::common::Game::Numbers3);
        for (int blockSize = 1; blockSize <= 60; ++blockSize)
            for (const int slice : {1, TableLoader::kDefaultSlice}) {
                TableLoader loader(path, tw::common::Game::Numbers3, blockSize);
                loader.SetLoadSlice(slice);
                loader.ReadTableBlocks();
                loader.ResetLineScan();
                do
                    loader.CountTableLines();
                while (!loader.IsLoadStepDone());
                if (!loader.failed()) {
                    loader.ResetLineParse();
                    do
                        loader.ParseTableLines();
                    while (!loader.IsLoadStepDone());
                }
                ASSERT_EQ(loader.error().message(), direct.error.message()) << blockSize << "/" << slice;
                if (!direct.error) {
                    ASSERT_EQ(loader.warning().message(), direct.warning.message()) << blockSize << "/" << slice;
                    expectSameTable(loader.table(), direct.table);
                }
            }
    }
}

// A file longer than any table can be is refused from its length alone: the
// sliced loader has read no block (its progress stays 0), and a sparse file of
// 1 GiB costs neither the time nor the memory of reading it.
TEST(TableLoader, OversizedFileIsRefusedBeforeItIsRead) {
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    EXPECT_EQ(kLongestLine, 80u);
    for (const uint64_t size : {kMaxTableFileBytes + 1, uint64_t{1} << 30}) {
        SCOPED_TRACE(size);
        writeBytes(path, "");
        ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(size)), 0);
        const LoadError direct = loadTableFile(path).error;
        EXPECT_EQ(direct.kind, LoadErrorKind::FileTooLarge);
        EXPECT_EQ(direct.message(), "ファイル「Num3Data.tbl」は大きすぎて抽選データの表ではありません。（" +
                                        std::to_string(size) + " バイト。2686074 バイトまで）");
        TableLoader loader(path);
        loader.ReadTableBlocks();
        EXPECT_TRUE(loader.failed());
        EXPECT_EQ(loader.LoadProgress(), 0);
        EXPECT_EQ(loader.error().message(), direct.message());
    }
    // The longest lines a table can hold fit under the limit.
    const std::string longest = "2147483647,1994/10/07,191,2147483647,2147483647,2147483647,2147483647,2147483647";
    ASSERT_EQ(longest.size(), kLongestLine);
    std::string text;
    for (int i = 0; i < DrawTable::kMaxRounds; ++i)
        text += longest + "\r\n";
    ASSERT_EQ(text.size(), kMaxTableFileBytes);
    writeBytes(path, text);
    const LoadResult full = loadTableFile(path);
    EXPECT_FALSE(full.error) << full.error.message();
    EXPECT_EQ(full.table.count, DrawTable::kMaxRounds);
}

// ---- warnings: the table loads, line n as round n, but says what it found ----

struct Suspicious {
    const char* name;
    std::string content;
    std::optional<tw::common::Game> game;
    LoadWarningKind kind;
    const char* says; // the whole message
};

TEST(TableLoader, WarnsOfTheFirstLineThatIsNotWhatItsFileSays) {
    const std::string l1 = "1,1994/10/07,191,119800,39900,79800,19900,11900\r\n";
    const std::string l2 = "2,1994/10/14,988,333500,111100,222300,55500,33300\r\n";
    const std::string l3 = "3,1994/10/21,123,1,2,3,4,5\r\n";
    const std::string four3 = "3,1994/10/21,1234,1,2,3,4\r\n";
    const std::string f1 = "1,1994/10/07,1149,942600,78500,510500,39200\r\n";
    const std::string f2three = "2,1994/10/14,792,923700,38400,481000,19200,0\r\n";
    const Suspicious cases[] = {
        {"duplicate round", l1 + l2 + "2,1994/10/21,123,1,2,3,4,5\r\n", tw::common::Game::Numbers3,
         LoadWarningKind::RoundMismatch,
         "ファイル「Num3Data.tbl」の 3 行目の回号が 2 です。行の順に第 3 回として読み込みました。"},
        {"gap", l1 + "3,1994/10/14,988,1,2,3,4,5\r\n", tw::common::Game::Numbers3, LoadWarningKind::RoundMismatch,
         "ファイル「Num3Data.tbl」の 2 行目の回号が 3 です。行の順に第 2 回として読み込みました。"},
        {"swapped rounds", "2,1994/10/14,988,1,2,3,4,5\r\n1,1994/10/07,191,1,2,3,4,5\r\n", tw::common::Game::Numbers3,
         LoadWarningKind::RoundMismatch,
         "ファイル「Num3Data.tbl」の 1 行目の回号が 2 です。行の順に第 1 回として読み込みました。"},
        {"4-digit line in the Numbers3 file", l1 + l2 + four3 + "9,x", tw::common::Game::Numbers3,
         LoadWarningKind::WrongGameShape,
         "ファイル「Num3Data.tbl」の 3 行目は 4 桁の当選番号です。（NUMBERS3 の表は 3 桁）"},
        {"3-digit line in the Numbers4 file", f1 + f2three, tw::common::Game::Numbers4, LoadWarningKind::WrongGameShape,
         "ファイル「Num3Data.tbl」の 2 行目は 3 桁の当選番号です。（NUMBERS4 の表は 4 桁）"},
        {"the earlier of two findings", l1 + "2,1994/10/14,1234,1,2,3,4\r\n" + "9,1994/10/21,123,1,2,3,4,5\r\n",
         tw::common::Game::Numbers3, LoadWarningKind::WrongGameShape,
         "ファイル「Num3Data.tbl」の 2 行目は 4 桁の当選番号です。（NUMBERS3 の表は 3 桁）"},
        {"game not given: either shape", l1 + l2 + four3, std::nullopt, LoadWarningKind::None, ""},
        {"nothing to say", l1 + l2 + l3, tw::common::Game::Numbers3, LoadWarningKind::None, ""},
    };
    TempFolder dir;
    const std::string path = dir.file("Num3Data.tbl");
    for (const Suspicious& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.content);
        const LoadResult direct = loadTableFile(path, c.game);
        ASSERT_FALSE(direct.error) << direct.error.message();
        EXPECT_EQ(direct.warning.kind, c.kind);
        EXPECT_EQ(direct.warning.message(), c.says);
        const SlicedRun sliced = loadSliced(path, 1, c.game);
        EXPECT_EQ(sliced.warning.message(), c.says);
        expectSameTable(sliced.table, direct.table);
        // Line n stays round n, whatever its round field says.
        std::size_t start = 0;
        for (int i = 1; i <= direct.table.count; ++i) {
            const std::size_t end = c.content.find("\r\n", start);
            EXPECT_EQ(direct.table.record(i), ParseTableLine(c.content.substr(start, end - start)).value()) << i;
            start = end + 2;
        }
    }
}

} // namespace
