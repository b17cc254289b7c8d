// The progress window of the back-test report: writes the three report files
// round after round from a timer, showing a determinate bar over the rounds, so
// the program stays responsive while thousands of predictions are replayed.
#pragma once

#include "reports/report_job.h"

#include <QDialog>

#include <memory>

class QLabel;
class QProgressBar;
class QTimer;

namespace tw::reports {

class ReportProgressDialog : public QDialog {
    Q_OBJECT
public:
    // `job` must have been started (not refused); the table it reads must outlive the dialog.
    ReportProgressDialog(std::unique_ptr<HitReportJob> job, QWidget* parent = nullptr);

    // What went wrong, when exec() returned Rejected.
    const ReportError& error() const { return m_error; }
    const HitReportJob& job() const { return *m_job; }

    // Test seam: rounds written per timer tick (the shipped value keeps a tick short).
    void setRoundsPerTick(int rounds) { m_roundsPerTick = rounds; }

private:
    void writeSome();

    std::unique_ptr<HitReportJob> m_job;
    ReportError m_error;
    QProgressBar* m_bar = nullptr;
    QLabel* m_label = nullptr;
    QTimer* m_timer = nullptr;
    int m_roundsPerTick = 40;
};

// Runs the whole report into `dir` with the progress window. A history too short
// for the report's ranges, or a failure on the way, is reported in a message box.
// Returns the job's ranges when all three files were written, empty otherwise.
std::vector<ReportRange> runHitReportWithProgress(const history::DrawTable& num3, const QString& dir, QWidget* parent);

} // namespace tw::reports
