// The loading dialog: reads both draw table files into the program's
// DrawHistory, Numbers3 first, in small timer-driven slices so that the window
// keeps repainting, the banner of the game being loaded blinks, the progress bar
// follows each file and the copy animation plays. Three timers: Timer1 (500 ms)
// shows progress and blinks, Timer2 (50 ms) performs one load step, Timer3
// (1000 ms) closes the dialog once both tables are in.
//
// exec() returns Accepted when both tables are loaded. When a file is missing,
// unreadable, too large, not CR LF lines of text or malformed, the dialog shows
// one message naming the file, the line and the fault, and returns Rejected; the
// history is then incomplete and the caller ends the program. A table that loads
// but is not quite what its file claims (round fields out of line, a line of the
// other game's shape, bytes after the last line end) is reported in one warning
// before the dialog closes, naming each such file and its first such line.
// Nothing here writes a file.
//
// Controls in numbered families carry the object name "<name>_<index>":
// Picture1_0, Picture1_1, Label3_0 .. Label3_3.
#pragma once

#include "history/num_data.h"
#include "history/table_file.h"

#include <QDialog>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;

namespace tw::ui {
class AviPlayer;
class ClockStatusBar;
} // namespace tw::ui

namespace tw::history {

class TableLoadDialog : public QDialog {
    Q_OBJECT
public:
    // Timer intervals in milliseconds. The program runs with the defaults; tests
    // shorten them to go through the same steps faster.
    struct Timings {
        int intBlinkMs = 500;
        int intStepMs = 50;
        int intCloseMs = 1000;
    };
    static constexpr int kLoadSlice = 200;

    TableLoadDialog(DrawHistory& history, std::string num3Path, std::string num4Path, QString aviPath,
                    QWidget* parent = nullptr);
    ~TableLoadDialog() override;

    void setTimings(const Timings& timings) { m_timings = timings; }

    // The fault that stopped the load; kind None after a complete load.
    const LoadError& loadError() const { return m_loadError; }
    // What the warning at the end named, one entry per file with something to say.
    const std::vector<LoadWarning>& loadWarnings() const { return m_loadWarnings; }

    // Escape and the close box do nothing while the tables load.
    void reject() override;

    // The game being loaded, nothing once both are in; the step 0..6 of the load.
    std::optional<common::Game> loadGame() const { return m_loadGame; }
    int loadStep() const { return m_intLoadStep; }

protected:
    void showEvent(QShowEvent* event) override;

private Q_SLOTS:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

private:
    void Form_Activate();
    void buildControls();
    void LoadStep();
    void startFile(common::Game game);
    bool stopOnError();
    void blinkBanner(QLabel* banner);
    void stampTime(int index);

    DrawHistory& m_history;
    std::array<std::string, 2> m_paths; // Numbers3, Numbers4
    QString m_aviPath;
    Timings m_timings;
    std::optional<TableLoader> m_loader;
    LoadError m_loadError;
    std::vector<LoadWarning> m_loadWarnings;
    std::optional<common::Game> m_loadGame = common::Game::Numbers3; // nothing once both are in
    int16_t m_intLoadStep = 0;                                       // 0..6
    bool m_blnBlink = true;
    bool m_blnActivated = false;
    bool m_blnFinished = false;

    std::array<QLabel*, 2> Picture1{};
    std::array<QLabel*, 4> Label3{};
    QProgressBar* ProgressBar1 = nullptr;
    ui::AviPlayer* Animation1 = nullptr;
    ui::ClockStatusBar* StatusBar1 = nullptr;
    QTimer Timer1{this};
    QTimer Timer2{this};
    QTimer Timer3{this};
};

} // namespace tw::history
