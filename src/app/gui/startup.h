// Start-up of the program and the objects that live for its whole run: the
// single-instance lock, the application state fixed from the working directory,
// the draw history and the main window. Main() refuses a second instance
// silently, loads both tables through the loading dialog and then shows the
// main window; after a load error (already reported by the dialog) it shows
// nothing more. Nothing here writes a table file.
#pragma once

#include "app/app_state.h"
#include "history/gui/dlg_load_data.h"
#include "history/num_data.h"

#include <QLockFile>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace tw::app {

class Tallowind;

// The lock that tells a running copy of the program from a second start.
QString defaultLockPath();

struct StartupOptions {
    QString lockPath = defaultLockPath();
    // Where the files are looked up; empty = the working directory at start-up.
    std::filesystem::path workingDir;
    history::DlgLoadData::Timings loadTimings;
};

class TallowindApp {
public:
    enum class Outcome { Running, AlreadyRunning, LoadFailed };

    explicit TallowindApp(StartupOptions options = {});
    ~TallowindApp();
    TallowindApp(const TallowindApp&) = delete;
    TallowindApp& operator=(const TallowindApp&) = delete;

    // Runs the start-up; with Running the main window is shown and the caller
    // enters the event loop.
    Outcome Main();

    const AppState& appState() const { return m_appState; }
    history::DrawHistory& drawHistory() { return m_history; }
    Tallowind* mainWindow() const { return m_mainWindow.get(); }

private:
    StartupOptions m_options;
    std::optional<QLockFile> m_lock;
    AppState m_appState;
    history::DrawHistory m_history;
    std::unique_ptr<Tallowind> m_mainWindow;
};

} // namespace tw::app
