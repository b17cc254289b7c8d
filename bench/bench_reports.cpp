// Speed of the HTML back-test report: the page writer alone (formatting, code
// page 932, one append per line) and the three files over the bundled history
// (4552 predictions through the engine's fast path).
#include "history/table_file.h"
#include "reports/hit_report.h"
#include "reports/report_file.h"
#include "reports/report_job.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string makeScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tw_bench_report_XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

// 4552 round blocks of a fixed summary into one file, as the report's rounds would.
void BM_ReportPageWriting(benchmark::State& state) {
    const std::string dir = makeScratchDir();
    tw::engine::HitSummary summary;
    summary.group1 = {15, 1, 1, 58300 + 8300};
    summary.group2 = {40, 0, 2, 16600};
    summary.third = {6, 1, 0, 10000};
    const tw::reports::HitViewTexts texts = tw::reports::viewTextsOf(summary);
    for (auto _ : state) {
        fs::remove(fs::path(dir) / "page.html");
        tw::reports::ReportFile file(dir, "page.html");
        tw::reports::HitReportPage page;
        file.appendLine(tw::reports::HitReportPage::openingLine());
        for (int r = 7054; r >= 2503; --r) {
            const auto block = page.roundBlock(r, texts);
            for (const std::string& line : *block)
                file.appendLine(line);
        }
        for (const std::string& line : page.closingLines())
            file.appendLine(line);
        benchmark::DoNotOptimize(file.linesLost());
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_ReportPageWriting)->Unit(benchmark::kMillisecond);

// The whole report over the bundled history, loading included, as `tallowind-cli report` does it.
void BM_ThreeReportFilesBundledHistory(benchmark::State& state) {
    const std::string dir = makeScratchDir();
    for (auto _ : state) {
        for (const auto& entry : fs::directory_iterator(dir))
            fs::remove(entry.path());
        const auto loaded = tw::history::loadTableFile((fs::path(TALLOWIND_DATA_DIR) / "Num3Data.tbl").string());
        if (loaded.error) {
            state.SkipWithError("cannot load the bundled history");
            break;
        }
        const auto outcome = tw::reports::writeHitReports(loaded.table, dir);
        if (outcome.error) {
            state.SkipWithError(outcome.error.describe().c_str());
            break;
        }
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_ThreeReportFilesBundledHistory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
