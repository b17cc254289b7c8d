// Start-up of the program and the objects that live for its whole run: the
// working folder (chosen by the rules of app/working_folder.h), the
// single-instance lock of that folder, the application state fixed from it, the
// draw history and the main window. Main() refuses a second instance in the
// same folder silently, fills a new per-user data folder from the installed
// samples (and says so), loads both tables through the loading dialog and then
// shows the main window; after a load error (already reported by the dialog) it
// shows nothing more. Nothing here writes a table file that exists.
#pragma once

#include "app/app_state.h"
#include "app/working_folder.h"
#include "history/gui/table_load_dialog.h"
#include "history/num_data.h"

#include <QLockFile>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace tw::app {

class MainWindow;

// The lock that tells a running copy of the program from a second start in the
// same working folder: one per user and folder, in the temporary directory, so
// the working folder itself gets no extra file. Copies in different folders work
// on different tables and may run side by side.
QString lockPathFor(const std::filesystem::path& workingFolder);

// The folder holding the sample history installed with the program
// (share/tallowind beside the executable's bin folder), or the source tree's data
// folder for a program run from its build folder; empty when neither holds both
// tables.
std::filesystem::path locateSampleDir();

struct StartupOptions {
    QString lockPath;                    // empty: lockPathFor(the chosen folder)
    std::filesystem::path workingDir;    // --workdir; empty: chosen by the rules
    std::filesystem::path envWorkingDir; // the value of TALLOWIND_WORKDIR, filled by main()
    bool userData = false;               // --user-data
    std::filesystem::path userDataDir;   // empty: QStandardPaths::AppDataLocation
    std::filesystem::path sampleDir;     // empty: locateSampleDir()
    history::TableLoadDialog::Timings loadTimings;
};

class TallowindApp {
public:
    // FolderFailed: the working folder is missing or the per-user folder could
    // not be prepared; a message has said why.
    enum class Outcome { Running, AlreadyRunning, FolderFailed, LoadFailed };

    explicit TallowindApp(StartupOptions options = {});
    ~TallowindApp();
    TallowindApp(const TallowindApp&) = delete;
    TallowindApp& operator=(const TallowindApp&) = delete;

    // Runs the start-up; with Running the main window is shown and the caller
    // enters the event loop.
    Outcome Main();

    const AppState& appState() const { return m_appState; }
    // Where the working folder came from (valid once Main() has chosen it).
    FolderSource folderSource() const { return m_folderSource; }
    history::DrawHistory& drawHistory() { return m_history; }
    MainWindow* mainWindow() const { return m_mainWindow.get(); }

private:
    FolderFacts gatherFacts() const;
    bool prepareFolder(const FolderChoice& choice);

    StartupOptions m_options;
    FolderSource m_folderSource = FolderSource::Current;
    std::optional<QLockFile> m_lock;
    AppState m_appState;
    history::DrawHistory m_history;
    std::unique_ptr<MainWindow> m_mainWindow;
};

} // namespace tw::app
