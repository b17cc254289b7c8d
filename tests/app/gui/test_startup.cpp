// Start-up as the program runs it: the lock, the paths from the working
// directory, the loading dialog (with short timers) and the main window; a second
// start, a stale lock, and a table file that cannot be loaded. Then the working
// folder chosen by start-up: the per-user folder filled from the samples on its
// first start, --workdir and TALLOWIND_WORKDIR, a folder that is not there, and
// the lock of one folder that leaves another folder free.
#include "app/gui/main_window.h"
#include "app/gui/startup.h"
#include "support/strict_message_hook.h"
#include "support/table_text.h"
#include "ui/message_box.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using tw::app::StartupOptions;
using tw::app::TallowindApp;
using namespace tw::testing;

namespace {
constexpr int kRounds3 = 120;
constexpr int kRounds4 = 95;
} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private:
    QTemporaryDir work;    // the working folder with the table files
    QTemporaryDir lockDir; // the lock lives outside the working folder, as it does in the program
    QTemporaryDir home;    // stands in for the per-user data folder's parent
    QTemporaryDir samples; // stands in for the installed sample files
    QString previousDir;

    QString userDir() const { return home.filePath(QStringLiteral("share/Tallowind")); }

    StartupOptions options() const {
        StartupOptions o;
        o.lockPath = lockDir.filePath(QStringLiteral("tallowind.lock"));
        o.userDataDir = userDir().toStdString();
        o.sampleDir = samples.path().toStdString();
        o.loadTimings = {2, 1, 2};
        return o;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(home.isValid() && samples.isValid());
        QVERIFY(writeFile(samples.filePath("Num3Data.tbl"), tableText(3, 40)));
        QVERIFY(writeFile(samples.filePath("Num4Data.tbl"), tableText(4, 30)));
        QVERIFY(QFile::copy(QStringLiteral(TALLOWIND_DATA_DIR "/FileCopy.avi"), samples.filePath("FileCopy.avi")));
    }

    void init() {
        QVERIFY(work.isValid() && lockDir.isValid());
        QDir(userDir()).removeRecursively();
        QVERIFY(writeFile(work.filePath("Num3Data.tbl"), tableText(3, kRounds3)));
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), tableText(4, kRounds4)));
        QFile::remove(work.filePath("FileCopy.avi"));
        QVERIFY(QFile::copy(QStringLiteral(TALLOWIND_DATA_DIR "/FileCopy.avi"), work.filePath("FileCopy.avi")));
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        boxes.start();
    }
    void cleanup() {
        QDir::setCurrent(previousDir);
        QFile::remove(lockDir.filePath(QStringLiteral("tallowind.lock")));
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
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

        tw::app::MainWindow* window = app.mainWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowind"));
        auto* rounds = window->findChild<QComboBox*>("cmbRound");
        QCOMPARE(rounds->currentText(), QString::number(kRounds3 + 1));
        QCOMPARE(boxes.shown().size(), 0);
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
        QCOMPARE(boxes.shown().size(), 0);
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

    // Table files that are not CR LF lines of ASCII text: each stops the start-up
    // with one message naming the file and the first bad line, the command-line
    // tool refuses the same file with the same words on one line of stderr, and
    // neither writes anything. Before, every one of these but the malformed line
    // loaded as an empty or shortened table without a word.
    void tableThatIsNotCrLfTextIsRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");

        QByteArray lf3 = tableText(3, kRounds3);
        lf3.replace("\r\n", "\n");
        QByteArray cr4 = tableText(4, kRounds4);
        cr4.replace("\r\n", "\r");
        QByteArray mixed4 = tableText(4, 6) + tableText(4, kRounds4).mid(tableText(4, 6).size()).replace("\r\n", "\n");
        QByteArray utf16;
        for (const char c : tableText(3, 4))
            utf16 += QByteArray(1, c) + QByteArray(1, '\0');
        QByteArray binary;
        for (int i = 0; i < 5000; ++i)
            binary += static_cast<char>((i * 7 + 1) % 256 == '\r' || (i * 7 + 1) % 256 == '\n' ? 0 : (i * 7 + 1) % 256);

        QTest::newRow("LF line ends") << "Num3Data.tbl" << lf3 << "1 行目は CR LF ではなく LF で終わっています";
        QTest::newRow("CR line ends") << "Num4Data.tbl" << cr4 << "1 行目は CR LF ではなく CR だけで終わっています";
        QTest::newRow("LF from line 7 on") << "Num4Data.tbl" << mixed4 << "7 行目は CR LF ではなく LF";
        QTest::newRow("UTF-16") << "Num3Data.tbl" << (QByteArray("\xFF\xFE", 2) + utf16)
                                << "1 行目に NUL 文字があります";
        QTest::newRow("binary") << "Num3Data.tbl" << binary << "CR LF で終わる行がひとつもありません";
        QTest::newRow("too large") << "Num4Data.tbl" << QByteArray(2686075, 'x') << "大きすぎて";
        QTest::newRow("malformed line") << "Num3Data.tbl" << (tableText(3, 4) + "5,1994/11/11,12x,1,1,1,1,1\r\n")
                                        << "5 行目が読み込めません。（当選番号に数字でない文字があります";
    }
    void tableThatIsNotCrLfTextIsRefused() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        QVERIFY(writeFile(work.filePath(file), bytes));
        const auto before = snapshot(work.path());

        boxes.expect(tw::ui::Answer::Ok);
        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::LoadFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【データ読込みエラー】")});
        const QString text = boxes.shown().front();
        QVERIFY2(text.startsWith(QStringLiteral("ファイル「") + file + QStringLiteral("」")), qPrintable(text));
        QVERIFY2(text.contains(says), qPrintable(text));
        QCOMPARE(snapshot(work.path()), before);

#ifdef TALLOWIND_CLI
        QProcess cli;
        const QString game = file.startsWith(QStringLiteral("Num3")) ? QStringLiteral("3") : QStringLiteral("4");
        cli.start(QStringLiteral(TALLOWIND_CLI),
                  {QStringLiteral("predict"), QStringLiteral("--game"), game, QStringLiteral("--round=2"),
                   QStringLiteral("--data-dir"), work.path()});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 2);
        QCOMPARE(cli.readAllStandardOutput(), QByteArray());
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(err, QStringLiteral("tallowind-cli predict: ") +
                          QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')) + QLatin1Char('\n'));
        QCOMPARE(snapshot(work.path()), before);
#endif
    }

    // A table that loads but whose lines are not what the file claims: one
    // warning naming each such file and its first such line, then the program
    // runs on the tables as loaded (line n as round n). The command-line tool
    // prints the same warning to stderr and goes on.
    void suspiciousTablesWarnOnceAndRun() {
        QByteArray num3 = tableText(3, kRounds3);
        num3.replace("\r\n12,", "\r\n13,"); // line 12 says round 13
        QByteArray num4 =
            tableText(4, 4) + "5,1994/11/11,123,1,2,3,4,5\r\n" + tableText(4, kRounds4).mid(tableText(4, 5).size());
        QVERIFY(writeFile(work.filePath("Num3Data.tbl"), num3));
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), num4));
        const auto before = snapshot(work.path());

        boxes.expect(tw::ui::Answer::Ok);
        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【データ読込み確認】")});
        const QString warning3 = QStringLiteral(
            "ファイル「Num3Data.tbl」の 12 行目の回号が 13 です。行の順に第 12 回として読み込みました。");
        const QString warning4 =
            QStringLiteral("ファイル「Num4Data.tbl」の 5 行目は 3 桁の当選番号です。（NUMBERS4 の表は 4 桁）");
        QCOMPARE(boxes.shown().front(),
                 warning3 + QLatin1Char('\r') + warning4 + QStringLiteral("\r表のファイルを確かめてください。"));
        QCOMPARE(app.drawHistory().num3.count, kRounds3);
        QCOMPARE(app.drawHistory().num3.record(12).lngRound, 13);
        QCOMPARE(app.drawHistory().num4.count, kRounds4);
        QCOMPARE(snapshot(work.path()), before);

#ifdef TALLOWIND_CLI
        QProcess cli;
        cli.start(QStringLiteral(TALLOWIND_CLI),
                  {QStringLiteral("predict"), QStringLiteral("--game=3"), QStringLiteral("--round=20"),
                   QStringLiteral("--data-dir=") + work.path()});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()),
                 QStringLiteral("tallowind-cli predict: warning: ") + warning3 + QLatin1Char('\n'));
        QVERIFY(!cli.readAllStandardOutput().isEmpty());
#endif
    }

    void loadErrorShowsOneMessageAndEnds() {
        const QByteArray broken = tableText(4, 6) + "7,1994/13/01,1234,1,2,3,4\r\n" + tableLine(4, 8);
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), broken));
        const auto before = snapshot(work.path());

        boxes.expect(tw::ui::Answer::Ok);
        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::LoadFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(boxes.shown().size(), 1);
        const QString text = boxes.shown().front();
        QVERIFY2(text.contains(QStringLiteral("Num4Data.tbl")) && text.contains(QStringLiteral("7 行")),
                 qPrintable(text));
        QCOMPARE(snapshot(work.path()), before);
    }

    // Started where no tables are, or from the desktop entry: the per-user
    // folder is made and filled from the samples, which is said once; the
    // folder it was started from is left alone.
    void userDataFolderIsFilledOnTheFirstStartAndSaidOnce_data() {
        QTest::addColumn<bool>("fromDesktop");
        QTest::newRow("current folder without tables") << false;
        QTest::newRow("desktop entry, current folder with tables") << true;
    }
    void userDataFolderIsFilledOnTheFirstStartAndSaidOnce() {
        QFETCH(bool, fromDesktop);
        QTemporaryDir empty;
        if (!fromDesktop)
            QVERIFY(QDir::setCurrent(empty.path()));
        const auto before = snapshot(QDir::currentPath());
        StartupOptions o = options();
        o.userData = fromDesktop;
        {
            boxes.expect(tw::ui::Answer::Ok);
            TallowindApp app(o);
            QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
            QCOMPARE(app.folderSource(), tw::app::FolderSource::UserData);
            QCOMPARE(QString::fromStdString(app.appState().Num3FilePath), userDir() + "/Num3Data.tbl");
            QCOMPARE(QString::fromStdString(app.appState().AviFilePath), userDir() + "/FileCopy.avi");
            QCOMPARE(app.drawHistory().num3.count, 40);
            QCOMPARE(app.drawHistory().num4.count, 30);
            QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【データフォルダ】")});
            QVERIFY2(boxes.shown().front().contains(userDir()), qPrintable(boxes.shown()[0]));
        }
        QCOMPARE(snapshot(userDir()), snapshot(samples.path()));
        QCOMPARE(snapshot(QDir::currentPath()), before);

        boxes.clearShown();
        TallowindApp again(o);
        QCOMPARE(again.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(again.drawHistory().num3.count, 40);
        QCOMPARE(boxes.shown(), QStringList{});
    }

    void noSamplesForANewUserFolderIsRefusedWithOneMessage() {
        QTemporaryDir empty;
        StartupOptions o = options();
        o.userData = true;
        o.sampleDir = empty.path().toStdString();
        boxes.expect(tw::ui::Answer::Ok);
        TallowindApp app(o);
        QCOMPARE(app.Main(), TallowindApp::Outcome::FolderFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(QDir(userDir()).isEmpty());
    }

    // The working folder named on the command line or in the environment holds
    // the tables, receives the selection files and reports, and needs no
    // tables in the current directory.
    void workdirOptionAndEnvironmentChooseTheFolder_data() {
        QTest::addColumn<bool>("fromEnvironment");
        QTest::newRow("--workdir") << false;
        QTest::newRow("TALLOWIND_WORKDIR") << true;
    }
    void workdirOptionAndEnvironmentChooseTheFolder() {
        QFETCH(bool, fromEnvironment);
        QTemporaryDir other;
        QVERIFY(writeFile(other.filePath("Num3Data.tbl"), tableText(3, 12)));
        QVERIFY(writeFile(other.filePath("Num4Data.tbl"), tableText(4, 11)));
        StartupOptions o = options();
        // Relative to the current directory, as typed in a terminal.
        const std::string relative = QDir(work.path()).relativeFilePath(other.path()).toStdString();
        (fromEnvironment ? o.envWorkingDir : o.workingDir) = relative;

        TallowindApp app(o);
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(app.folderSource(),
                 fromEnvironment ? tw::app::FolderSource::Environment : tw::app::FolderSource::Option);
        QCOMPARE(QFileInfo(QString::fromStdString(app.appState().workingFolder().string())).canonicalFilePath(),
                 QFileInfo(other.path()).canonicalFilePath());
        QCOMPARE(app.drawHistory().num3.count, 12);
        QCOMPARE(app.drawHistory().num4.count, 11);
        QCOMPARE(boxes.shown(), QStringList{});
    }

    void missingWorkdirIsRefusedWithOneMessage() {
        const QString missing = work.filePath(QStringLiteral("no-such-folder"));
        StartupOptions o = options();
        o.workingDir = missing.toStdString();
        const auto before = snapshot(work.path());
        boxes.expect(tw::ui::Answer::Ok);
        TallowindApp app(o);
        QCOMPARE(app.Main(), TallowindApp::Outcome::FolderFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY2(boxes.shown().front().contains(missing), qPrintable(boxes.shown()[0]));
        QCOMPARE(snapshot(work.path()), before);
    }

    // Without a lock path given, the lock belongs to the chosen folder: a second
    // start in the same folder ends at once, one in another folder runs.
    void lockBelongsToTheWorkingFolder() {
        QTemporaryDir other;
        QVERIFY(writeFile(other.filePath("Num3Data.tbl"), tableText(3, 5)));
        QVERIFY(writeFile(other.filePath("Num4Data.tbl"), tableText(4, 5)));
        StartupOptions here = options();
        here.lockPath.clear();
        StartupOptions there = here;
        there.workingDir = other.path().toStdString();
        QCOMPARE(tw::app::lockPathFor(work.path().toStdString()),
                 tw::app::lockPathFor((work.path() + "/./").toStdString()));
        QVERIFY(tw::app::lockPathFor(work.path().toStdString()) != tw::app::lockPathFor(other.path().toStdString()));

        TallowindApp first(here);
        QCOMPARE(first.Main(), TallowindApp::Outcome::Running);
        TallowindApp second(here);
        QCOMPARE(second.Main(), TallowindApp::Outcome::AlreadyRunning);
        TallowindApp elsewhere(there);
        QCOMPARE(elsewhere.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(elsewhere.drawHistory().num3.count, 5);
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
