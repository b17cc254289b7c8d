// The hit chart: for ten consecutive rounds, the engine's average group value of
// each round (blue) against the group value of the number that was actually
// drawn (red), with a scroll bar that moves the ten-round window back through
// the history. The newest window ends at the round chosen in the main window,
// whose winning value is not known yet and is left out.
//
// Reads the follower table of the engine's last run and nothing else. A round
// that table does not hold (a run of the other game, a round beyond the run, a
// round before the first) is a missing point, never a read outside the table.
#pragma once

#include "common/lottery.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QScrollBar;

namespace tw::engine {
class Engine;
}

namespace tw::reports {

// One row of the chart's data: the round and its two values, each missing
// where the chart draws no point.
struct HitChartRow {
    int round = 0;
    std::optional<double> avg; // dblAvgGrpValue
    std::optional<double> win; // dblWinGrpValue
    bool operator==(const HitChartRow&) const = default;
};

inline constexpr int kHitChartRows = 10;
inline constexpr int kHitChartFirstRound = 1000; // the scroll bar's minimum
inline constexpr int kHitChartAxisTop = 20;      // the value axis' usual top
inline constexpr int kHitChartAxisStep = 5;      // its major divisions

// The ten rows starting at round `start` for game 3 or 4 and the chart's last
// round `maxRange`, from the engine's follower table.
std::vector<HitChartRow> hitChartRows(const engine::Engine& engine, common::Game game, int start, int maxRange);

// The top of the value axis for these rows: 20 while every value fits, else the
// next multiple of 5 that holds the highest value.
int hitChartAxisTop(const std::vector<HitChartRow>& rows);

class HitChartDialog : public QDialog {
    Q_OBJECT
public:
    // What to chart.
    struct Request {
        common::Game game = common::Game::Numbers3;
        int16_t maxRange = 0; // last round shown: the round chosen in the main window
    };

    HitChartDialog(const engine::Engine& engine, const Request& request, QWidget* parent = nullptr);

    // What the chart shows now.
    const std::vector<HitChartRow>& rows() const { return m_rows; }
    int windowStart() const { return m_start; }

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void HScroll_Change(int value);
    void cmdExit_Click();

private:
    void Form_Activate();
    void drawWindow(int start);

    const engine::Engine& m_engine;
    Request m_request;
    QChartView* chartHistory = nullptr;
    QChart* m_chart = nullptr;
    QScrollBar* HScroll = nullptr;
    QPushButton* cmdExit = nullptr;
    QLabel* lblNum = nullptr;
    bool m_activated = false;
    int m_start = 0;
    std::vector<HitChartRow> m_rows;
};

// Opens the chart for a game and the round of the main window's round selector.
void ShowHitChart(QWidget* parent, const engine::Engine& engine, common::Game game, int16_t round);

} // namespace tw::reports
