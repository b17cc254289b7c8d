// The statistics window 「統計」: for a game and a range of rounds, one bar chart
// per position of how often each digit came against the count of equal chances
// (with the chi-square test and its p-value), a table of the current and the
// longest gap of every digit at every position, and the digit sums against the
// exact distribution of random draws. The figures come from
// computeDrawStatistics; the window only lays them out. Counting the whole
// history takes a few milliseconds, so it runs on the GUI thread.
//
// Reads the two tables handed in (they must outlive the window) and nothing else.
#pragma once

#include "history/num_data.h"
#include "reports/draw_statistics.h"

#include <QDialog>

#include <optional>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace tw::reports {

class StatisticsDialog : public QDialog {
    Q_OBJECT
public:
    StatisticsDialog(const history::DrawTable& num3, const history::DrawTable& num4, QWidget* parent = nullptr);

    // Chooses the game (3 or 4) and sets the range to the whole history of it.
    void setGame(common::Game game);
    // Sets the range (clamped to the drawn rounds) without counting.
    void setRange(int from, int to);
    // Counts the chosen range and redraws everything; false (with a message) when
    // the range cannot be counted.
    bool calculate();

    // What the window shows now; none before the first count or after a refusal.
    const std::optional<DrawStatistics>& statistics() const { return m_statistics; }
    QChart* positionChart(int position) const; // 0-based; null beyond the game's positions
    QChart* sumChart() const { return m_sumChart; }

private Q_SLOTS:
    void cmdCalc_Click();

private:
    const history::DrawTable& tableOf(common::Game game) const;
    common::Game game() const;
    void gameChanged();
    void showStatistics();
    void drawPositionChart(std::size_t position);
    void drawSumChart();

    const history::DrawTable& m_num3;
    const history::DrawTable& m_num4;
    std::optional<DrawStatistics> m_statistics;

    QComboBox* cmbGame = nullptr;
    QSpinBox* spnFrom = nullptr;
    QSpinBox* spnTo = nullptr;
    QPushButton* cmdCalc = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblRange = nullptr;
    QTabWidget* tabStats = nullptr;
    std::vector<QChartView*> m_positionViews; // four views; the fourth hidden for NUMBERS3
    std::vector<QChart*> m_positionCharts;
    QTableWidget* tblChiSquare = nullptr;
    QTableWidget* tblGaps = nullptr;
    QChartView* chtSums = nullptr;
    QChart* m_sumChart = nullptr;
    QLabel* lblSums = nullptr;
};

} // namespace tw::reports
