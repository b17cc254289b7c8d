// Start-up as the program runs it: the lock, the paths from the working
// directory, the loading dialog (with short timers) and the main window; a second
// start, a stale lock, and a table file that cannot be loaded.
#include "app/gui/startup.h"
#include "app/gui/tallowind.h"
#include "table_text.h"
#include "ui/message_box.h"

#include <QComboBox>
#include <QLockFile>
#include <QProcess>
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

        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::LoadFailed);
        QVERIFY(!app.mainWindow());
        QCOMPARE(MessageHook::shownTitles(), QStringList{QStringLiteral("【データ読込みエラー】")});
        const QString text = MessageHook::shownTexts().front();
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

        TallowindApp app(options());
        QCOMPARE(app.Main(), TallowindApp::Outcome::Running);
        QCOMPARE(MessageHook::shownTitles(), QStringList{QStringLiteral("【データ読込み確認】")});
        const QString warning3 = QStringLiteral(
            "ファイル「Num3Data.tbl」の 12 行目の回号が 13 です。行の順に第 12 回として読み込みました。");
        const QString warning4 =
            QStringLiteral("ファイル「Num4Data.tbl」の 5 行目は 3 桁の当選番号です。（NUMBERS4 の表は 4 桁）");
        QCOMPARE(MessageHook::shownTexts().front(),
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
