// The back-test window 「成績検証」: the proposal of every drawn round of a range
// set beside the same number of random tickets, the same table as the
// command-line back-test with the verdict coloured, a plain-language summary,
// and for a chosen line the running payout minus cost beside the random
// expectation and the shaded 95 % band. The table exports as CSV, the chart as PNG.
//
// The back-test runs on a worker thread over a copy of the chosen game's table,
// so the worker shares with the window only the cancel flag it reads and the
// progress and result it posts back as queued calls. Closing the window cancels
// the run and waits for the worker to stop.
#pragma once

#include "backtest/backtest.h"
#include "history/num_data.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QThread;

namespace tw::backtest {

// The Japanese names the window shows.
QString listNameJa(ProposalList list);
QString betNameJa(BetType bet);
QString verdictNameJa(Verdict verdict);

// The summary under the table: what the result says, in plain words.
QString backtestSummary(const BacktestResult& result);

// The table as CSV (UTF-8, CR LF, a header line), the columns of the window's table.
QByteArray backtestCsv(const BacktestResult& result);

class BacktestDialog : public QDialog {
    Q_OBJECT
public:
    BacktestDialog(const history::DrawTable& num3, const history::DrawTable& num4, QWidget* parent = nullptr);
    ~BacktestDialog() override;

    // Chooses the game (3 or 4) and sets the range to round 2 .. the last drawn.
    void setGame(common::Game game);
    void setRange(int from, int to);
    void setPortfolios(int portfolios);
    void setSeed(uint64_t seed);

    // Starts the run on the worker thread; false (with a message) when the
    // options cannot be run or a run is going.
    bool cmdRun_Click();
    void cmdCancel_Click();
    bool isRunning() const { return m_thread != nullptr; }

    // The last finished run's outcome (a cancel or a refusal included); none before.
    const std::optional<BacktestOutcome>& outcome() const { return m_outcome; }
    // Shows the chart of one line of the result (an index into its lines).
    void showLine(int index);
    QChart* netChart() const { return m_chart; }

    bool exportCsv(const QString& path);
    bool exportPng(const QString& path);

Q_SIGNALS:
    void runFinished();

private:
    struct Job;
    const history::DrawTable& tableOf(common::Game game) const;
    common::Game game() const;
    void gameChanged();
    void onProgress(int done, int total);
    void onFinished(const std::shared_ptr<Job>& job);
    void setRunning(bool running);
    void fillTable();
    void cmdExportCsv_Click();
    void cmdExportPng_Click();

    const history::DrawTable& m_num3;
    const history::DrawTable& m_num4;
    std::optional<BacktestOutcome> m_outcome;
    QThread* m_thread = nullptr;
    std::shared_ptr<Job> m_job;

    QComboBox* cmbGame = nullptr;
    QSpinBox* spnFrom = nullptr;
    QSpinBox* spnTo = nullptr;
    QSpinBox* spnPortfolios = nullptr;
    QLineEdit* txtSeed = nullptr;
    QPushButton* cmdRun = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgRun = nullptr;
    QLabel* lblStatus = nullptr;
    QTableWidget* tblResult = nullptr;
    QLabel* lblSummary = nullptr;
    QComboBox* cmbLine = nullptr;
    QChartView* chtNet = nullptr;
    QChart* m_chart = nullptr;
    QPushButton* cmdExportCsv = nullptr;
    QPushButton* cmdExportPng = nullptr;
    QPushButton* cmdClose = nullptr;
};

} // namespace tw::backtest
