// The progress dialog of a prediction run. It sets the run up when it is first
// activated, then advances the engine one slice per tick of a 200 ms timer and
// reports each slice's percent of its pass through passProgress (the opener
// shows it in its progress bars). The caption "分析実行中" blinks every second;
// when the run has ended the dialog shows "分析終了" in blue for one second and
// closes itself. An engine error stops the run, is reported in a message box,
// and closes the dialog as rejected.
//
// The dialog owns no run data: the engine and the draw table belong to the
// opener and must outlive exec(). There is no cancel: the close box and Escape
// do nothing while the run lasts.
#pragma once

#include "engine/engine.h"
#include "history/num_data.h"

#include <QDialog>
#include <QTimer>

#include <cstdint>

class QFrame;
class QLabel;

namespace tw::engine {

class PredictionProgressDialog : public QDialog {
    Q_OBJECT
public:
    // Passes of a run, each with its own share of progress.
    static constexpr int kPasses = 6;

    // What to run.
    struct Request {
        common::Game game = common::Game::Numbers3;
        int16_t maxCount = 0; // last round the analysis may use
        int16_t runType = 1;  // kind of run; 1 = full run, the only kind
    };
    // How the run ended, read after exec().
    struct Outcome {
        bool completed = false;
        EngineError error = EngineError::None;
        int slicesRun = 0;
    };

    // Timer intervals. The shipped values pace the run for the eye; tests shorten them.
    struct Intervals {
        int yosokuMs = 200; // between the end of one slice and the start of the next
        int dispMs = 1000;  // blinking of the caption
        int exitMs = 1000;  // "分析終了" stays this long
    };

    PredictionProgressDialog(Engine& engine, const history::DrawTable& table, const Request& request,
                             QWidget* parent = nullptr);

    void setIntervals(const Intervals& intervals) { m_intervals = intervals; }

    const Outcome& outcome() const { return m_outcome; }

    // The Japanese text an engine error is reported with.
    static QString errorMessage(EngineError error, int maxCount);

Q_SIGNALS:
    // A slice of pass 0..kPasses-1 has run; percent is that pass' share done, 0..100.
    void passProgress(int pass, int percent);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private Q_SLOTS:
    void tmYosoku_Timer();
    void tmDisp_Timer();
    void tmExit_Timer();

private:
    void Form_Load();
    void Form_Activate();
    void stopRun(EngineError error);

    Engine& m_engine;
    const history::DrawTable& m_table;
    Request m_request;
    Intervals m_intervals;
    Outcome m_outcome;

    QFrame* frmPanel = nullptr;
    QLabel* lblString = nullptr;
    QTimer tmYosoku{this};
    QTimer tmDisp{this};
    QTimer tmExit{this};

    bool m_blnActivated = false;
    bool m_blnLabelShown = false;
    bool m_closing = false;
};

} // namespace tw::engine
