// tallowind-cli report: the three HTML back-test report files of the Numbers3
// history, the same bytes the main window's report button writes.
#include "cli/commands.h"
#include "history/table_file.h"
#include "reports/report_job.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: tallowind-cli report [--data-dir DIR] [--out-dir DIR]\n"
    "\n"
    "Replays the prediction of every Numbers3 round of the report's ranges and\n"
    "appends the three report pages (code page 932, CR LF) to\n"
    "  Num3_３月抽選結果.html  last round down to 2543\n"
    "  Num3_２月抽選結果.html  2542 down to 2523\n"
    "  Num3_１月抽選結果.html  2522 down to 2503\n"
    "Existing files are appended to, as the program does.\n"
    "\n"
    "  --data-dir DIR  folder holding Num3Data.tbl (default: the working directory)\n"
    "  --out-dir DIR   folder the report files go to (default: the working directory)\n";

int fail(const std::string& message) {
    std::cerr << "tallowind-cli report: " << message << "\n";
    return 2;
}

int runReport(const tw::cli::Args& args) {
    std::string dataDir = ".";
    std::string outDir = ".";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        std::string* target = a == "--data-dir" ? &dataDir : a == "--out-dir" ? &outDir : nullptr;
        if (!target)
            return fail("unknown option '" + a + "' (see tallowind-cli report --help)");
        if (i + 1 >= args.size())
            return fail(a + " needs a folder");
        *target = args[++i];
    }

    std::error_code ec;
    if (!std::filesystem::is_directory(outDir, ec))
        return fail("output folder '" + outDir + "' does not exist");

    const std::string tablePath = (std::filesystem::path(dataDir) / "Num3Data.tbl").string();
    const tw::history::LoadResult loaded = tw::history::loadTableFile(tablePath);
    if (loaded.error)
        return fail(loaded.error.message());

    const tw::reports::ReportOutcome outcome = tw::reports::writeHitReports(loaded.table, outDir);
    if (outcome.error)
        return fail(outcome.error.describe());
    if (outcome.linesLost > 0)
        return fail(std::to_string(outcome.linesLost) + " lines could not be appended in '" + outDir + "'");
    for (const tw::reports::ReportRange& r : tw::reports::reportRanges(loaded.table.count))
        std::cout << r.fileName << ": rounds " << r.newest << " down to " << r.oldest << " (" << r.roundCount()
                  << ")\n";
    return 0;
}

tw::cli::CommandRegistration reg("report", "write the three HTML back-test reports", &runReport);

} // namespace
