// Start-up as the program runs it: the lock, the paths from the working
// directory, the loading dialog (with short timers) and the main window; a second
// start, a stale lock, and a table file that cannot be loaded.
#include "app/gui/startup.h"
#include "app/gui/tallowind.h"
#include "table_text.h"
#include "ui/message_box.h"

#include <QComboBox>
#include <QLockFile>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using tw::app::StartupOptions;
using tw::app::TallowindApp;
namespace MessageHook = tw::ui::MessageHook;
using namespace tw::testing;

namespace {
constexpr int kRounds3 = 120;
constexpr int kRounds4 = 95;
} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work;    // the working folder with the table files
    QTemporaryDir lockDir; // the lock lives outside the working folder, as it does in the program
    QString previousDir;

    StartupOptions options() const {
        StartupOptions o;
        o.lockPath = lockDir.filePath(QStringLiteral("tallowind.lock"));
        o.loadTimings = {2, 1, 2};
        return o;
    }

private slots:
    void init() {
        QVERIFY(work.isValid() && lockDir.isValid());
        QVERIFY(writeFile(work.filePath("Num3Data.tbl"), tableText(3, kRounds3)));
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), tableText(4, kRounds4)));
        QFile::remove(work.filePath("FileCopy.avi"));
        QVERIFY(QFile::copy(QStringLiteral(TALLOWIND_DATA_DIR "/FileCopy.avi"), work.filePath("FileCopy.avi")));
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        MessageHook::enable();
    }
    void cleanup() {
        MessageHook::disable();
        QDir::setCurrent(previousDir);
        QFile::remove(lockDir.filePath(QStringLiteral("tallowind.lock")));
    }

    void startsFromTheWorkingDirectoryThroughTheLoadingDialog() {
        const auto before = snapshot(work.path());
        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);

        const QString dir = QDir::currentPath();
        QCOMPARE(QString::fromStdString(app.appState().Num3FilePath), dir + "/Num3Data.tbl");
        QCOMPARE(QString::fromStdString(app.appState().Num4FilePath), dir + "/Num4Data.tbl");
        QCOMPARE(QString::fromStdString(app.appState().AviFilePath), dir + "/FileCopy.avi");
        QCOMPARE(app.drawHistory().num3.count, kRounds3);
        QCOMPARE(app.drawHistory().num4.count, kRounds4);

        tw::app::Tallowind* window = app.mainWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowind"));
        auto* rounds = window->findChild<QComboBox*>("cmbRound");
        QCOMPARE(rounds->currentText(), QString::number(kRounds3 + 1));
        QCOMPARE(MessageHook::shownTexts().size(), 0);
        QCOMPARE(snapshot(work.path()), before);
    }

    void secondStartEndsAtOnceWithoutReadingOrWriting() {
        TallowindApp first(options());
        QCOMPARE(first.Main(), TallowindApp::Outcome::Running);
        const auto before = snapshot(work.path());

        // The first copy has been running for an hour: its lock still holds.
        QFile lockFile(options().lockPath);
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lockFile.close();

        TallowindApp second(options());
        QCOMPARE(second.Main(), TallowindApp::Outcome::AlreadyRunning);
        QVERIFY(!second.mainWindow());
        QCOMPARE(second.drawHistory().num3.count, 0);
        QCOMPARE(second.drawHistory().num4.count, 0);
        QVERIFY(second.appState().Num3FilePath.empty());
        QCOMPARE(MessageHook::shownTexts().size(), 0);
        QCOMPARE(snapshot(work.path()), before);
        QVERIFY(first.mainWindow()->isVisible());
    }

    // A copy that died without unlocking leaves its lock file behind; the next
    // start takes it over.
    void staleLockOfACrashedCopyDoesNotBlock() {
        const QString lockPath = options().lockPath;
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            QLockFile lock(lockPath);
            _exit(lock.tryLock(0) ? 0 : 1); // no unlock: the file stays as after a crash
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(lockPath));

        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
        QVERIFY(app.mainWindow());
    }

    void lockIsReleasedWhenTheProgramEnds() {
        {
            TallowindApp first(options());
            QCOMPARE(first.Main(), TallowindApp::Outcome::Running);
        }
        TallowindApp next(options());
        QCOMPARE(next.Main(), TallowindApp::Outcome::Running);
    }

    void loadErrorShowsOneMessageAndEnds() {
        const QByteArray broken = tableText(4, 6) + "7,1994/13/01,1234,1,2,3,4\r\n" + tableLine(4, 8);
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), broken));
        const auto before = snapshot(work.path());

        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::LoadFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(MessageHook::shownTexts().size(), 1);
        const QString text = MessageHook::shownTexts().front();
        QVERIFY2(text.contains(QStringLiteral("Num4Data.tbl")) && text.contains(QStringLiteral("7 行")),
                 qPrintable(text));
        QCOMPARE(snapshot(work.path()), before);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
