// The main window: round list, game switch, buttons and panels, the guard of a
// shown future-round prediction, repeated runs, the status bar calendar, the
// minute timer of the deadline notice, the entry dialog's round list refresh and
// the exit with saving.
#include "app/app_state.h"
#include "app/gui/main_window.h"
#include "backtest/gui/backtest_dialog.h"
#include "history/gui/draw_entry_dialog.h"
#include "history/table_file.h"
#include "ledger/gui/ledger_window.h"
#include "printing/gui/print_panel.h"
#include "reports/gui/statistics_dialog.h"
#include "selection/gui/change_panel.h"
#include "support/strict_message_hook.h"
#include "support/table_text.h"
#include "support/timer_tick.h"
#include "support/window_clock.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>

#include <optional>

using tw::app::MainWindow;
using tw::testing::fireTimer;
using tw::ui::Answer;
using namespace tw::testing;

namespace {
constexpr int kRounds3 = 20;
constexpr int kRounds4 = 15;
const QString kQuestion = QStringLiteral("この機能を使用すると、現在の予測結果が失われます。\rよろしいですか？");
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private:
    QTemporaryDir work;
    tw::app::AppState appState;
    tw::history::DrawHistory history;
    QDateTime now = kWednesdayMorning;
    std::unique_ptr<MainWindow> window;
    QList<int> exits;

    template <typename T> T* child(const char* name) const { return tw::testing::child<T>(window.get(), name); }
    QComboBox* rounds() const { return child<QComboBox>("cmbRound"); }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisible(); }

    void openWindow() {
        window = std::make_unique<MainWindow>(history, appState, [this] { return now; });
        window->setExitHandler([this](int status) { exits << status; });
        // The shell's rules are checked without the engine; runs through the
        // progress dialog are tested with the real history in test_prediction_run.
        window->setPredictionRun([](tw::common::Game, int) { return true; });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    // Replaces the round text the way typing does.
    void typeRound(const QString& text) {
        // Typed as a user types: into the focused box of the active window, where
        // a completer would act.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        rounds()->setFocus();
        QTRY_VERIFY(rounds()->lineEdit()->hasFocus());
        rounds()->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    // Picks an item from the open list.
    void pickRound(int index) {
        rounds()->showPopup();
        rounds()->view()->setCurrentIndex(rounds()->model()->index(index, 0));
        QTest::keyClick(rounds()->view(), Qt::Key_Return);
    }
    void clickGame(int index) {
        QTest::mouseClick(child<QRadioButton>(index == 0 ? "optNumbers_0" : "optNumbers_1"), Qt::LeftButton);
    }
    void click(const char* button) { tw::testing::click(window.get(), button); }
    void runFor(const QString& round) {
        typeRound(round);
        click("cmdYosoku");
    }
    QString item(int index) const { return rounds()->itemText(index); }

private Q_SLOTS:
    void init() {
        QVERIFY(work.isValid());
        for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"}) // a folder a failed test left in place
            if (QFileInfo(work.filePath(name)).isDir())
                QVERIFY(QDir(work.filePath(name)).removeRecursively());
        QVERIFY(writeFile(work.filePath("Num3Data.tbl"), tableText(3, kRounds3)));
        QVERIFY(writeFile(work.filePath("Num4Data.tbl"), tableText(4, kRounds4)));
        appState = tw::app::InitAppState(work.path().toStdString());
        history = {};
        for (const tw::common::Game game : tw::common::kGames) {
            auto loaded = tw::history::loadTableFile(appState.tableFilePath(game));
            QVERIFY(!loaded.error);
            history.table(game) = std::move(loaded.table);
        }
        now = kWednesdayMorning;
        exits.clear();
        boxes.start();
        openWindow();
    }
    void cleanup() {
        window.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void startsWithTheNextRoundOfNumbers3() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Tallowind"));
        QCOMPARE(rounds()->count(), kRounds3 + 1);
        QCOMPARE(item(0), QStringLiteral("21"));
        QCOMPARE(item(kRounds3), QStringLiteral("1"));
        QCOMPARE(rounds()->currentIndex(), 0);
        QCOMPARE(window->state().intShownRound, kRounds3 + 1);
        QCOMPARE(window->state().intGame, 3);
        QVERIFY(!window->state().blnFillingRounds);
        QVERIFY(child<QRadioButton>("optNumbers_0")->isChecked());
        QCOMPARE(child<QRadioButton>("optNumbers_0")->text(), QStringLiteral("Number３予測"));
        QCOMPARE(child<QRadioButton>("optNumbers_1")->text(), QStringLiteral("Number４予測"));
        QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("予測抽選回"));
        QCOMPARE(child<QLabel>("Label2")->text(), QStringLiteral("Numbers"));
        QCOMPARE(child<QPushButton>("cmdDataEntry")->text(), QStringLiteral("データ登録"));
        QCOMPARE(child<QPushButton>("cmdExit")->text(), QStringLiteral("終了"));
        QCOMPARE(child<QPushButton>("cmdPutHitData")->text(), QStringLiteral("抽選結果出力"));
        QCOMPARE(child<QPushButton>("cmdCheck")->text(), QStringLiteral("管理用"));
        for (int i = 0; i < MainWindow::kProgressBars; ++i)
            QCOMPARE(window->prgBar(i), window->findChild<QProgressBar*>(QStringLiteral("prgBar_%1").arg(i)));
    }

    // The list offers the rounds the selected game can predict: a confirmed game
    // switch refills it from that game's count + 1, a refused one keeps it.
    void gameSwitchSetsTheBannerAndRefillsTheRoundList() {
        clickGame(1);
        QCOMPARE(window->state().intGame, 4);
        QCOMPARE(child<QLabel>("lblNum")->text(), QStringLiteral("4"));
        QCOMPARE(child<QLabel>("lblNum")->palette().color(QPalette::WindowText), QColor(0, 192, 0));
        QCOMPARE(rounds()->count(), kRounds4 + 1);
        QCOMPARE(item(0), QString::number(kRounds4 + 1));
        QCOMPARE(rounds()->currentText(), QString::number(kRounds4 + 1));
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 1);
        QCOMPARE(window->state().intRunRound, kRounds4 + 1);
        QCOMPARE(boxes.shown().size(), 0);

        boxes.expect(Answer::Yes);
        clickGame(0);
        QCOMPARE(window->state().intGame, 3);
        QCOMPARE(child<QLabel>("lblNum")->text(), QStringLiteral("3"));
        QCOMPARE(child<QLabel>("lblNum")->palette().color(QPalette::WindowText), QColor(255, 0, 255));
        QCOMPARE(rounds()->count(), kRounds3 + 1);
        QCOMPARE(item(0), QString::number(kRounds3 + 1));
        QCOMPARE(boxes.shown().size(), 1); // the Numbers4 run was for a future round

        boxes.clearShown();
        runFor(QStringLiteral("21"));
        boxes.expect(Answer::No);
        clickGame(1);
        QCOMPARE(boxes.shown(), QStringList{kQuestion});
        QCOMPARE(rounds()->count(), kRounds3 + 1);
        QCOMPARE(rounds()->currentText(), QStringLiteral("21"));
    }

    // The round box keeps exactly what was typed; nothing is completed from the
    // list, and the run is for the typed round.
    void typedRoundIsKeptAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("prefix of 21 and 20") << "2";
        QTest::newRow("prefix of 19 .. 10") << "1";
        QTest::newRow("prefix of nothing") << "25";
        QTest::newRow("a listed round") << "12";
    }
    void typedRoundIsKeptAsTyped() {
        QFETCH(QString, typed);
        typeRound(typed);
        QCOMPARE(rounds()->currentText(), typed);
        QCOMPARE(rounds()->lineEdit()->text(), typed);
        QVERIFY(rounds()->lineEdit()->selectedText().isEmpty());
        const int round = typed.toInt();
        if (round < 2)
            boxes.expect(Answer::Ok);
        click("cmdYosoku");
        if (round < 2) {
            QCOMPARE(window->predictionRunsStarted(), 0);
            QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【予測確認】")});
        } else {
            QCOMPARE(window->predictionRunsStarted(), 1);
            QCOMPARE(window->state().intRunRound, round);
            QCOMPARE(window->state().intShownRound, round);
        }
    }

    // A typed round the program cannot hold is refused under the number typed,
    // without a run.
    void outOfRangeTypedRoundIsNamedAsTyped_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("five digits") << "99999";
        QTest::newRow("one above the largest") << "32768";
        QTest::newRow("twelve digits") << "123456789012";
    }
    void outOfRangeTypedRoundIsNamedAsTyped() {
        QFETCH(QString, typed);
        boxes.expect(Answer::Ok);
        runFor(typed);
        QCOMPARE(window->predictionRunsStarted(), 0);
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【予測確認】")});
        const QString text = boxes.shown().value(0);
        QVERIFY2(text.startsWith(QStringLiteral("第%1回の予測はできません。").arg(typed)), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("32767回の")), qPrintable(text));
        QVERIFY(!shown("cmdHenko"));
    }

    void buttonsAndPanelsFollowTheRun_data() {
        QTest::addColumn<QString>("round");
        QTest::addColumn<bool>("future");
        QTest::newRow("drawn round") << "5" << false;
        QTest::newRow("last drawn round") << "20" << false;
        QTest::newRow("next round") << "21" << true;
        QTest::newRow("far future round") << "30" << true;
    }
    void buttonsAndPanelsFollowTheRun() {
        QFETCH(QString, round);
        QFETCH(bool, future);
        const auto panels = [this] { return QList<bool>{shown("framYosou"), shown("framHenkou"), shown("framPrint")}; };
        QVERIFY(child<QPushButton>("cmdYosoku")->isEnabled());
        QVERIFY(!shown("cmdHenko") && !child<QPushButton>("cmdHenko")->isEnabled());
        QVERIFY(!shown("cmdPrint") && !child<QPushButton>("cmdPrint")->isEnabled());
        QCOMPARE(panels(), (QList<bool>{true, false, false}));

        runFor(round);
        QCOMPARE(window->predictionRunsStarted(), 1);
        QCOMPARE(window->state().intRunRound, round.toInt());
        QCOMPARE(window->state().intRunGame, 3);
        QCOMPARE(window->state().intShownRound, round.toInt());
        QCOMPARE(window->state().blnHasPrediction, future);
        QVERIFY(shown("cmdHenko") && child<QPushButton>("cmdHenko")->isEnabled());
        QCOMPARE(shown("cmdPrint"), future);
        QCOMPARE(child<QPushButton>("cmdPrint")->isEnabled(), future);

        click("cmdHenko");
        QCOMPARE(panels(), (QList<bool>{false, true, false}));
        QVERIFY(!child<QWidget>("framYosou")->isEnabled());
        if (future) {
            click("cmdPrint");
            QCOMPARE(panels(), (QList<bool>{false, false, true}));
        }
        click("cmdYosoku"); // same round again: back to the results, no new run
        QCOMPARE(panels(), (QList<bool>{true, false, false}));
        QCOMPARE(window->predictionRunsStarted(), 1);
    }

    // After a run for a future round, every way of leaving it asks first.
    void changesAfterAFuturePredictionAsk_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("yes");
        for (const char* change : {"typed round", "picked round", "other game"}) {
            QTest::addRow("%s, No", change) << change << false;
            QTest::addRow("%s, Yes", change) << change << true;
        }
    }
    void changesAfterAFuturePredictionAsk() {
        QFETCH(QString, change);
        QFETCH(bool, yes);
        runFor(QStringLiteral("21"));
        click("cmdHenko");
        QVERIFY(window->state().blnHasPrediction);

        boxes.expect(yes ? Answer::Yes : Answer::No);
        if (change == "typed round")
            typeRound(QStringLiteral("7"));
        else if (change == "picked round")
            pickRound(3);
        else
            clickGame(1);

        QCOMPARE(boxes.shown(), QStringList{kQuestion});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("新規予測確認")});
        QVERIFY(!window->state().blnReverting);
        QVERIFY(child<QRadioButton>("optNumbers_0")->isEnabled() && child<QRadioButton>("optNumbers_1")->isEnabled());
        QVERIFY(rounds()->isEnabled());
        if (yes) {
            QVERIFY(!window->state().blnHasPrediction);
            QVERIFY(!shown("cmdHenko") && !shown("cmdPrint"));
            QVERIFY(shown("framYosou") && !shown("framHenkou"));
            QCOMPARE(window->state().intGame, change == "other game" ? 4 : 3);
        } else {
            QVERIFY(window->state().blnHasPrediction);
            QVERIFY(shown("cmdHenko") && shown("cmdPrint"));
            QCOMPARE(rounds()->currentText(), QStringLiteral("21"));
            QVERIFY(child<QRadioButton>("optNumbers_0")->isChecked());
            QCOMPARE(window->state().intGame, 3);
            QCOMPARE(child<QLabel>("lblNum")->text(), QStringLiteral("3"));
        }
    }

    void changesAfterADrawnRoundRunClearWithoutAsking() {
        runFor(QStringLiteral("5"));
        QVERIFY(shown("cmdHenko"));
        typeRound(QStringLiteral("6"));
        QCOMPARE(boxes.shown().size(), 0);
        QVERIFY(!shown("cmdHenko"));
        runFor(QStringLiteral("6"));
        clickGame(1);
        QCOMPARE(boxes.shown().size(), 0);
        QVERIFY(!shown("cmdHenko"));
        QCOMPARE(window->state().intGame, 4);
    }

    void clickingTheSelectedGameDoesNothing() {
        runFor(QStringLiteral("21"));
        clickGame(0);
        QCOMPARE(boxes.shown().size(), 0);
        QVERIFY(window->state().blnHasPrediction);
        QVERIFY(shown("cmdPrint"));
    }

    // A drawn round is analysed once per game and round, even after the view was
    // cleared; a future round runs again once its view was cleared.
    void repeatedRunsForTheSameRound_data() {
        QTest::addColumn<QString>("round");
        QTest::addColumn<QString>("other");
        QTest::addColumn<int>("runsAfterClearing");
        QTest::newRow("drawn") << "5"
                               << "6" << 1;
        QTest::newRow("future") << "21"
                                << "7" << 2;
    }
    void repeatedRunsForTheSameRound() {
        QFETCH(QString, round);
        QFETCH(QString, other);
        QFETCH(int, runsAfterClearing);
        runFor(round);
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 1);

        if (round.toInt() > kRounds3)
            boxes.expect(Answer::Yes); // a future round's view is cleared only when the user agrees
        typeRound(other);              // clears the view
        typeRound(round);
        QVERIFY(!shown("cmdHenko"));
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), runsAfterClearing);
    }

    void sameRoundOfTheOtherGameRunsAgain() {
        runFor(QStringLiteral("5"));
        clickGame(1);
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 2);
        QCOMPARE(window->state().intRunGame, 4);
    }

    void failedRunLeavesTheViewCleared() {
        window->setPredictionRun([](tw::common::Game, int) { return false; });
        runFor(QStringLiteral("21"));
        QCOMPARE(window->predictionRunsStarted(), 1);
        QVERIFY(!window->state().blnHasPrediction);
        QVERIFY(!shown("cmdHenko"));
    }

    void datePanelTogglesTheCalendar() {
        auto* bar = child<QStatusBar>("StatusBar1");
        auto* date = bar->findChild<QLabel*>("StatusBar1_Date");
        auto* time = bar->findChild<QLabel*>("StatusBar1_Time");
        QCOMPARE(date->text(), QStringLiteral("2024/01/10"));
        QCOMPARE(time->text(), QStringLiteral("10:00"));
        QVERIFY(bar->children().indexOf(date) < bar->children().indexOf(time));

        QList<bool> calendar;
        for (QLabel* panel : {date, time, date}) {
            QTest::mouseClick(panel, Qt::LeftButton);
            calendar << shown("mvWindow");
            QCOMPARE(window->state().blnCalendarShown, calendar.last());
        }
        QCOMPARE(calendar, (QList<bool>{true, true, false}));
        // The time panel keeps a margin from the window's right edge.
        QVERIFY2(bar->width() - (time->geometry().right() + 1) >= 4,
                 qPrintable(QStringLiteral("%1 of %2").arg(time->geometry().right()).arg(bar->width())));
    }

    void deadlineTimerRunsOnWeekdaysOnly_data() {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<bool>("on");
        QTest::newRow("Monday") << QDate(2024, 1, 8) << true;
        QTest::newRow("Friday") << QDate(2024, 1, 12) << true;
        QTest::newRow("Saturday") << QDate(2024, 1, 13) << false;
        QTest::newRow("Sunday") << QDate(2024, 1, 14) << false;
    }
    void deadlineTimerRunsOnWeekdaysOnly() {
        QFETCH(QDate, day);
        QFETCH(bool, on);
        now = QDateTime(day, QTime(17, 0));
        openWindow();
        auto* timer = window->findChild<QTimer*>("tmStart");
        QCOMPARE(timer->isActive(), on);
        if (on)
            QCOMPARE(timer->interval(), MainWindow::kNoticeIntervalMs);
    }

    void deadlineNoticeOncePerWindow() {
        auto* timer = window->findChild<QTimer*>("tmStart");
        QStringList expected;
        for (const QTime at : {QTime(17, 5), QTime(17, 6), QTime(17, 29), QTime(17, 30), QTime(18, 16)}) {
            now = QDateTime(QDate(2024, 1, 10), at);
            if (at == QTime(17, 5) || at == QTime(17, 30))
                boxes.expect(Answer::Ok); // the notice at 17:05 and again at 17:30
            QVERIFY(fireTimer(timer));
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), MainWindow::kNoticeIntervalMs);
        }
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY(boxes.shown().at(0).startsWith(QStringLiteral("現在時刻：[17:05]\r")));
        QVERIFY(boxes.shown().at(1).startsWith(QStringLiteral("現在時刻：[17:30]\r")));
        QCOMPARE(boxes.titles().at(0), QStringLiteral("【現在時刻通知】"));
    }

    // The entry dialog opens for the next round of the selected game; afterwards
    // the round list starts at the new count + 1.
    void dataEntryOpensForTheNextRoundAndRefillsTheList_data() {
        QTest::addColumn<int>("gameIndex");
        QTest::newRow("Numbers3") << 0;
        QTest::newRow("Numbers4") << 1;
    }
    void dataEntryOpensForTheNextRoundAndRefillsTheList() {
        QFETCH(int, gameIndex);
        const tw::common::Game game = gameIndex == 0 ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4;
        const int count = game == tw::common::Game::Numbers3 ? kRounds3 : kRounds4;
        clickGame(gameIndex);
        std::optional<tw::common::Game> numbers;
        std::optional<int> entryRound;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<tw::history::DrawEntryDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            numbers = dialog->game();
            entryRound = dialog->entryRound();
            tw::history::NumData rec;
            rec.dteDraw = 45301;
            history.table(game).store(count + 1, rec);
            dialog->done(QDialog::Accepted);
        });
        click("cmdDataEntry");
        QVERIFY(numbers == game);
        QCOMPARE(entryRound, std::optional<int>(count + 1));
        QCOMPARE(item(0), QString::number(count + 2));
        QCOMPARE(rounds()->count(), count + 2);
        QCOMPARE(rounds()->currentIndex(), 0);
    }

    // The two analysis windows open for the game chosen in the main window, over its rounds.
    void analysisButtonsOpenTheirWindowsForTheSelectedGame_data() {
        QTest::addColumn<int>("gameIndex");
        QTest::newRow("Numbers3") << 0;
        QTest::newRow("Numbers4") << 1;
    }
    void analysisButtonsOpenTheirWindowsForTheSelectedGame() {
        QFETCH(int, gameIndex);
        const int count = gameIndex == 0 ? kRounds3 : kRounds4;
        clickGame(gameIndex);
        QCOMPARE(child<QPushButton>("cmdBacktest")->text(), QStringLiteral("成績検証"));
        QCOMPARE(child<QPushButton>("cmdStatistics")->text(), QStringLiteral("統計"));

        std::optional<int> statisticsGame;
        std::optional<int> statisticsTo;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<tw::reports::StatisticsDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (dialog->statistics()) {
                statisticsGame = tw::common::gameCode(dialog->statistics()->game);
                statisticsTo = dialog->statistics()->to;
            }
            dialog->done(QDialog::Accepted);
        });
        click("cmdStatistics");
        QCOMPARE(statisticsGame, std::optional<int>(gameIndex == 0 ? 3 : 4));
        QCOMPARE(statisticsTo, std::optional<int>(count));

        std::optional<int> backtestTo;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<tw::backtest::BacktestDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            backtestTo = dialog->findChild<QSpinBox*>("spnTo")->value();
            dialog->done(QDialog::Rejected);
        });
        click("cmdBacktest");
        QCOMPARE(backtestTo, std::optional<int>(count));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // 購入記録 opens the ledger of the working folder; what the print panel
    // records goes to the same file, for the round in the selector.
    void ledgerButtonAndPrintPanelUseTheWorkingFoldersLedger() {
        QCOMPARE(child<QPushButton>("cmdLedger")->text(), QStringLiteral("購入記録"));
        const QString ledgerFile = work.filePath(QStringLiteral("tallowind.db"));
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<tw::ledger::LedgerWindow*>(QApplication::activeModalWidget())) {
                opened = true;
                dialog->done(QDialog::Rejected);
            }
        });
        click("cmdLedger");
        QVERIFY(opened);
        QVERIFY(QFileInfo::exists(ledgerFile));
        QCOMPARE(boxes.shown().size(), 0);

        runFor(QStringLiteral("21"));
        click("cmdPrint");
        const auto& target = child<tw::printing::PrintPanel>("framPrint")->ledgerTarget();
        QVERIFY(target.has_value());
        QCOMPARE(QFileInfo(QString::fromStdString(target->path)), QFileInfo(ledgerFile));
        QCOMPARE(target->round, 21);
    }

    // The change panel's announcement of a stored selection lands in the status bar.
    void storedSelectionIsShownInTheStatusBar() {
        QCOMPARE(window->statusBar()->currentMessage(), QString());
        auto* panel = child<tw::selection::ChangePanel>("framHenkou");
        Q_EMIT panel->selectionStored(QStringLiteral("NUMBERS３ユーザー選出.dat"));
        QCOMPARE(window->statusBar()->currentMessage(),
                 QStringLiteral("選出Noを保存しました（NUMBERS３ユーザー選出.dat）"));
    }

    void ledgerThatCannotBeOpenedOnlyGivesItsMessage() {
        QVERIFY(writeFile(work.filePath(QStringLiteral("tallowind.db")), QByteArray(4096, 'x')));
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<tw::ledger::LedgerWindow*>(QApplication::activeModalWidget())) {
                opened = true;
                dialog->done(QDialog::Rejected);
            }
        });
        boxes.expect(Answer::Ok);
        click("cmdLedger");
        QVERIFY(!opened);
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(child<QPushButton>("cmdYosoku")->isEnabled());
        QFile::remove(work.filePath(QStringLiteral("tallowind.db")));
    }

    void dataEntryWithAFuturePredictionAsksFirst() {
        runFor(QStringLiteral("21"));
        boxes.expect(Answer::No);
        click("cmdDataEntry");
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("データ登録")});
        QCOMPARE(boxes.shown(), QStringList{kQuestion});
        QVERIFY(window->state().blnHasPrediction);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A refused game or round change leaves the prediction guarded: the entry
    // dialog still asks before it would discard it, and No keeps it.
    void dataEntryAfterARefusedChangeStillAsks_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("other game") << "other game";
        QTest::newRow("typed round") << "typed round";
        QTest::newRow("picked round") << "picked round";
    }
    void dataEntryAfterARefusedChangeStillAsks() {
        QFETCH(QString, change);
        runFor(QStringLiteral("21"));
        boxes.expect(Answer::No);
        if (change == "other game")
            clickGame(1);
        else if (change == "typed round")
            typeRound(QStringLiteral("7"));
        else
            pickRound(3);
        QVERIFY(window->state().blnHasPrediction);

        bool entryOpened = false;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<tw::history::DrawEntryDialog*>(QApplication::activeModalWidget())) {
                entryOpened = true;
                dialog->done(QDialog::Rejected);
            }
        });
        boxes.expect(Answer::No);
        click("cmdDataEntry");
        QCOMPARE(boxes.titles(), (QStringList{QStringLiteral("新規予測確認"), QStringLiteral("データ登録")}));
        QVERIFY(!entryOpened);
        QVERIFY(window->state().blnHasPrediction);
        QVERIFY(shown("cmdHenko") && shown("cmdPrint"));
        QCOMPARE(rounds()->currentText(), QStringLiteral("21"));
        QVERIFY(child<QRadioButton>("optNumbers_0")->isChecked());
        QCOMPARE(window->predictionRunsStarted(), 1);
    }

    // A larger window gives its height to the grids; the count and money boxes
    // stay one line high.
    void largerWindowGrowsTheGridsNotTheBoxes() {
        const QSize normal = window->size();
        const int gridBefore = child<QWidget>("gridResulte_0")->height();
        window->resize(normal.width() + 400, normal.height() + 500);
        QTRY_COMPARE(window->height(), normal.height() + 500);
        QTest::qWait(50); // the layout settles in the event loop
        for (const char* name :
             {"lblBuyCount_0", "lblBuyMoney_0", "lblBuyCount_1", "lblBuyMoney_1", "lblBuyCount_2", "lblBuyMoney_2"}) {
            auto* label = child<QLabel>(name);
            QVERIFY2(label->height() <= label->sizeHint().height() + 2,
                     qPrintable(QStringLiteral("%1: %2").arg(name).arg(label->height())));
        }
        QVERIFY(child<QWidget>("gridResulte_0")->height() > gridBefore + 100);
        QVERIFY(child<QWidget>("gridResulte_1")->height() > gridBefore + 100);
    }

    // However tall the window, the result grids show whole rows: no row is cut
    // at the bottom edge (the Numbers4 groups scroll, so a cut row shows there).
    void resultGridsShowWholeRows_data() {
        QTest::addColumn<int>("extraHeight");
        for (const int extra : {0, 7, 13, 101, 333})
            QTest::addRow("%d px taller", extra) << extra;
    }
    void resultGridsShowWholeRows() {
        QFETCH(int, extraHeight);
        clickGame(1);
        const QSize normal = window->size();
        window->resize(normal.width(), normal.height() + extraHeight);
        QTRY_COMPARE(window->height(), normal.height() + extraHeight);
        QTest::qWait(50);
        for (const char* name : {"gridResulte_0", "gridResulte_1", "gridResulte_3"}) {
            auto* grid = child<QTableWidget>(name);
            const int rowHeight = grid->verticalHeader()->defaultSectionSize();
            QVERIFY2(grid->viewport()->height() % rowHeight == 0,
                     qPrintable(QStringLiteral("%1: %2 px").arg(name).arg(grid->viewport()->height())));
            QVERIFY(grid->viewport()->height() >= 5 * rowHeight);
        }
    }

    void exitCancelKeepsRunningWithRecordsUnsaved() {
        tw::history::NumData rec;
        rec.dteDraw = 45301;
        QVERIFY(history.num3.store(kRounds3 + 1, rec));
        const QByteArray before = readFile(work.filePath("Num3Data.tbl"));
        boxes.expect(Answer::Cancel);
        click("cmdExit");
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral("終了しますか？")});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【終了確認】")});
        QVERIFY(exits.isEmpty());
        QVERIFY(window->isVisible());
        QVERIFY(history.num3.record(kRounds3 + 1).blnUnsaved);
        QCOMPARE(readFile(work.filePath("Num3Data.tbl")), before);
    }

    void exitWithNothingStoredLeavesBothFilesUnchanged() {
        const auto before = snapshot(work.path());
        boxes.expect(Answer::Ok);
        click("cmdExit");
        QCOMPARE(exits, QList<int>{0});
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(snapshot(work.path()), before);
    }

    void exitAppendsTheStoredRound() {
        tw::history::NumData rec;
        rec.dteDraw = 45301; // 2024/01/10
        rec.bytNum = {0, 1, 2, 3, 4};
        QVERIFY(history.num4.store(kRounds4 + 1, rec));
        const QByteArray before3 = readFile(work.filePath("Num3Data.tbl"));
        const QByteArray before4 = readFile(work.filePath("Num4Data.tbl"));
        boxes.expect(Answer::Ok);
        click("cmdExit");
        QCOMPARE(exits, QList<int>{0});
        QCOMPARE(readFile(work.filePath("Num3Data.tbl")), before3);
        const QByteArray after4 = readFile(work.filePath("Num4Data.tbl"));
        QVERIFY(after4.startsWith(before4));
        QCOMPARE(after4.mid(before4.size()), QByteArray("16,2024/01/10,1234,0,0,0,0\r\n"));
        QVERIFY(!history.num4.record(kRounds4 + 1).blnUnsaved);
    }

    // One table file that cannot be written: both files are tried, one message
    // lists every failure, and the program stays open with the unsaved round, so
    // that exiting again after the cause is gone saves it. Before, the first
    // failure ended the program and the Numbers4 round was never written.
    void exitWithOneFailingFileSavesTheOtherAndStaysOpen_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("saved");
        QTest::newRow("Numbers3 fails") << "Num3Data.tbl"
                                        << "Num4Data.tbl";
        QTest::newRow("Numbers4 fails") << "Num4Data.tbl"
                                        << "Num3Data.tbl";
    }
    void exitWithOneFailingFileSavesTheOtherAndStaysOpen() {
        QFETCH(QString, failing);
        QFETCH(QString, saved);
        tw::history::NumData rec;
        rec.dteDraw = 45301;
        QVERIFY(history.num3.store(kRounds3 + 1, rec));
        QVERIFY(history.num4.store(kRounds4 + 1, rec));
        const QByteArray failingBytes = readFile(work.filePath(failing));
        const QByteArray savedBefore = readFile(work.filePath(saved));
        QVERIFY(QFile::remove(work.filePath(failing)));
        QVERIFY(QDir(work.path()).mkdir(failing)); // a folder where the file should be

        boxes.expect(Answer::Ok); // the exit question
        boxes.expect(Answer::Ok); // the save error
        click("cmdExit");
        QCOMPARE(boxes.titles(), (QStringList{QStringLiteral("【終了確認】"), QStringLiteral("【保存エラー】")}));
        const QString text = boxes.shown().at(1);
        QVERIFY2(text.startsWith(QStringLiteral("ファイル「") + failing + QStringLiteral("」に保存できません。")),
                 qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r終了を取りやめました。")), qPrintable(text));
        QVERIFY(exits.isEmpty());
        QVERIFY(window->isVisible());
        const QByteArray savedAfter = readFile(work.filePath(saved));
        QVERIFY(savedAfter.startsWith(savedBefore) && savedAfter.size() > savedBefore.size());
        using tw::common::Game;
        const Game failingGame = failing.startsWith(QStringLiteral("Num3")) ? Game::Numbers3 : Game::Numbers4;
        const Game savedGame = failingGame == Game::Numbers3 ? Game::Numbers4 : Game::Numbers3;
        QVERIFY(history.table(failingGame).record(history.table(failingGame).count).blnUnsaved);
        QVERIFY(!history.table(savedGame).record(history.table(savedGame).count).blnUnsaved);

        // The folder is gone again and the file back as loaded: the next exit saves the round.
        QVERIFY(QDir(work.path()).rmdir(failing));
        QVERIFY(writeFile(work.filePath(failing), failingBytes));
        boxes.clearShown();
        boxes.expect(Answer::Ok);
        click("cmdExit");
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(exits, QList<int>{0});
        QCOMPARE(readFile(work.filePath(saved)), savedAfter);
        const int slot = history.table(failingGame).count;
        const std::string line = tw::history::FormatTableLine(rec, slot, failingGame) + "\r\n";
        QCOMPARE(readFile(work.filePath(failing)), failingBytes + QByteArray::fromStdString(line));
    }

    // Both files failing: still one message, listing both.
    void exitWithBothFilesFailingListsBoth() {
        tw::history::NumData rec;
        QVERIFY(history.num3.store(kRounds3 + 1, rec));
        QVERIFY(history.num4.store(kRounds4 + 1, rec));
        for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"})
            QVERIFY(writeFile(work.filePath(name), "changed by another program\r\n"));
        boxes.expect(Answer::Ok); // the exit question
        boxes.expect(Answer::Ok); // the save error
        click("cmdExit");
        QCOMPARE(boxes.shown().size(), 2);
        const QStringList lines = boxes.shown().at(1).split(QLatin1Char('\r'));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("ファイル「Num3Data.tbl」")));
        QVERIFY(lines[1].startsWith(QStringLiteral("ファイル「Num4Data.tbl」")));
        QVERIFY(exits.isEmpty());
        for (const char* name : {"Num3Data.tbl", "Num4Data.tbl"})
            QCOMPARE(readFile(work.filePath(name)), QByteArray("changed by another program\r\n"));
    }

    void closeBoxAsksLikeTheExitButton() {
        boxes.expect(Answer::Cancel);
        window->close();
        QVERIFY(window->isVisible());
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【終了確認】")});
        QVERIFY(exits.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
