// tallowind-cli report: the three HTML back-test report files of the Numbers3
// history, the same bytes the main window's report button writes.
#include "cli/command_history.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "reports/report_job.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

constexpr const char* kUsage = "usage: tallowind-cli report [--data-dir DIR] [--out-dir DIR]\n"
                               "\n"
                               "Replays the prediction of every Numbers3 round of the report's ranges and\n"
                               "appends the three report pages (code page 932, CR LF) to\n"
                               "  Num3_３月抽選結果.html  last round down to 2543\n"
                               "  Num3_２月抽選結果.html  2542 down to 2523\n"
                               "  Num3_１月抽選結果.html  2522 down to 2503\n"
                               "Existing files are appended to, as the program does.\n"
                               "\n"
                               "  --data-dir DIR  folder holding Num3Data.tbl (default: the working directory)\n"
                               "  --out-dir DIR   folder the report files go to (default: the working directory)\n"
                               "Options may also be written --name=value; each may be given once.\n";

int fail(const std::string& message) {
    return tw::cli::refuse("report", message);
}

int runReport(const tw::cli::Args& args) {
    const tw::cli::ParsedOptions options = tw::cli::parseOptions(args, {{"--data-dir"}, {"--out-dir"}}, "report");
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (!options.error.empty())
        return fail(options.error);
    const std::string dataDir = options.value("--data-dir", ".");
    const std::string outDir = options.value("--out-dir", ".");

    std::error_code ec;
    if (!std::filesystem::is_directory(outDir, ec))
        return fail("output folder '" + outDir + "' does not exist");

    const std::optional<tw::cli::CommandHistory> history =
        tw::cli::readHistory("report", dataDir, tw::common::Game::Numbers3);
    if (!history)
        return 2;
    if (history->table.count < tw::reports::kReportMinRounds)
        return fail("the history file '" + history->path + "' holds " + std::to_string(history->table.count) +
                    " rounds; the report needs at least " + std::to_string(tw::reports::kReportMinRounds));

    const tw::reports::ReportOutcome outcome = tw::reports::writeHitReports(history->table, outDir);
    if (outcome.error)
        return fail(outcome.error.describe());
    if (outcome.linesLost > 0)
        return fail(std::to_string(outcome.linesLost) + " lines could not be appended in '" + outDir + "'");
    for (const tw::reports::ReportRange& r : tw::reports::reportRanges(history->table.count))
        std::cout << r.fileName << ": rounds " << r.newest << " down to " << r.oldest << " (" << r.roundCount()
                  << ")\n";
    return 0;
}

tw::cli::CommandRegistration reg("report", "write the three HTML back-test reports", &runReport);

} // namespace
