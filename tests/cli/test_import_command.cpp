// tallowind-cli import and export run as a program: the round trip of the
// bundled history through an export into an empty folder and into a copy cut
// short, the dry run, and the exit status of each kind of outcome together with
// what it leaves in the table file.
#include "support/file_bytes.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tw::testing::readBytes;
using tw::testing::TempFolder;
using tw::testing::writeBytes;

using Outcome = tw::testing::ProgramRun;

Outcome runCli(const std::vector<std::string>& args) {
    return tw::testing::runProgram(TALLOWIND_CLI, args);
}

std::string bundled(const std::string& name) {
    return std::string(TALLOWIND_DATA_DIR) + "/" + name;
}

std::string tableName(int game) {
    return game == 3 ? "Num3Data.tbl" : "Num4Data.tbl";
}

// The first `rounds` CR LF lines of a text.
std::string firstLines(const std::string& text, int rounds) {
    std::size_t end = 0;
    for (int i = 0; i < rounds; ++i)
        end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Export -> import into an empty folder gives the bundled file byte for byte,
// for both games and both layouts; the export to stdout is the same bytes as
// the one to a file.
TEST(CliImport, RoundTripIntoAnEmptyFolder) {
    for (const int game : {3, 4}) {
        for (const std::string format : {"csv", "json"}) {
            SCOPED_TRACE(std::to_string(game) + " " + format);
            TempFolder folder;
            const std::string exported = folder.file("export." + format);
            const Outcome ex = runCli({"export", "--game", std::to_string(game), "--data-dir", TALLOWIND_DATA_DIR,
                                       "--format", format, "--out", exported});
            ASSERT_EQ(ex.status, 0) << ex.err;
            EXPECT_EQ(ex.out, "");
            const Outcome toStdout = runCli(
                {"export", "--game", std::to_string(game), "--data-dir", TALLOWIND_DATA_DIR, "--format=" + format});
            EXPECT_EQ(toStdout.status, 0);
            EXPECT_TRUE(toStdout.out == readBytes(exported));

            fs::create_directories(folder.path() / "empty");
            const std::string empty = folder.file("empty");
            const Outcome im = runCli({"import", "--game", std::to_string(game), "--data-dir", empty, exported});
            ASSERT_EQ(im.status, 0) << im.out << im.err;
            EXPECT_TRUE(contains(im.out, "新規 7054 回")) << im.out;
            EXPECT_TRUE(readBytes(folder.file("empty/" + tableName(game))) == readBytes(bundled(tableName(game))));
        }
    }
}

// The history cut at round 6900 brought up to date from an export of all
// rounds; a second import of the same file has nothing to do and writes nothing.
TEST(CliImport, HistoryCutAt6900) {
    TempFolder folder;
    const std::string exported = folder.file("num3.csv");
    ASSERT_EQ(runCli({"export", "--game", "3", "--data-dir", TALLOWIND_DATA_DIR, "--out", exported}).status, 0);
    writeBytes(folder.file("Num3Data.tbl"), firstLines(readBytes(bundled("Num3Data.tbl")), 6900));
    writeBytes(folder.file("Num4Data.tbl"), readBytes(bundled("Num4Data.tbl")));

    const Outcome first = runCli({"import", "--game", "3", "--data-dir", folder.path().string(), exported});
    ASSERT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_TRUE(contains(first.out, "6900 回 → 7054 回")) << first.out;
    EXPECT_TRUE(contains(first.out, "新規 154 回、訂正 0 回、変更なし 6900 回、取り込めない行 0 行")) << first.out;
    EXPECT_TRUE(contains(first.out, "書き込みました")) << first.out;
    EXPECT_TRUE(readBytes(folder.file("Num3Data.tbl")) == readBytes(bundled("Num3Data.tbl")));

    const auto before = fs::last_write_time(folder.path() / "Num3Data.tbl");
    const Outcome again = runCli({"import", "--game", "3", "--data-dir", folder.path().string(), exported});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(contains(again.out, "新規 0 回")) << again.out;
    EXPECT_TRUE(contains(again.out, "取り込む回はありません")) << again.out;
    EXPECT_EQ(fs::last_write_time(folder.path() / "Num3Data.tbl"), before);
    EXPECT_TRUE(readBytes(folder.file("Num3Data.tbl")) == readBytes(bundled("Num3Data.tbl")));
}

// --dry-run reports what the import would do and leaves the folder alone, in
// either output form.
TEST(CliImport, DryRunWritesNothing) {
    TempFolder folder;
    const std::string exported = folder.file("num4.json");
    ASSERT_EQ(runCli({"export", "--game", "4", "--data-dir", TALLOWIND_DATA_DIR, "--format", "json", "--out", exported})
                  .status,
              0);
    const std::string cut = firstLines(readBytes(bundled("Num4Data.tbl")), 7000);
    writeBytes(folder.file("Num4Data.tbl"), cut);
    const std::vector<std::string> entries = folder.entries();

    const Outcome text = runCli({"import", "--game", "4", "--dry-run", "--data-dir", folder.path().string(), exported});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(contains(text.out, "新規 54 回")) << text.out;
    EXPECT_TRUE(contains(text.out, "書き込みませんでした")) << text.out;

    const Outcome json =
        runCli({"import", "--game=4", "--json", "--dry-run", "--data-dir", folder.path().string(), exported});
    EXPECT_EQ(json.status, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["counts"]["added"], 54);
    EXPECT_EQ(j["counts"]["unchanged"], 7000);
    EXPECT_EQ(j["rounds_after"], 7054);
    EXPECT_EQ(j["format"], "json");
    EXPECT_EQ(j["dry_run"], true);
    EXPECT_EQ(j["written"], false);

    EXPECT_TRUE(readBytes(folder.file("Num4Data.tbl")) == cut);
    EXPECT_EQ(folder.entries(), entries);
}

// A small history of five rounds and hand-made files over it: each outcome with
// its exit status and the table file it leaves.
TEST(CliImport, ExitStatusAndWhatIsWritten) {
    const std::string all = readBytes(bundled("Num3Data.tbl"));
    const std::string five = firstLines(all, 5);
    const std::string header = "draw_no,draw_date,winning_number,straight_payout,box_payout,set_straight_payout,"
                               "set_box_payout,mini_payout\r\n";
    // Rounds 3, 6, 7 and 8 of the bundled history, as the export writes them.
    const std::string r3 = "3,1994-10-21,194,71700,11900,41800,5900,7100\r\n";
    const std::string r6 = "6,1994-11-11,792,102600,17100,59800,8500,10200\r\n";
    const std::string r7 = "7,1994-11-18,708,149100,24800,86900,12400,14900\r\n";
    const std::string r8 = "8,1994-11-25,234,58200,9700,33900,4800,5800\r\n";
    const std::string six = firstLines(all, 6), seven = firstLines(all, 7);
    ASSERT_EQ(firstLines(all, 8), five + "6,1994/11/11,792,102600,17100,59800,8500,10200\r\n" +
                                      "7,1994/11/18,708,149100,24800,86900,12400,14900\r\n" +
                                      "8,1994/11/25,234,58200,9700,33900,4800,5800\r\n")
        << "the rounds the cases are made of are not the bundled ones";
    const std::string r3Corrected = "3,1994-10-21,194,71800,11900,41800,5900,7100\r\n";
    const std::string r6NoPrizes = "6,1994-11-11,792,,,,,\r\n";
    const std::string six0 = five + "6,1994/11/11,792,0,0,0,0,0\r\n";
    std::string five3 = five;
    five3.replace(five3.find(",71700,"), 7, ",71800,");

    struct Case {
        const char* what;
        std::string file; // written as import.csv; empty: no file
        std::vector<std::string> options;
        int status;
        std::string table; // the table file afterwards
        std::string says;  // a part of stdout (status 0 and 1) or stderr (status 2)
    };
    const Case cases[] = {
        {"new rounds", header + r6 + r7, {}, 0, seven, "書き込みました"},
        {"stored rounds only", header + r3, {}, 0, five, "取り込む回はありません"},
        {"a gap: the rounds before it are imported", header + r6 + r8, {}, 1, six, "取り込める回は取り込みました"},
        {"a gap right after the history", header + r7 + r8, {}, 1, five, "取り込めない行"},
        {"a correction not accepted", header + r3Corrected, {}, 0, five, "--accept-corrections"},
        {"a correction accepted", header + r3Corrected, {"--accept-corrections"}, 0, five3, "71,700 → 71,800"},
        {"no prizes, not allowed", header + r6NoPrizes, {}, 1, five, "取り込めない行"},
        {"no prizes, allowed", header + r6NoPrizes, {"--allow-missing-prizes"}, 0, six0, "金額なし"},
        {"the round column missing", "draw_date,winning_number\r\n1994-11-11,792\r\n", {}, 2, five, "回号"},
        {"no such file", "", {}, 2, five, "import.csv"},
        {"the wrong game", header + r6, {"--game", "5"}, 2, five, "--game must be 3 or 4, not '5'"},
        {"an unknown option", header + r6, {"--force"}, 2, five, "unknown option '--force'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        writeBytes(folder.file("Num3Data.tbl"), five);
        const std::string file = folder.file("import.csv");
        if (!c.file.empty())
            writeBytes(file, c.file);
        std::vector<std::string> args = {"import", "--data-dir", folder.path().string()};
        if (std::find(c.options.begin(), c.options.end(), "--game") == c.options.end())
            args.insert(args.end(), {"--game", "3"});
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(file);
        const Outcome o = runCli(args);
        EXPECT_EQ(o.status, c.status) << o.out << o.err;
        EXPECT_TRUE(contains(c.status == 2 ? o.err : o.out, c.says)) << o.out << o.err;
        if (c.status == 2) {
            EXPECT_EQ(o.out, "");
            EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        }
        EXPECT_EQ(readBytes(folder.file("Num3Data.tbl")), c.table);
    }
}

TEST(CliImport, RefusedInvocations) {
    TempFolder folder;
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"import", "--game", "3"}, "the file to import is missing"},
        {{"import", "a.csv"}, "--game 3|4 is required"},
        {{"import", "--game", "3", "a.csv", "b.csv"}, "unexpected argument 'b.csv'"},
        {{"export", "--game", "3", "--format", "xml"}, "--format must be csv or json, not 'xml'"},
        {{"export", "--game", "4", "--data-dir", folder.path().string()}, "Num4Data.tbl"},
        {{"export"}, "--game 3|4 is required"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Outcome o = runCli(c.args);
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_TRUE(contains(o.err, c.error)) << o.err;
    }
}

} // namespace
