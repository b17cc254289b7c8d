#include "app/gui/startup.h"

#include "app/gui/tallowind.h"

#include <QDir>

#include <unistd.h>

namespace tw::app {

QString defaultLockPath() {
    // One lock per user, wherever the program is started from.
    return QDir::temp().filePath(QStringLiteral("tallowind-%1.lock").arg(::getuid()));
}

TallowindApp::TallowindApp(StartupOptions options) : m_options(std::move(options)) {}

TallowindApp::~TallowindApp() = default;

TallowindApp::Outcome TallowindApp::Main() {
    m_lock.emplace(m_options.lockPath);
    // A lock left by a crashed copy names a process that no longer exists;
    // QLockFile then takes the lock over at once. Age alone must never count as
    // stale: the running copy holds its lock for hours (locally the file lock
    // already ensures that; the setting covers file systems without one).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return Outcome::AlreadyRunning;
    }

    m_appState = m_options.workingDir.empty() ? InitAppState() : InitAppState(m_options.workingDir);

    history::DlgLoadData loading(m_history, m_appState.Num3FilePath, m_appState.Num4FilePath,
                                 QString::fromStdString(m_appState.AviFilePath));
    loading.setTimings(m_options.loadTimings);
    if (loading.exec() != QDialog::Accepted)
        return Outcome::LoadFailed;

    m_mainWindow = std::make_unique<Tallowind>(m_history, m_appState);
    m_mainWindow->show();
    return Outcome::Running;
}

} // namespace tw::app
