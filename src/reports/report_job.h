// The back-test report over the Numbers3 history: three files with fixed round
// ranges, each round replayed as a prediction of that round from the rounds
// before it and summarised as the prediction view would show it.
//
// The job is a step machine (one round per step) so that a window can drive it
// from a timer and show progress; writeHitReports runs it to the end for
// headless callers. The proposals come from a Predictor, by default the engine's
// fast predictor over tables built once for the whole history. Owns no window and no
// Qt; each file's page is built in memory and appended to its file in the given
// folder only once it is complete, so a job that stops part way leaves the file
// it was on as it found it.
#pragma once

#include "engine/engine.h"
#include "engine/fast_predictor.h"
#include "history/num_data.h"
#include "reports/hit_report.h"
#include "reports/report_file.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw::reports {

// One report file and its rounds, newest first; newest < oldest means no round.
struct ReportRange {
    std::string fileName; // UTF-8
    int newest = 0;
    int oldest = 0;
    int roundCount() const { return newest >= oldest ? newest - oldest + 1 : 0; }
};

// The report needs every round of its two fixed twenty-round ranges.
inline constexpr int kReportMinRounds = 2542;

// The three files in the order they are written, for a history whose last round is lastRound.
std::vector<ReportRange> reportRanges(int lastRound);

// The proposals come from the engine's predictor type (a test hands in its own).
using Prediction = engine::RoundPrediction;
using Predictor = engine::RoundPredictor;

enum class ReportErrorKind {
    None,
    HistoryTooShort,  // fewer Numbers3 rounds than the fixed ranges need
    PredictionFailed, // the engine refused a round
    TotalOverflow,    // a round's prize money or a page total would leave 32 bits
};

struct ReportError {
    ReportErrorKind kind = ReportErrorKind::None;
    int round = 0; // the round concerned, or the history's count
    engine::EngineError engineError = engine::EngineError::None;
    explicit operator bool() const { return kind != ReportErrorKind::None; }
    std::string describe() const; // one English sentence for logs and the command line
};

class HitReportJob {
public:
    // Writes the given ranges into `dir` in order. `table` must outlive the job.
    HitReportJob(const history::DrawTable& table, std::string dir, std::vector<ReportRange> ranges,
                 Predictor predictor);

    // Adds one round to the page of its file, with the opening lines before it
    // and, when it is the last round of its file, the closing lines after it and
    // the page appended to the file; files without a round are written whole on
    // the way. An error stops the job where it is, and the page in hand is dropped.
    ReportError step();

    bool done() const { return m_failed || m_rangeIndex >= m_ranges.size(); }
    int roundsDone() const { return m_roundsDone; }
    int roundsTotal() const { return m_roundsTotal; }
    int linesLost() const; // lines that could not be appended, over all files so far
    const std::vector<ReportRange>& ranges() const { return m_ranges; }

private:
    void beginFile();
    void finishFile();
    void writeEmptyRanges();

    const history::DrawTable& m_table;
    std::string m_dir;
    std::vector<ReportRange> m_ranges;
    Predictor m_predictor;
    std::size_t m_rangeIndex = 0;
    int m_nextRound = 0;
    std::optional<ReportFile> m_file;
    HitReportPage m_page;
    int m_linesLostBefore = 0;
    int m_roundsDone = 0;
    int m_roundsTotal = 0;
    bool m_failed = false;
};

// The three report files of a Numbers3 history into `dir`. Refuses a history
// shorter than kReportMinRounds before anything is written.
struct StartedReport {
    std::unique_ptr<HitReportJob> job; // null when refused
    ReportError error;
};
StartedReport startHitReports(const history::DrawTable& num3, const std::string& dir, Predictor predictor = {});

// Runs the three files to the end; `progress` (optional) is called after every
// round with the rounds done and the total.
struct ReportOutcome {
    ReportError error;
    int linesLost = 0; // lines that could not be appended (lost, as the report allows)
};
ReportOutcome writeHitReports(const history::DrawTable& num3, const std::string& dir,
                              const std::function<void(int done, int total)>& progress = {}, Predictor predictor = {});

} // namespace tw::reports
