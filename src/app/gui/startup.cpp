#include "app/gui/startup.h"

#include "app/gui/main_window.h"
#include "ui/message_box.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace tw::app {

namespace fs = std::filesystem;

namespace {

QString toQString(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

fs::path toPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

const QString kUserFolderTitle = QStringLiteral("【データフォルダ】");

} // namespace

QString lockPathFor(const fs::path& workingFolder) {
    std::error_code ec;
    fs::path key = fs::weakly_canonical(workingFolder, ec);
    if (ec)
        key = workingFolder;
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(key.native()), QCryptographicHash::Sha256);
    return QDir::temp().filePath(
        QStringLiteral("tallowind-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(hash.toHex().left(16))));
}

fs::path locateSampleDir() {
    const fs::path candidates[] = {
        toPath(QCoreApplication::applicationDirPath()) / TALLOWIND_DATA_DIR_FROM_BIN,
        fs::path(TALLOWIND_SOURCE_DATA_DIR),
    };
    for (const fs::path& dir : candidates)
        if (isSampleFolder(dir))
            return dir.lexically_normal();
    return {};
}

TallowindApp::TallowindApp(StartupOptions options) : m_options(std::move(options)) {}

TallowindApp::~TallowindApp() = default;

FolderFacts TallowindApp::gatherFacts() const {
    FolderFacts facts;
    facts.optionDir = m_options.workingDir;
    facts.envDir = m_options.envWorkingDir;
    facts.userDataRequested = m_options.userData;
    std::error_code ec;
    facts.currentDir = fs::current_path(ec);
    if (ec)
        facts.currentDir.clear();
    if (!facts.currentDir.empty()) {
        facts.currentHoldsTables = holdsTableFile(facts.currentDir);
        facts.currentWritable = QFileInfo(toQString(facts.currentDir)).isWritable();
    }
    facts.userDataDir = m_options.userDataDir.empty()
                            ? toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                            : m_options.userDataDir;
    return facts;
}

// The chosen folder must exist; the per-user folder is made and, the first time,
// filled from the samples. False after the message that says why not.
bool TallowindApp::prepareFolder(const FolderChoice& choice) {
    const QString dir = toQString(choice.dir);
    if (choice.source != FolderSource::UserData) {
        std::error_code ec;
        if (fs::is_directory(choice.dir, ec))
            return true;
        ui::showMessage(nullptr, QStringLiteral("作業フォルダが見つかりません。\r%1").arg(dir), ui::Buttons::Ok,
                        QStringLiteral("【作業フォルダ】"));
        return false;
    }

    const fs::path samples = m_options.sampleDir.empty() ? locateSampleDir() : m_options.sampleDir;
    const UserFolderResult result = prepareUserDataFolder(choice.dir, samples);
    switch (result.status) {
    case UserFolderResult::Status::Ready:
        return true;
    case UserFolderResult::Status::Filled:
        ui::showMessage(nullptr,
                        QStringLiteral("データフォルダを作成し、付属のサンプル抽選データを入れました。\r"
                                       "抽選データ・ユーザー選出・抽選結果出力はこのフォルダに保存されます。\r%1")
                            .arg(dir),
                        ui::Buttons::Ok, kUserFolderTitle);
        return true;
    case UserFolderResult::Status::NoSamples:
        ui::showMessage(
            nullptr,
            QStringLiteral("データフォルダに抽選データがなく、付属のサンプル抽選データも見つかりません。\r%1").arg(dir),
            ui::Buttons::Ok, kUserFolderTitle);
        return false;
    case UserFolderResult::Status::Failed:
        break;
    }
    ui::showMessage(nullptr,
                    QStringLiteral("データフォルダを準備できません。\r%1")
                        .arg(QFile::decodeName(QByteArray::fromStdString(result.detail))),
                    ui::Buttons::Ok, kUserFolderTitle);
    return false;
}

TallowindApp::Outcome TallowindApp::Main() {
    // Choosing only looks at the file system; nothing is written before the lock
    // is held, so a second start leaves every folder as it was.
    const FolderChoice choice = chooseWorkingFolder(gatherFacts());
    m_folderSource = choice.source;

    m_lock.emplace(m_options.lockPath.isEmpty() ? lockPathFor(choice.dir) : m_options.lockPath);
    // A lock left by a crashed copy names a process that no longer exists;
    // QLockFile then takes the lock over at once. Age alone must never count as
    // stale: the running copy holds its lock for hours (locally the file lock
    // already ensures that; the setting covers file systems without one).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return Outcome::AlreadyRunning;
    }

    if (!prepareFolder(choice))
        return Outcome::FolderFailed;
    m_appState = InitAppState(choice.dir);

    history::TableLoadDialog loading(m_history, m_appState.Num3FilePath, m_appState.Num4FilePath,
                                     QString::fromStdString(m_appState.AviFilePath));
    loading.setTimings(m_options.loadTimings);
    if (loading.exec() != QDialog::Accepted)
        return Outcome::LoadFailed;

    m_mainWindow = std::make_unique<MainWindow>(m_history, m_appState);
    m_mainWindow->show();
    return Outcome::Running;
}

} // namespace tw::app
