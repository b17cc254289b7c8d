// The progress dialog of a prediction run. It sets the run up when it is first
// activated, then advances the engine one slice per tick of a 200 ms timer and
// writes each slice's percent into the progress bar of the pass (the six bars
// are handed in by the opener). The caption "分析実行中" blinks every second;
// when the run has ended the dialog shows "分析終了" in blue for one second and
// closes itself. An engine error stops the run, is reported in a message box,
// and closes the dialog as rejected.
//
// The dialog owns no run data: the engine, the draw table and the bars belong
// to the opener and must outlive exec(). There is no cancel: the close box and
// Escape do nothing while the run lasts.
#pragma once

#include "engine/engine.h"
#include "history/num_data.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QProgressBar;

namespace tw::engine {

class PredictionProgressDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBars = 6;
    using ProgressBars = std::array<QProgressBar*, kBars>;

    // Timer intervals. The shipped values pace the run for the eye; tests shorten them.
    struct Intervals {
        int yosokuMs = 200; // between the end of one slice and the start of the next
        int dispMs = 1000;  // blinking of the caption
        int exitMs = 1000;  // "分析終了" stays this long
    };

    PredictionProgressDialog(Engine& engine, const history::DrawTable& table, const ProgressBars& bars, QWidget* parent = nullptr);

    // Set by the opener before exec().
    int16_t nNumsParam = 3;  // game, 3 or 4
    int16_t nMaxCount = 0;   // last round the analysis may use
    int16_t nYosokuType = 1; // kind of run; 1 = full run, the only kind

    void setIntervals(const Intervals& intervals) { m_intervals = intervals; }

    // Read after exec().
    bool completed() const { return m_completed; }
    EngineError error() const { return m_error; }
    int slicesRun() const { return m_slices; }

    // The Japanese text an engine error is reported with.
    static QString errorMessage(EngineError error, int maxCount);

    // Timer handlers, public so that tests can follow the dialog tick by tick.
    void tmYosoku_Timer();
    void tmDisp_Timer();
    void tmExit_Timer();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Form_Load();
    void Form_Activate();
    void stopRun(EngineError error);

    Engine& m_engine;
    const history::DrawTable& m_table;
    ProgressBars m_bars;
    Intervals m_intervals;

    QFrame* frmPanel = nullptr;
    QLabel* lblString = nullptr;
    QTimer tmYosoku{this};
    QTimer tmDisp{this};
    QTimer tmExit{this};

    bool m_blnActivated = false;
    bool m_blnLabelShown = false;
    bool m_completed = false;
    bool m_closing = false;
    EngineError m_error = EngineError::None;
    int m_slices = 0;
};

} // namespace tw::engine
