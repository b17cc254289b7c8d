// The main window: the game switch, the round selector, the command buttons, the
// status bar with its calendar, the minute timer of the purchase-deadline notice
// and the area shared by the three panels (prediction, selection editing,
// printing), of which exactly one is shown. The window guards a shown prediction
// for a future round: a change of game or round that would discard it is asked
// about first and set back on No.
//
// The window works on the DrawHistory it is given, which outlives it. The panels
// are built in createPanels(); each panel's own preparation runs through the
// hooks ClearResultView, ChgPanelSetUp and PrtPanelSetUp. A round stored in the
// entry dialog goes to its table file at once; ending the program happens only
// through cmdExit (or the close box, which asks the same), which saves whatever
// is still unsaved and stays open when a file cannot be written.
// A prediction run is the window's engine driven by the progress dialog, whose
// progress per pass the window shows in its six progress bars; the prediction
// panel then shows the engine's proposal.
//
// Controls in numbered families carry the object name "<name>_<index>":
// optNumbers_0, optNumbers_1, prgBar_0 .. prgBar_5.
#pragma once

#include "app/app_state.h"
#include "app/deadline_notice.h"
#include "engine/engine.h"
#include "engine/gui/prediction_progress_dialog.h"
#include "history/num_data.h"
#include "history/table_file.h"
#include "reports/report_job.h"
#include "selection/selection_model.h"

#include <QDateTime>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCalendarWidget;
class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tw::ui {
class ClockStatusBar;
}
namespace tw::selection {
class ChangePanel;
}
namespace tw::printing {
class PrintPanel;
}

namespace tw::app {

class PredictionResultPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // Ends the program with the given exit status; by default QCoreApplication::exit.
    using ExitHandler = std::function<void(int status)>;
    // Carries out a prediction run for a game and round; false when it did not complete.
    using PredictionRun = std::function<bool(common::Game game, int round)>;

    static constexpr int kNoticeIntervalMs = 60000;
    static constexpr int kProgressBars = engine::PredictionProgressDialog::kPasses;

    struct State {
        int16_t intGame = 3;       // game whose view is set up
        int16_t intShownRound = 0; // round the shown results were made for
        int16_t intRunGame = -1;   // game and round of the last run, -1 for none
        int16_t intRunRound = -1;
        bool blnHasPrediction = false; // a future round's prediction is shown
        bool blnReverting = false;     // a control is being set back by the program
        bool blnFillingRounds = false; // the round list is being refilled
        bool blnCalendarShown = false;
    };

    MainWindow(history::DrawHistory& history, const AppState& appState, Clock clock = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    const State& state() const { return m_state; }
    history::DrawHistory& drawHistory() { return m_history; }
    // The per-pass progress bars, 0..5, showing the prediction progress dialog's passes.
    QProgressBar* prgBar(int index) const { return m_prgBar[static_cast<std::size_t>(index)]; }

    void setExitHandler(ExitHandler handler) { m_exit = std::move(handler); }
    // Without a run set here, a run is the engine inside the progress dialog.
    void setPredictionRun(PredictionRun run) { m_predictionRun = std::move(run); }
    int predictionRunsStarted() const { return m_intRunsStarted; }
    // Timer intervals of the progress dialog (tests shorten them).
    void setPredictionIntervals(const engine::PredictionProgressDialog::Intervals& intervals) {
        m_yosokuIntervals = intervals;
    }
    // The engine of the window's runs: its proposal is what the panels show and pick from.
    const engine::Engine& engine() const { return m_engine; }
    // The user's selection: edited in the change panel, read by the print panel.
    selection::SelectionModel& selection() { return m_selection; }

    void FillRoundList();
    void ResetCommandButtons();
    void SetPanelButtons();
    void SetYosouPanel(bool on);
    void SetHenkouPanel(bool on);
    void SetPrintPanel(bool on);
    void ShowYosouPanel();
    void ShowHenkouPanel();
    void ShowPrintPanel();
    void SetGameView(int index);
    bool ConfirmNewPrediction();
    void StartPrediction(common::Game game);

    // Panel hooks: what each panel does when the view is cleared or it is about to be shown.
    void ClearResultView();
    void ChgPanelSetUp();
    void PrtPanelSetUp();
    // The prediction panel's parts that differ between the games.
    void SetResultGameView(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private Q_SLOTS:
    void optNumbers_Click(int index);
    void cmbRound_Change();
    void cmbRound_Click();
    void cmdYosoku_Click();
    void cmdHenko_Click();
    void cmdPrint_Click();
    void cmdDataEntry_Click();
    void cmdImport_Click();
    void cmdExit_Click();
    void cmdPutHitData_Click();
    void cmdCheck_Click();
    void cmdBacktest_Click();
    void cmdStatistics_Click();
    // Opens the ledger window over tallowind.db in the working folder; a ledger
    // that cannot be opened gives its message and nothing else happens.
    void cmdLedger_Click();
    void tmStart_Timer();
    void StatusBar1_PanelClick(int index);

private:
    void Form_Load();
    void buildControls();
    QWidget* buildCommandColumn();
    void createPanels();
    void placeCalendar();
    int16_t roundInSelector() const;
    std::string ledgerPath() const;
    QString reportWrittenMessage(const std::vector<reports::ReportRange>& ranges) const;
    // Refuses a typed round beyond the largest round, naming the number typed.
    bool refuseOversizedRound();
    int countOf(common::Game game) const;
    bool isFutureRound(common::Game game, int round) const;
    common::Game checkedGame() const; // the game of the checked option
    bool askDiscardPrediction(const QString& title);
    bool runPrediction(common::Game game, int round);
    // Writes what is unsaved of a game's table to its file (the entry dialog's
    // store and the exit command).
    history::SaveError saveTable(common::Game game);
    void LoadUserSelect(common::Game game, int round);

    history::DrawHistory& m_history;
    const AppState& m_appState;
    Clock m_clock;
    ExitHandler m_exit;
    PredictionRun m_predictionRun;
    int m_intRunsStarted = 0;
    engine::Engine m_engine;
    engine::PredictionProgressDialog::Intervals m_yosokuIntervals;
    selection::SelectionModel m_selection;
    State m_state;
    DeadlineNotice m_deadlineNotice;

    std::array<QRadioButton*, 2> optNumbers{};
    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblNum = nullptr;
    QComboBox* cmbRound = nullptr;
    QPushButton* cmdYosoku = nullptr;
    QPushButton* cmdHenko = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdDataEntry = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdPutHitData = nullptr;
    QPushButton* cmdCheck = nullptr;
    QPushButton* cmdBacktest = nullptr;
    QPushButton* cmdStatistics = nullptr;
    QPushButton* cmdLedger = nullptr;
    std::array<QProgressBar*, kProgressBars> m_prgBar{};
    ui::ClockStatusBar* StatusBar1 = nullptr;
    QCalendarWidget* mvWindow = nullptr;
    QTimer tmStart{this};
    QWidget* m_panelArea = nullptr;
    PredictionResultPanel* framYosou = nullptr;
    selection::ChangePanel* framHenkou = nullptr;
    printing::PrintPanel* framPrint = nullptr;
};

} // namespace tw::app
