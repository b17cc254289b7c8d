// The test support library itself: the temporary folder and whole-file bytes
// that every file-writing test relies on, the fixed clock, and running a
// program as the command tests do.
#include "support/file_bytes.h"
#include "support/fixed_clock.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using tw::testing::readBytes;
using tw::testing::TempFolder;
using tw::testing::writeBytes;

TEST(TempFolder, IsFreshPerObjectAndGoesWithEverythingInIt) {
    fs::path kept;
    {
        TempFolder a;
        TempFolder b;
        ASSERT_TRUE(fs::is_directory(a.path()));
        EXPECT_NE(a.path(), b.path());
        EXPECT_TRUE(a.entries().empty());
        a.write("x.txt", "x");
        fs::create_directory(a.path() / "sub");
        writeBytes(a.path() / "sub" / "y.txt", "y");
        kept = a.path();
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(TempFolder, FilesAreNamedReadAndListedInside) {
    TempFolder folder;
    folder.write("b.tbl", "2");
    folder.write("a.tbl", "1");
    EXPECT_EQ(folder.file("a.tbl"), (folder.path() / "a.tbl").string());
    EXPECT_EQ(folder.read("a.tbl"), "1");
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"a.tbl", "b.tbl"}));
    folder.write("a.tbl", "replaced");
    EXPECT_EQ(folder.read("a.tbl"), "replaced");
}

TEST(FileBytes, EveryByteComesBackAsWritten) {
    TempFolder folder;
    // A table line, two cp932 bytes, a NUL, an end-of-file mark and a bare LF.
    const std::string bytes = std::string("1,1994/10/07,191\r\n\x82\xA0") + std::string(1, '\0') + "\x1A" + "\n";
    ASSERT_EQ(bytes.size(), std::size_t{23});
    ASSERT_TRUE(writeBytes(folder.path() / "t.bin", bytes));
    EXPECT_EQ(readBytes(folder.path() / "t.bin"), bytes);
    EXPECT_EQ(fs::file_size(folder.path() / "t.bin"), bytes.size());
}

TEST(FileBytes, AMissingFileReadsEmptyAndAMissingFolderCannotBeWritten) {
    TempFolder folder;
    EXPECT_EQ(readBytes(folder.path() / "none.tbl"), "");
    EXPECT_FALSE(writeBytes(folder.path() / "no-such-folder" / "x.tbl", "x"));
}

TEST(FixedClock, IsTheAgreedMomentInUtc) {
    using namespace std::chrono;
    const auto now = tw::testing::fixedSystemNow();
    EXPECT_EQ(floor<days>(now), sys_days{year{2026} / 8 / 21});
    EXPECT_EQ(now - floor<days>(now), hours{12});
}

// Arguments reach the program as they are, quotes and spaces included, and the
// two output streams stay apart.
TEST(RunProgram, PassesArgumentsAsTheyAreAndKeepsTheStreamsApart) {
    const tw::testing::ProgramRun run =
        tw::testing::runProgram("sh", {"-c", "printf '%s|' \"$@\"; echo problem >&2; exit 3", "sh", "it's", "a b", ""});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "it's|a b||");
    EXPECT_EQ(run.err, "problem\n");
    EXPECT_EQ(tw::testing::runProgram("/no/such/program", {}).status, 127);
}

TEST(RunProgram, OneLineRefusalIsStatusTwoAndOneLineOnStandardError) {
    struct Case {
        const char* script;
        bool refusal;
    };
    const Case cases[] = {
        {"echo 'tallowind-cli x: bad option' >&2; exit 2", true},
        {"echo 'bad option' >&2; exit 1", false},           // another status
        {"echo out; echo 'bad option' >&2; exit 2", false}, // something on stdout
        {"printf 'one\\ntwo\\n' >&2; exit 2", false},       // two lines
        {"printf 'no line end' >&2; exit 2", false},
        {"exit 2", false}, // nothing said
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string problem = tw::testing::oneLineRefusalProblem(tw::testing::runProgram("sh", {"-c", c.script}));
        EXPECT_EQ(problem.empty(), c.refusal) << problem;
    }
}
