// tallowind-cli report: options, one-line errors with exit status 2 and nothing
// written, and on success the same bytes the report job writes in-process.
#include "history/table_file.h"
#include "reports/report_job.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using tw::testing::readBytes;
using tw::testing::TempFolder;

const fs::path kGoldenDir = fs::path(TALLOWIND_TEST_DATA_DIR) / "reports";

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

// Runs the tool in `workDir` with the arguments (already quoted where needed).
CliRun runCli(const std::string& workDir, const std::string& args, const std::string& captureDir) {
    const std::string out = (fs::path(captureDir) / "stdout.txt").string();
    const std::string err = (fs::path(captureDir) / "stderr.txt").string();
    const std::string command = "cd " + quoted(workDir) + " && " + quoted(TALLOWIND_CLI) + " report " + args + " >" +
                                quoted(out) + " 2>" + quoted(err);
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readBytes(out);
    run.err = readBytes(err);
    return run;
}

int countLines(const std::string& s) {
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

// A Numbers3 table file of `count` rounds with varying digits.
void writeHistory(const fs::path& path, int count) {
    tw::history::DrawTable table;
    for (int r = 1; r <= count; ++r) {
        tw::history::NumData rec;
        rec.dteDraw = 36000 + 7 * r;
        rec.bytNum = {0, static_cast<uint8_t>(r * 7 % 10), static_cast<uint8_t>(r * 3 / 10 % 10),
                      static_cast<uint8_t>(r / 100 % 10), 0};
        rec.lngStraight = 90000;
        rec.lngBox = 15000;
        rec.lngSetStraight = 45000;
        rec.lngSetBox = 7500;
        rec.lngMini = 9000;
        ASSERT_TRUE(table.store(r, rec));
    }
    std::string text;
    for (int r = 1; r <= count; ++r)
        text += tw::history::FormatTableLine(table.record(r), r, tw::common::Game::Numbers3) + "\r\n";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

TEST(ReportCli, RefusalsAreOneLineWithStatusTwoAndWriteNothing) {
    TempFolder work, capture;
    fs::copy_file(kGoldenDir / "job_small" / "Num3Data.tbl", fs::path(work.path()) / "Num3Data.tbl");
    const std::string out = (fs::path(work.path()) / "out").string();
    fs::create_directory(out);
    struct Case {
        const char* what;
        std::string args;
        const char* needle; // a word the message must carry
    };
    const Case cases[] = {
        {"history of 6 rounds", "--out-dir " + quoted(out), "2542"},
        {"no table file", "--data-dir " + quoted(out) + " --out-dir " + quoted(out), "Num3Data.tbl"},
        {"missing output folder", "--out-dir " + quoted(out + "/none"), "none"},
        {"unknown option", "--out " + quoted(out), "--out"},
        {"option without its folder", "--data-dir", "--data-dir"},
        {"option given twice", "--out-dir " + quoted(out) + " --out-dir=" + quoted(out), "--out-dir is given twice"},
        {"empty table", "--data-dir " + quoted(out + "/empty") + " --out-dir " + quoted(out), "holds no rounds"},
    };
    fs::create_directory(out + "/empty");
    std::ofstream(out + "/empty/Num3Data.tbl").flush();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runCli(work.path(), c.args, capture.path());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(countLines(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(c.needle), std::string::npos) << run.err;
        EXPECT_EQ(fs::directory_iterator(out)->path().filename(), "empty");
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    }
}

TEST(ReportCli, HelpDescribesTheOptions) {
    TempFolder work, capture;
    const CliRun run = runCli(work.path(), "--help", capture.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--data-dir DIR"), std::string::npos);
    EXPECT_NE(run.out.find("--out-dir DIR"), std::string::npos);
    EXPECT_TRUE(run.err.empty());
}

TEST(ReportCli, WritesTheJobsBytesIntoTheWorkingDirectory) {
    TempFolder work, capture, inProcess;
    writeHistory(fs::path(work.path()) / "Num3Data.tbl", 2546);
    // Options may also be written --name=value.
    const CliRun run = runCli(work.path(), "--data-dir=. --out-dir=.", capture.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const auto loaded = tw::history::loadTableFile((fs::path(work.path()) / "Num3Data.tbl").string());
    ASSERT_FALSE(loaded.error) << loaded.error.message();
    const auto outcome = tw::reports::writeHitReports(loaded.table, inProcess.path());
    ASSERT_FALSE(outcome.error) << outcome.error.describe();
    for (const tw::reports::ReportRange& r : tw::reports::reportRanges(2546)) {
        const std::string bytes = readBytes(fs::path(work.path()) / r.fileName);
        EXPECT_FALSE(bytes.empty()) << r.fileName;
        EXPECT_EQ(bytes, readBytes(fs::path(inProcess.path()) / r.fileName)) << r.fileName;
    }
}

} // namespace
