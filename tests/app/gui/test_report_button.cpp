// The report button of the main window: the three report files written into the
// working folder (the folder of the tables, whatever the process's current
// directory is), byte for byte what the headless report writes; afterwards
// the window shows Numbers3 and the oldest round of the last range with its
// back-test. A history too short for the report's ranges gets a message and
// nothing is written.
#include "app/app_state.h"
#include "app/gui/main_window.h"
#include "history/table_file.h"
#include "reports/report_job.h"
#include "support/bundled_workdir.h"
#include "support/qt_files.h"
#include "support/strict_message_hook.h"
#include "ui/message_box.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using tw::app::MainWindow;

class TestReportButton : public QObject {
    Q_OBJECT

    QTemporaryDir work;
    QTemporaryDir elsewhere; // the process's current directory, which is not the working folder
    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;
    QString previousDir;
    tw::app::AppState appState;
    tw::history::DrawHistory history;

    std::unique_ptr<MainWindow> openWindow() {
        auto window = std::make_unique<MainWindow>(history, appState);
        window->setPredictionIntervals({1, 1, 1});
        window->show();
        return window;
    }

private Q_SLOTS:
    void init() {
        QVERIFY(work.isValid());
        auto workdir = tw::testing::prepareBundledWorkdir(work.path());
        appState = workdir.appState;
        history = std::move(workdir.history);
        previousDir = QDir::currentPath();
        QVERIFY(elsewhere.isValid() && QDir::setCurrent(elsewhere.path()));
        boxes.start();
    }
    void cleanup() {
        QDir::setCurrent(previousDir);
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void writesTheThreeFilesAndShowsTheOldestRound() {
        auto window = openWindow();
        window->findChild<QRadioButton*>(QStringLiteral("optNumbers_1"))->click(); // start from Numbers4
        window->findChild<QPushButton*>(QStringLiteral("cmdPutHitData"))->click();
        QCOMPARE(boxes.shown(), QStringList{});

        QTemporaryDir expected;
        QVERIFY(!tw::reports::writeHitReports(history.num3, expected.path().toStdString()).error);
        for (const auto& range : tw::reports::reportRanges(history.num3.count)) {
            const QString name = QString::fromStdString(range.fileName);
            const QByteArray written = tw::testing::readFile(work.filePath(name));
            QVERIFY2(!written.isEmpty(), qPrintable(name));
            QCOMPARE(written, tw::testing::readFile(QDir(expected.path()).filePath(name)));
        }
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{});

        QVERIFY(window->findChild<QRadioButton*>(QStringLiteral("optNumbers_0"))->isChecked());
        QCOMPARE(window->findChild<QComboBox*>(QStringLiteral("cmbRound"))->currentText(), QStringLiteral("2503"));
        QVERIFY(QTest::qWaitFor([&] { return window->engine().hasRun(); }, 20000));
        QVERIFY(window->engine().game() == tw::common::Game::Numbers3);
        QCOMPARE(window->engine().intLastRow(), 2502);
        QVERIFY(window->findChild<QWidget*>(QStringLiteral("framYHit"))->isVisible());

        // The status bar says where the files went, after the run of the shown round too.
        const QString message = window->statusBar()->currentMessage();
        QVERIFY2(message.startsWith(QStringLiteral("抽選結果を出力しました：") + QDir::toNativeSeparators(work.path())),
                 qPrintable(message));
        for (const auto& range : tw::reports::reportRanges(history.num3.count))
            QVERIFY2(message.contains(QString::fromStdString(range.fileName)), qPrintable(message));
    }

    void shortHistoryIsRefusedAndWritesNothing() {
        history.num3.count = static_cast<int16_t>(tw::reports::kReportMinRounds - 1);
        const QStringList before = QDir(work.path()).entryList(QDir::Files);
        auto window = openWindow();
        boxes.expect(tw::ui::Answer::Ok);
        window->findChild<QPushButton*>(QStringLiteral("cmdPutHitData"))->click();
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains(QString::number(tw::reports::kReportMinRounds)));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), before);
        QCOMPARE(window->statusBar()->currentMessage(), QString());
    }
};

QTEST_MAIN(TestReportButton)
#include "test_report_button.moc"
