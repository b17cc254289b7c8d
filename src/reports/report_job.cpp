#include "reports/report_job.h"

#include <utility>

namespace tw::reports {

std::vector<ReportRange> reportRanges(int lastRound) {
    return {
        {"Num3_３月抽選結果.html", lastRound, 2543},
        {"Num3_２月抽選結果.html", 2542, 2523},
        {"Num3_１月抽選結果.html", 2522, 2503},
    };
}

std::string ReportError::describe() const {
    switch (kind) {
    case ReportErrorKind::None:
        return "no error";
    case ReportErrorKind::HistoryTooShort:
        return "the Numbers3 history holds " + std::to_string(round) + " rounds; the report needs at least " +
               std::to_string(kReportMinRounds);
    case ReportErrorKind::PredictionFailed:
        return "the prediction of round " + std::to_string(round) + " failed (" +
               (engineError == engine::EngineError::None ? "no proposal" : engine::errorText(engineError)) + ")";
    case ReportErrorKind::TotalOverflow:
        return "a total of the report no longer fits in 32 bits at round " + std::to_string(round);
    }
    return "unknown error";
}

HitReportJob::HitReportJob(const history::DrawTable& table, std::string dir, std::vector<ReportRange> ranges,
                           Predictor predictor)
    : m_table(table), m_dir(std::move(dir)), m_ranges(std::move(ranges)), m_predictor(std::move(predictor)) {
    for (const ReportRange& r : m_ranges)
        m_roundsTotal += r.roundCount();
}

int HitReportJob::linesLost() const {
    return m_linesLostBefore + (m_file ? m_file->linesLost() : 0);
}

void HitReportJob::finishFile() {
    for (const std::string& line : m_page.closingLines())
        m_file->appendLine(line);
    m_file->commit();
    m_linesLostBefore += m_file->linesLost();
    m_file.reset();
    ++m_rangeIndex;
}

void HitReportJob::beginFile() {
    const ReportRange& range = m_ranges[m_rangeIndex];
    m_file.emplace(m_dir, range.fileName);
    m_page = HitReportPage();
    m_file->appendLine(HitReportPage::openingLine());
    m_nextRound = range.newest;
}

void HitReportJob::writeEmptyRanges() {
    // A range without rounds holds only the frame, the headings and zero totals.
    while (!done() && m_ranges[m_rangeIndex].roundCount() == 0) {
        beginFile();
        finishFile();
    }
}

ReportError HitReportJob::step() {
    writeEmptyRanges();
    if (done())
        return {};
    if (!m_file)
        beginFile();

    const int round = m_nextRound;
    const Prediction prediction = m_predictor(round - 1);
    if (!prediction.proposal) {
        m_failed = true;
        return {ReportErrorKind::PredictionFailed, round, prediction.error};
    }
    engine::EngineError summaryError = engine::EngineError::None;
    const engine::HitSummary summary =
        engine::summarizeHits(*prediction.proposal, m_table.record(round), common::Game::Numbers3, &summaryError);
    const auto block =
        summaryError == engine::EngineError::None ? m_page.roundBlock(round, viewTextsOf(summary)) : std::nullopt;
    if (!block) {
        m_failed = true;
        return {ReportErrorKind::TotalOverflow, round, engine::EngineError::None};
    }
    for (const std::string& line : *block)
        m_file->appendLine(line);
    ++m_roundsDone;
    if (--m_nextRound < m_ranges[m_rangeIndex].oldest) {
        finishFile();
        writeEmptyRanges(); // so that the job is done right after its last round
    }
    return {};
}

StartedReport startHitReports(const history::DrawTable& num3, const std::string& dir, Predictor predictor) {
    if (num3.count < kReportMinRounds)
        return {nullptr, {ReportErrorKind::HistoryTooShort, num3.count, engine::EngineError::None}};
    if (!predictor)
        predictor = engine::fastPredictor(num3, common::Game::Numbers3);
    return {std::make_unique<HitReportJob>(num3, dir, reportRanges(num3.count), std::move(predictor)), {}};
}

ReportOutcome writeHitReports(const history::DrawTable& num3, const std::string& dir,
                              const std::function<void(int done, int total)>& progress, Predictor predictor) {
    StartedReport started = startHitReports(num3, dir, std::move(predictor));
    if (!started.job)
        return {started.error, 0};
    HitReportJob& job = *started.job;
    while (!job.done()) {
        if (const ReportError error = job.step())
            return {error, job.linesLost()};
        if (progress)
            progress(job.roundsDone(), job.roundsTotal());
    }
    return {{}, job.linesLost()};
}

} // namespace tw::reports
