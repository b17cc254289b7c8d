// The prediction panel of the main window: the grids of a run's proposal
// (prediction groups 1 and 2, then the Mini candidates for NUMBERS 3 or group 3
// for NUMBERS 4), the number of entries and their price, and for a round that
// has been drawn the draw result with its prizes and the hits of every group with
// the money they would have won. Two restart buttons ask before a new run.
//
// The panel shows what it is given (the engine's proposal, the draw table, the
// game and the round); it runs nothing itself and asks the main window for a
// run through restartRequested(). Cells go through the common grid routines.
//
// Controls in numbered families carry the object name "<name>_<index>":
// gridResulte_0 .. gridResulte_3, lblBuyCount_0 .. 3, lblMoney_0 .. 4, ...
#pragma once

#include "engine/engine_types.h"
#include "history/num_data.h"

#include <QFrame>

#include <array>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tw::app {

class PredictionResultPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kGrids = 4;

    explicit PredictionResultPanel(QWidget* parent = nullptr);

    // The parts that differ between NUMBERS 3 (index 0) and NUMBERS 4 (index 1).
    void SetResultGameView(int index);
    // Empties the view and sizes the grids for the counts of `lastRun`.
    void ClearResultView(const engine::Proposal& lastRun);
    // Fills the view from a run's proposal for `round` of `game` (3 or 4); the
    // hits are shown when the table holds that round.
    void ShowPredictionResult(const engine::Proposal& proposal, const history::DrawTable& table, common::Game game,
                              int round);

    // The restart buttons: each asks first and, unless answered No, requests a run.

Q_SIGNALS:
    void restartRequested();

private Q_SLOTS:
    void Image2_Click();
    void Image3_Click();

private:
    struct Hits {
        int straight = 0;
        int box = 0;
    };
    void buildControls();
    QWidget* buildGroupBox(int grid, const QString& title, int countLabel, int width, int height);
    QWidget* buildHitFrame();
    void askRestart(const QString& question, const QString& title);
    Hits fillGroup(int grid, const engine::CountedList<engine::PredNum>& list, const history::NumData* draw,
                   common::Game game);
    int fillMini(const engine::CountedList<engine::PredNum>& list, const history::NumData* draw);
    void showBuy(int label, int count, std::string_view moneyFormat);
    void showGroupHits(int group, const Hits& hits, const history::NumData& draw);

    std::array<QTableWidget*, kGrids> gridResulte{};
    std::array<QLabel*, 4> lblBuyCount{};
    std::array<QLabel*, 4> lblBuyMoney{};
    std::array<QLabel*, 5> lblMoney{};
    std::array<QLabel*, 7> lblMoneyType{}; // 0..4 and 6
    std::array<QLabel*, 3> lblGrpHC{};
    std::array<QLabel*, 3> lblGrpMny{};
    // lblGrp1TP, lblGrp2TP, lblGrp3TP by group; index 1 straight, 2 box (0 unused).
    std::array<std::array<QLabel*, 3>, 3> lblGrpTP{};
    std::array<QLabel*, 2> lblGrp3ST{};
    QLabel* lblResNum = nullptr;
    QLabel* lblThirdName = nullptr; // "ミニ" or "予測Grp3" in the hit summary
    QFrame* framYHit = nullptr;
    std::array<QFrame*, 6> setHitData{}; // 1 and 5 used
    QFrame* subFramMini = nullptr;
    QFrame* subFramGrp3 = nullptr;
    QLabel* Image11 = nullptr;
    QPushButton* Image2 = nullptr;
    QPushButton* Image3 = nullptr;
};

} // namespace tw::app
