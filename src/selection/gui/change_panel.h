// The change panel of the main window: for the game and round the main window
// shows, the all-group grid with the place of the round's average group value,
// the follower point table, and the three lists of the selection with their
// counts and amounts. For a round still to be drawn the editing buttons build the
// selection and "選出Noの確定" stores it in the selection file of the game; for a
// drawn round the panel is a read-only view.
//
// The panel owns only its controls. The selection lives in the SelectionModel the
// main window owns and hands to every panel that reads it (the print panel reads
// the same object); the panel mirrors the model's lists into its list boxes and
// forwards the user's clicks to it. The engine's tables and proposal are read,
// never changed; the draw history only tells a drawn round from a future one.
#pragma once

#include "selection/selection_model.h"

#include <QFrame>

#include <cstdint>
#include <string>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tw::engine {
class Engine;
}
namespace tw::history {
struct DrawHistory;
}

namespace tw::selection {

class ChangePanel : public QFrame {
    Q_OBJECT
public:
    // `workingDir` is the folder of the selection files. Everything passed in
    // must outlive the panel.
    ChangePanel(SelectionModel& model, const engine::Engine& engine, const history::DrawHistory& history,
                std::string workingDir, QWidget* parent = nullptr);

    // Rebuilds the panel for a game and round: called each time the panel is shown.
    void ChgPanelSetUp(common::Game game, int16_t round);

    // Replaces the selection with the one stored for this game and round, read
    // against the all-group table of the engine's current proposal (the main
    // window calls this after every prediction run).
    void LoadUserSelect(common::Game game, int16_t round);

    common::Game game() const { return m_game; }
    int16_t round() const { return m_round; }
    bool isFutureRound() const { return m_future; }

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void cmdChart_Click();
    void cmdChgFromYosoKu_Click();
    void gridChgAllGroup_Click(int row, int column);
    void cmdChgAll_Click();
    void cmdChgClear_Click();
    void cmdChgSelect_Click();
    void cmdChgCancel_Click();
    void cmdChgAllSelectCancel_Click();
    void cmdChgSetMini_Click();
    void cmdChgMiniAll_Click();
    void cmdChgMiniCancel_Click();
    void cmdChgMiniAllCanCel_Click();
    void cmdChgEnd_Click();

Q_SIGNALS:
    // 選出Noの確定 stored the selection in `fileName` (in the working folder).
    void selectionStored(const QString& fileName);

private:
    void buildControls();
    void SetChgAllGroupGrid();
    void SetChgPointGrid();
    void scrollToKey();
    void showSelectCounts(); // both pairs of labels
    void showUserCounts();   // the user pair only
    void refreshList(ListId id);
    void refreshUserLists();
    void takeSelection(ListId id);
    std::vector<std::string> gridRowTexts() const;

    SelectionModel& m_model;
    const engine::Engine& m_engine;
    const history::DrawHistory& m_history;
    std::string m_workingDir;
    common::Game m_game = common::Game::Numbers3;
    int16_t m_round = 0;
    bool m_future = false;
    bool m_refreshing = false;
    int m_keyRow = -1; // the last row marked in the all-group grid, -1 none

    QTableWidget* gridChgAllGroup = nullptr;
    QListWidget* lstChgGrpNums = nullptr;
    QPushButton* cmdChgFromYosoKu = nullptr;
    QPushButton* cmdChgAll = nullptr;
    QPushButton* cmdChgClear = nullptr;
    QPushButton* cmdChgSelect = nullptr;
    QLabel* lblSelectNumsTitle = nullptr;
    QListWidget* lstChgSelect = nullptr;
    QPushButton* cmdChgCancel = nullptr;
    QPushButton* cmdChgAllSelectCancel = nullptr;
    QFrame* subFramNum3 = nullptr;
    QLabel* lblMiniLogo = nullptr;
    QListWidget* lstChgMini = nullptr;
    QPushButton* cmdChgSetMini = nullptr;
    QPushButton* cmdChgMiniAll = nullptr;
    QPushButton* cmdChgMiniCancel = nullptr;
    QPushButton* cmdChgMiniAllCanCel = nullptr;
    QFrame* framKakutei = nullptr;
    QPushButton* cmdChgEnd = nullptr;
    QPushButton* cmdChart = nullptr;
    QTableWidget* gridChgPointData = nullptr;
    QLabel* lblChgRound = nullptr;
    QLabel* lblChgMaxSelect = nullptr;
    QLabel* lblChgUserSelect = nullptr;
    QLabel* lblChgAllMoney = nullptr;
    QLabel* lblChgUserSelectMoney = nullptr;
};

// Writes count x 200 yen into `label` as "\##,###,##0". An amount beyond 32 bits
// is an overflow error: the label is emptied, a message is shown, and false is
// returned.
bool showAmount(QWidget* parent, QLabel* label, int64_t count);

} // namespace tw::selection
