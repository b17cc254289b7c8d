// The maintenance viewer of the engine's working tables: every round's drawn
// digits, the frequency and follower rankings of a chosen round with the drawn
// digits marked, the average and winning group values of that round, and the
// similar-situation list of a chosen position with the tier the following round
// hit marked.
//
// It reads the tables of the engine's last run and changes nothing. The opener's
// game and round need not be those of the last run: a round the tables do not
// hold, a run of the other game, or a list too short to show, leaves the cells
// concerned empty instead of reading outside the tables.
#pragma once

#include "common/lottery.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tw::engine {

class Engine;

class AnalysisTablesViewer : public QDialog {
    Q_OBJECT
public:
    // What to list.
    struct Request {
        common::Game game = common::Game::Numbers3;
        int16_t maxCount = 0; // last round listed: the main window's round minus 1
    };

    AnalysisTablesViewer(const Engine& engine, const Request& request, QWidget* parent = nullptr);

    // Prepares and fills the window for the request.
    void pubFormSetUP();

private Q_SLOTS:
    void gridHitNo_Click();
    void gridRowFlow_Click(int column);
    void gridNumFlow_Click();
    void optColNo_Click(int index);
    void cmdExit_Click();

private:
    void SetUpGrids();
    void FillHitNoGrid();
    void ShowRoundTables(int16_t round);
    void FillPTable(int16_t round);
    void FillQTable(int16_t round);
    void ShowFlowOfPosition();
    void FillFlowGrids(int position);
    void showRoundOfRow(QTableWidget* grid);
    int selectedPosition() const;
    int flowRowCount(int position) const;
    bool sameGame() const;

    const Engine& m_engine;
    Request m_request;
    QTableWidget* gridHitNo = nullptr;
    QTableWidget* gridPTable = nullptr;
    QTableWidget* gridQTable = nullptr;
    QLabel* lblAvrg = nullptr;
    QLabel* lblHitAvrg = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QRadioButton*, 4> optColNo{};
    QTableWidget* gridRowFlow = nullptr;
    QTableWidget* gridNumFlow = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace tw::engine
