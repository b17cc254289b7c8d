#include "selection/user_select_file.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace {

using tw::selection::ReadUserSelectFile;
using tw::selection::WriteUserSelectFile;
using tw::testing::TempFolder;

const std::string kNum3File = "NUMBERS３ユーザー選出.dat";
const std::string kNum4File = "NUMBERS４ユーザー選出.dat";

std::vector<std::string> numberedEntries(int count) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back("A00@" + std::to_string(100 + i));
    return entries;
}

TEST(UserSelectFile, FileNamesCarryTheFullWidthDigit) {
    EXPECT_EQ(tw::selection::userSelectFileName(tw::common::Game::Numbers3), kNum3File);
    EXPECT_EQ(tw::selection::userSelectFileName(tw::common::Game::Numbers4), kNum4File);
}

TEST(UserSelectFile, LayoutIsRoundLineThenTwentyEntriesPerLine) {
    struct Case {
        int entries;
        std::vector<int> perLine; // entries on the lines after the round line
    };
    const Case cases[] = {{0, {}}, {1, {1}}, {20, {20}}, {21, {20, 1}}, {40, {20, 20}}, {41, {20, 20, 1}}};
    for (const auto& c : cases) {
        TempFolder dir;
        const auto entries = numberedEntries(c.entries);
        ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545, entries));

        std::string expected = "2545\r\n";
        std::size_t next = 0;
        for (int n : c.perLine) {
            for (int k = 0; k < n; ++k)
                expected += (k ? "," : "") + entries[next++];
            expected += "\r\n";
        }
        EXPECT_EQ(dir.read(kNum3File), expected) << c.entries << " entries";

        const auto back = ReadUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545);
        EXPECT_TRUE(back.ok);
        EXPECT_EQ(back.entries, entries) << c.entries << " entries";
    }
}

TEST(UserSelectFile, TheTwoGamesUseSeparateFiles) {
    TempFolder dir;
    ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 100, {"A00@123"}));
    ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers4, 200, {"C00@0456"}));
    EXPECT_EQ(dir.read(kNum3File), "100\r\nA00@123\r\n");
    EXPECT_EQ(dir.read(kNum4File), "200\r\nC00@0456\r\n");
    EXPECT_EQ(ReadUserSelectFile(dir.str(), tw::common::Game::Numbers4, 200).entries,
              std::vector<std::string>{"C00@0456"});
    EXPECT_FALSE(ReadUserSelectFile(dir.str(), tw::common::Game::Numbers4, 100).ok);
}

TEST(UserSelectFile, ANewRoundReplacesTheOldFileWithoutLeftovers) {
    TempFolder dir;
    ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545, numberedEntries(30)));
    ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2546, {"B00@007"}));
    EXPECT_EQ(dir.read(kNum3File), "2546\r\nB00@007\r\n");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(UserSelectFile, AFailedWriteKeepsThePreviousSelection) {
    TempFolder dir;
    ASSERT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545, {"A00@123", "MIN@*23"}));
    const std::string before = dir.read(kNum3File);
    // Stopped after the new file is complete and before it replaces the old one.
    tw::selection::setUserSelectReplaceHookForTests([] { return false; });
    EXPECT_FALSE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2546, {"B00@999"}));
    tw::selection::setUserSelectReplaceHookForTests(nullptr);
    EXPECT_EQ(dir.read(kNum3File), before);
    EXPECT_TRUE(ReadUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545).ok);

    // A folder left under the old temporary name no longer stands in the way.
    std::filesystem::create_directory(dir.path() / (kNum3File + ".tmp"));
    EXPECT_TRUE(WriteUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2546, {"B00@999"}));
    EXPECT_EQ(dir.read(kNum3File), "2546\r\nB00@999\r\n");
}

TEST(UserSelectFile, WritingIntoAMissingFolderFails) {
    TempFolder dir;
    const tw::common::ReplaceResult result =
        WriteUserSelectFile((dir.path() / "absent").string(), tw::common::Game::Numbers3, 1, {"A00@123"});
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, ENOENT);
    EXPECT_EQ(result.step, tw::common::ReplaceResult::Step::CreateTemporary);
}

TEST(UserSelectFile, FilesThatHoldNoSelectionOfTheRoundReadAsNothing) {
    struct Case {
        const char* what;
        std::string content;
    };
    const Case cases[] = {
        {"another round", "2544\r\nA00@123\r\n"},
        {"empty file", ""},
        {"round line not a number", "abc\r\nA00@123\r\n"},
        {"round line with trailing text", "2545x\r\nA00@123\r\n"},
        {"round that equals only when cut to 16 bits", "68081\r\nA00@123\r\n"}, // 2545 + 65536
    };
    for (const auto& c : cases) {
        TempFolder dir;
        dir.write(kNum3File, c.content);
        const auto r = ReadUserSelectFile(dir.str(), tw::common::Game::Numbers3, 2545);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_TRUE(r.entries.empty()) << c.what;
    }
}

TEST(UserSelectFile, MissingOrUnreadableFileReadsAsNothing) {
    TempFolder dir;
    EXPECT_FALSE(ReadUserSelectFile(dir.str(), tw::common::Game::Numbers3, 1).ok);
    std::filesystem::create_directory(dir.path() / kNum4File); // a folder in the file's place
    const auto r = ReadUserSelectFile(dir.str(), tw::common::Game::Numbers4, 1);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.entries.empty());
}

TEST(UserSelectFile, ReadingSplitsFieldsAndSkipsEmptyOnes) {
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"round only", "7\r\n", {}},
        {"empty fields", "7\r\n,A00@123,,017@456,\r\n\r\nMIN@*56\r\n", {"A00@123", "017@456", "MIN@*56"}},
        {"bare LF line ends", "7\nA00@123,B00@456\nMIN@*01\n", {"A00@123", "B00@456", "MIN@*01"}},
        {"last line cut short", "7\r\nA00@123,B00@4", {"A00@123", "B00@4"}},
        {"round line with blanks", " 7 \r\nA00@123\r\n", {"A00@123"}},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        dir.write(kNum3File, c.content);
        const auto r = ReadUserSelectFile(dir.str(), tw::common::Game::Numbers3, 7);
        EXPECT_TRUE(r.ok) << c.what;
        EXPECT_EQ(r.entries, c.entries) << c.what;
    }
}

} // namespace
