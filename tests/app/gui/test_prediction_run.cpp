// Prediction runs in the main window over the bundled history: a back-test of a
// drawn round of each game (grid cells, hit colours, counts, prices, hits and
// money against the engine's own hit summary), a run for the next round, the
// question before a shown prediction is discarded, the restart buttons, refused
// rounds, and the purchase-deadline notice through the window's clock.
#include "app/app_state.h"
#include "app/gui/main_window.h"
#include "app/result_layout.h"
#include "common/number_format.h"
#include "engine/engine.h"
#include "history/table_file.h"
#include "support/bundled_workdir.h"
#include "support/strict_message_hook.h"
#include "support/timer_tick.h"
#include "support/window_clock.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>

using tw::app::MainWindow;
using tw::engine::CountedList;
using tw::engine::PredNum;
using tw::history::NumData;
using tw::testing::fireTimer;
using tw::ui::Answer;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);

// Rounds of the bundled history whose back-test has straight and box hits (and,
// for NUMBERS 3, a Mini hit); the test checks that this is still so.
constexpr int kDrawnRound3 = 1197;
constexpr int kDrawnRound4 = 569;

enum class Mark { None, Straight, Box };

// The test rows name the game by its code, 3 or 4.
tw::common::Game gameOf(int code) {
    return code == 4 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
}

QString yen(int64_t amount, std::string_view pattern) {
    // Windows show the yen sign where the file formats keep the backslash byte.
    return QString::fromStdString(tw::common::formatNumber(amount, pattern)).replace(QLatin1Char(0x5C), QChar(0xA5));
}

// Straight and box decided here from the digits, independently of the engine.
Mark groupMark(const PredNum& entry, const NumData& draw, int game) {
    const int n = tw::common::digitCount(gameOf(game));
    const std::array<int, 4> all{entry.intNum1, entry.intNum2, entry.intNum3, entry.intNum4};
    std::vector<int> mine(all.begin(), all.begin() + n);
    std::vector<int> drawn;
    for (int i = 1; i <= n; ++i)
        drawn.push_back(draw.bytNum[static_cast<std::size_t>(i)]);
    if (mine == drawn)
        return Mark::Straight;
    std::sort(mine.begin(), mine.end());
    std::sort(drawn.begin(), drawn.end());
    return mine == drawn ? Mark::Box : Mark::None;
}

Mark miniMark(const PredNum& entry, const NumData& draw) {
    return draw.bytNum[2] == entry.intNum1 && draw.bytNum[3] == entry.intNum2 ? Mark::Straight : Mark::None;
}

QString groupText(const PredNum& entry, int game) {
    const QString text = QStringLiteral("%1%2%3").arg(entry.intNum1).arg(entry.intNum2).arg(entry.intNum3);
    return game == 4 ? text + QString::number(entry.intNum4) : text;
}

QString miniText(const PredNum& entry) {
    return QStringLiteral("*%1%2").arg(entry.intNum1).arg(entry.intNum2);
}

QStringList cellTexts(const QTableWidget* grid) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            texts << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    return texts;
}

struct MarkCount {
    int straight = 0;
    int box = 0;
};

} // namespace

class TestPredictionRun : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private:
    QTemporaryDir work;
    tw::app::AppState appState;
    tw::history::DrawHistory bundled;
    tw::history::DrawHistory history;
    QDateTime now = tw::testing::kWednesdayMorning;
    std::unique_ptr<MainWindow> window;

    template <typename T> T* child(const QString& name) const { return tw::testing::child<T>(window.get(), name); }
    QString text(const QString& label) const { return child<QLabel>(label)->text(); }
    QString text(const char* name, int index) const { return text(QStringLiteral("%1_%2").arg(name).arg(index)); }
    QTableWidget* grid(int index) const { return child<QTableWidget>(QStringLiteral("gridResulte_%1").arg(index)); }
    bool shown(const QString& name) const { return child<QWidget>(name)->isVisible(); }
    QComboBox* rounds() const { return child<QComboBox>(QStringLiteral("cmbRound")); }

    void typeRound(const QString& round) {
        rounds()->lineEdit()->selectAll();
        QTest::keyClicks(rounds(), round);
    }
    void clickGame(int index) {
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("optNumbers_%1").arg(index)), Qt::LeftButton);
    }
    void click(const char* name) { tw::testing::click(window.get(), name); }
    void predict(int game, int round) {
        if (game == 4)
            clickGame(1);
        typeRound(QString::number(round));
        click("cmdYosoku");
    }

    // Checks every cell of a result grid against the list: texts, the row
    // numbers, the hit colours, and empty cells after the last entry.
    void checkGrid(int index, const CountedList<PredNum>& list, const std::function<QString(const PredNum&)>& textOf,
                   const std::function<Mark(const PredNum&)>& markOf, MarkCount& marks) {
        const QTableWidget* g = grid(index);
        const int perRow = tw::app::kResultGrids[static_cast<std::size_t>(index)].perRow;
        QCOMPARE(g->columnCount(), perRow + 1);
        QCOMPARE(g->rowCount(), tw::app::resultGridRows(index, list.count));
        for (int r = 0; r < g->rowCount(); ++r) {
            const bool used = r * perRow < list.count;
            QCOMPARE(g->item(r, 0)->text(), used ? QString::number(r + 1) : QString());
            for (int c = 1; c <= perRow; ++c) {
                const QTableWidgetItem* cell = g->item(r, c);
                const int k = r * perRow + c - 1;
                if (k >= list.count) {
                    QCOMPARE(cell->text(), QString());
                    continue;
                }
                QCOMPARE(cell->text(), textOf(list[k]));
                switch (markOf(list[k])) {
                case Mark::Straight:
                    ++marks.straight;
                    QCOMPARE(cell->foreground().color(), kRed);
                    QCOMPARE(cell->background().color(), kYellow);
                    break;
                case Mark::Box:
                    ++marks.box;
                    QCOMPARE(cell->foreground().color(), kBlue);
                    QCOMPARE(cell->background().color(), kYellow);
                    break;
                case Mark::None:
                    QCOMPARE(cell->foreground().style(), Qt::NoBrush);
                    QCOMPARE(cell->background().style(), Qt::NoBrush);
                    break;
                }
            }
        }
    }

    // Checks a group's buy, hit and money labels against the engine's summary.
    void checkGroupLabels(int buyIndex, int hitIndex, const char* tpName, const tw::engine::GroupHits& hits) {
        QCOMPARE(text("lblBuyCount", buyIndex), QString::number(hits.count));
        QCOMPARE(text("lblBuyMoney", buyIndex), yen(int64_t{hits.count} * 200, tw::common::kYen7));
        QCOMPARE(text(tpName, 1), QString::number(hits.straight));
        QCOMPARE(text(tpName, 2), QString::number(hits.box));
        QCOMPARE(text("lblGrpHC", hitIndex), QString::number(hits.straight + hits.box));
        QCOMPARE(text("lblGrpMny", hitIndex), yen(hits.money, tw::common::kYen7));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(work.isValid());
        auto workdir = tw::testing::prepareBundledWorkdir(work.path());
        appState = workdir.appState;
        bundled = std::move(workdir.history);
    }
    void init() {
        history = bundled;
        now = tw::testing::kWednesdayMorning;
        boxes.start();
        window = std::make_unique<MainWindow>(history, appState, [this] { return now; });
        window->setPredictionIntervals({1, 1, 1});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void backTestOfADrawnRound_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("round");
        QTest::newRow("NUMBERS 3") << 3 << kDrawnRound3;
        QTest::newRow("NUMBERS 4") << 4 << kDrawnRound4;
    }
    void backTestOfADrawnRound() {
        QFETCH(int, game);
        QFETCH(int, round);
        predict(game, round);
        QCOMPARE(window->predictionRunsStarted(), 1);
        QVERIFY(boxes.shown().isEmpty());

        // The window analysed rounds 1 .. round - 1 of the right game.
        tw::engine::Engine reference;
        QCOMPARE(reference.YosouSetUp(history.table(gameOf(game)), gameOf(game), 1, round - 1),
                 tw::engine::EngineError::None);
        QCOMPARE(reference.runToEnd(), tw::engine::EngineError::None);
        const tw::engine::Proposal& proposal = window->engine().proposal();
        QVERIFY(proposal.grp1 == reference.proposal().grp1);
        QVERIFY(proposal.grp2 == reference.proposal().grp2);
        QVERIFY(game == 3 ? proposal.mini == reference.proposal().mini : proposal.grp3 == reference.proposal().grp3);

        const NumData& draw = history.table(gameOf(game)).record(round);
        const tw::engine::HitSummary summary = tw::engine::summarizeHits(proposal, draw, gameOf(game));
        const tw::engine::GroupHits& third = summary.third;
        QVERIFY2(summary.group1.straight + summary.group2.straight + (game == 4 ? third.straight : 0) > 0,
                 "the chosen round must have a straight hit");
        QVERIFY2(summary.group1.box + summary.group2.box + third.box > 0, "the chosen round must have a box hit");
        if (game == 3)
            QVERIFY2(third.straight > 0, "the chosen round must have a Mini hit");

        // Cells and colours; the marked cells add up to the engine's counts.
        const auto groupTextOf = [game](const PredNum& e) { return groupText(e, game); };
        const auto groupMarkOf = [&draw, game](const PredNum& e) { return groupMark(e, draw, game); };
        MarkCount marks1, marks2, marks3;
        checkGrid(0, proposal.grp1, groupTextOf, groupMarkOf, marks1);
        if (QTest::currentTestFailed())
            return;
        checkGrid(1, proposal.grp2, groupTextOf, groupMarkOf, marks2);
        if (QTest::currentTestFailed())
            return;
        if (game == 3)
            checkGrid(
                2, proposal.mini, miniText, [&draw](const PredNum& e) { return miniMark(e, draw); }, marks3);
        else
            checkGrid(3, proposal.grp3, groupTextOf, groupMarkOf, marks3);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(marks1.straight, summary.group1.straight);
        QCOMPARE(marks1.box, summary.group1.box);
        QCOMPARE(marks2.straight, summary.group2.straight);
        QCOMPARE(marks2.box, summary.group2.box);
        QCOMPARE(marks3.straight, third.straight);
        QCOMPARE(marks3.box, third.box);

        // Column widths follow the grid width.
        for (int g : {0, 1, game == 3 ? 2 : 3}) {
            const int unitWidth = g <= 1 ? grid(0)->width() : grid(g)->width();
            const tw::app::ResultColumnWidths widths = tw::app::resultColumnWidths(g, unitWidth);
            QCOMPARE(grid(g)->columnWidth(0), widths.rowNumber);
            QCOMPARE(grid(g)->columnWidth(1), widths.entry);
        }

        // Draw result with its prize formats.
        QString digits;
        for (int i = 1; i <= game; ++i)
            digits += QString::number(draw.bytNum[static_cast<std::size_t>(i)]);
        QCOMPARE(text(QStringLiteral("lblResNum")), digits);
        QCOMPARE(text("lblMoney", 0), yen(draw.lngStraight, tw::common::kYen7));
        QCOMPARE(text("lblMoney", 1), yen(draw.lngBox, tw::common::kYen6));
        QCOMPARE(text("lblMoney", 2), yen(draw.lngSetStraight, tw::common::kYen7));
        QCOMPARE(text("lblMoney", 3), yen(draw.lngSetBox, tw::common::kYen6));
        QVERIFY(text("lblMoney", 0).startsWith(QChar(0xA5)));
        QVERIFY(shown(QStringLiteral("setHitData_1")));
        QVERIFY(shown(QStringLiteral("framYHit")));
        QCOMPARE(shown(QStringLiteral("setHitData_5")), game == 3);

        // Counts, prices, hits and money.
        checkGroupLabels(0, 0, "lblGrp1TP", summary.group1);
        if (QTest::currentTestFailed())
            return;
        checkGroupLabels(1, 1, "lblGrp2TP", summary.group2);
        if (QTest::currentTestFailed())
            return;
        if (game == 3) {
            QCOMPARE(text("lblMoney", 4), yen(draw.lngMini, tw::common::kYen5));
            QCOMPARE(text("lblBuyCount", 2), QString::number(third.count));
            QCOMPARE(text("lblBuyMoney", 2), yen(int64_t{third.count} * 200, tw::common::kYen6));
            QCOMPARE(text("lblGrpHC", 2), QString::number(third.straight));
            QCOMPARE(text("lblGrpMny", 2), yen(third.money, tw::common::kYen7));
            QCOMPARE(text("lblBuyCount", 3), QStringLiteral("0"));
        } else {
            checkGroupLabels(3, 2, "lblGrp3TP", third);
            QCOMPARE(text("lblBuyCount", 2), QStringLiteral("0"));
        }
        for (const char* name : {"lblGrp3TP_1", "lblGrp3TP_2", "lblGrp3ST_0", "lblGrp3ST_1"})
            QCOMPARE(shown(QString::fromLatin1(name)), game == 4);
        QCOMPARE(shown(QStringLiteral("subFramMini")), game == 3);
        QCOMPARE(shown(QStringLiteral("gridResulte_2")), game == 3);
        QCOMPARE(shown(QStringLiteral("Image11")), game == 3);
        QCOMPARE(shown(QStringLiteral("subFramGrp3")), game == 4);

        // Window state after a run for a drawn round.
        for (int i = 0; i < MainWindow::kProgressBars; ++i)
            QCOMPARE(window->prgBar(i)->value(), 100);
        QCOMPARE(window->state().intShownRound, round);
        QCOMPARE(window->state().intGame, game);
        QVERIFY(!window->state().blnHasPrediction);
        QVERIFY(shown(QStringLiteral("cmdHenko")));
        QVERIFY(!shown(QStringLiteral("cmdPrint")));

        // The same drawn round again: nothing runs, the view stays.
        const QStringList cells = cellTexts(grid(0));
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 1);
        QCOMPARE(cellTexts(grid(0)), cells);
    }

    void nextRoundShowsNoHits_data() {
        QTest::addColumn<int>("game");
        QTest::newRow("NUMBERS 3") << 3;
        QTest::newRow("NUMBERS 4") << 4;
    }
    void nextRoundShowsNoHits() {
        QFETCH(int, game);
        const int round = history.table(gameOf(game)).count + 1;
        predict(game, round);
        QCOMPARE(window->predictionRunsStarted(), 1);
        QVERIFY(!shown(QStringLiteral("framYHit")));
        QVERIFY(!shown(QStringLiteral("setHitData_1")));
        const tw::engine::Proposal& proposal = window->engine().proposal();
        QVERIFY(proposal.grp1.count > 0);
        QCOMPARE(window->engine().intLastRow(), round - 1);
        QCOMPARE(text("lblBuyCount", 0), QString::number(proposal.grp1.count));
        QCOMPARE(text("lblBuyMoney", 1), yen(int64_t{proposal.grp2.count} * 200, tw::common::kYen7));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(text("lblGrpHC", i), QStringLiteral("0"));
            QCOMPARE(text("lblGrpMny", i), QStringLiteral("¥0"));
        }
        for (int g : {0, 1, game == 3 ? 2 : 3}) {
            QVERIFY(!grid(g)->item(0, 1)->text().isEmpty());
            for (int r = 0; r < grid(g)->rowCount(); ++r)
                for (int c = 1; c < grid(g)->columnCount(); ++c)
                    QCOMPARE(grid(g)->item(r, c)->background().style(), Qt::NoBrush);
        }
        QVERIFY(window->state().blnHasPrediction);
        QVERIFY(shown(QStringLiteral("cmdPrint")));
        QVERIFY(child<QPushButton>(QStringLiteral("cmdPrint"))->isEnabled());
        QVERIFY(shown(QStringLiteral("cmdHenko")));
    }

    // A change that would discard a shown next-round prediction is asked about:
    // No sets the round or game back and keeps the results, Yes clears the view.
    void discardingAShownPredictionAsks_data() {
        QTest::addColumn<bool>("otherGame");
        QTest::addColumn<bool>("yes");
        QTest::newRow("round, No") << false << false;
        QTest::newRow("round, Yes") << false << true;
        QTest::newRow("game, No") << true << false;
        QTest::newRow("game, Yes") << true << true;
    }
    void discardingAShownPredictionAsks() {
        QFETCH(bool, otherGame);
        QFETCH(bool, yes);
        const int round = history.num3.count + 1;
        predict(3, round);
        const QStringList cells = cellTexts(grid(0));
        const QString count = text("lblBuyCount", 0);
        QVERIFY(!cells.join(QString()).isEmpty());

        boxes.expect(yes ? Answer::Yes : Answer::No);
        if (otherGame)
            clickGame(1);
        else
            typeRound(QStringLiteral("7")); // one key: each typed character is a change of its own
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("新規予測確認")});
        if (!yes) {
            QCOMPARE(rounds()->currentText(), QString::number(round));
            QVERIFY(child<QRadioButton>(QStringLiteral("optNumbers_0"))->isChecked());
            QCOMPARE(cellTexts(grid(0)), cells);
            QCOMPARE(text("lblBuyCount", 0), count);
            QVERIFY(window->state().blnHasPrediction);
            QVERIFY(shown(QStringLiteral("cmdPrint")));
            QCOMPARE(window->predictionRunsStarted(), 1);
            return;
        }
        QVERIFY(!window->state().blnHasPrediction);
        for (int g = 0; g < 4; ++g)
            QVERIFY(cellTexts(grid(g)).join(QString()).isEmpty());
        // The cleared grids keep the shape of the last run's counts.
        QCOMPARE(grid(0)->rowCount(), tw::app::resultGridRows(0, window->engine().proposal().grp1.count));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(text("lblBuyCount", i), QStringLiteral("0"));
            QCOMPARE(text("lblBuyMoney", i), QStringLiteral("¥0"));
        }
        for (int i = 0; i < MainWindow::kProgressBars; ++i)
            QCOMPARE(window->prgBar(i)->value(), 0);
        QVERIFY(!shown(QStringLiteral("cmdPrint")));
        QVERIFY(!shown(QStringLiteral("cmdHenko")));

        // After the view was cleared the next round runs again.
        if (otherGame)
            clickGame(0); // asks nothing now
        typeRound(QString::number(round));
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 2);
        QCOMPARE(cellTexts(grid(0)), cells);
    }

    void restartButtonsAskFirst_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("yes");
        const QString redo = QStringLiteral("解析からやり直します。\rよろしいですか？(Yes/No)");
        const QString again = QStringLiteral("再予測を行います。\rよろしいですか？(Yes/No)");
        QTest::newRow("Image2, No") << "Image2" << redo << "再解析確認" << false;
        QTest::newRow("Image2, Yes") << "Image2" << redo << "再解析確認" << true;
        QTest::newRow("Image3, No") << "Image3" << again << "再予測確認" << false;
        QTest::newRow("Image3, Yes") << "Image3" << again << "再予測確認" << true;
    }
    void restartButtonsAskFirst() {
        QFETCH(QString, button);
        QFETCH(QString, question);
        QFETCH(QString, title);
        QFETCH(bool, yes);
        predict(3, 300);
        QCOMPARE(child<QPushButton>(QStringLiteral("Image2"))->text(), QStringLiteral("解析からやりなおし"));
        QCOMPARE(child<QPushButton>(QStringLiteral("Image3"))->text(), QStringLiteral("再予測"));
        const QStringList cells = cellTexts(grid(0));
        boxes.expect(yes ? Answer::Yes : Answer::No);
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        QCOMPARE(boxes.shown(), QStringList{question});
        QCOMPARE(boxes.titles(), QStringList{title});
        QCOMPARE(window->predictionRunsStarted(), yes ? 2 : 1);
        QCOMPARE(window->state().intRunRound, 300);
        QCOMPARE(window->state().intRunGame, 3);
        QCOMPARE(cellTexts(grid(0)), cells);
        QVERIFY(shown(QStringLiteral("framYHit")));
    }

    // Round 1 has nothing before it to analyse: refused before any dialog opens.
    void refusedRoundsRunNothing_data() {
        QTest::addColumn<QString>("round");
        QTest::addColumn<QString>("message");
        QTest::newRow("round 1") << "1"
                                 << "第1回の予測はできません。\r予測には前の回までの抽選結果が必要です。";
        QTest::newRow("round 0") << "0"
                                 << "予測抽選回が正しくありません。\r第2回以降の抽選回を指定してください。";
    }
    void refusedRoundsRunNothing() {
        QFETCH(QString, round);
        QFETCH(QString, message);
        typeRound(round);
        boxes.expect(Answer::Ok);
        click("cmdYosoku");
        QCOMPARE(boxes.shown(), QStringList{message});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【予測確認】")});
        QCOMPARE(window->predictionRunsStarted(), 0);
        QVERIFY(!window->engine().hasRun());
        QVERIFY(!shown(QStringLiteral("cmdHenko")));

        boxes.clearShown();
        boxes.expect(Answer::Yes);
        boxes.expect(Answer::Ok);
        click("Image3");
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1), message);
        QCOMPARE(window->predictionRunsStarted(), 0);
    }

    // A typed round beyond the next one: the dialog reports the engine's refusal,
    // the view stays empty, and the button may be pressed again.
    void engineRefusalLeavesTheViewEmpty() {
        typeRound(QStringLiteral("9000"));
        boxes.expect(Answer::Ok);
        click("cmdYosoku");
        QCOMPARE(boxes.shown(), QStringList{tw::engine::PredictionProgressDialog::errorMessage(
                                    tw::engine::EngineError::RoundOutOfRange, 8999)});
        QCOMPARE(window->predictionRunsStarted(), 1);
        QVERIFY(!window->state().blnHasPrediction);
        QVERIFY(!shown(QStringLiteral("cmdHenko")));
        QVERIFY(!shown(QStringLiteral("framYHit")));
        QCOMPARE(text("lblBuyCount", 0), QStringLiteral("0"));
        boxes.expect(Answer::Ok);
        click("cmdYosoku");
        QCOMPARE(window->predictionRunsStarted(), 2);
    }

    void deadlineNoticeFollowsTheWindowClock() {
        struct Tick {
            QDateTime at;
            std::optional<QString> shown;
        };
        const QString rest = QStringLiteral("]\r購入締め切りまで、後わずかです。");
        const QList<Tick> ticks{
            {QDateTime(QDate(2024, 1, 10), QTime(17, 5)), QStringLiteral("現在時刻：[17:05") + rest},
            {QDateTime(QDate(2024, 1, 10), QTime(17, 6)), std::nullopt},
            {QDateTime(QDate(2024, 1, 10), QTime(17, 30)), QStringLiteral("現在時刻：[17:30") + rest},
            {QDateTime(QDate(2024, 1, 10), QTime(18, 16)), std::nullopt},
            {QDateTime(QDate(2024, 1, 13), QTime(17, 0)), std::nullopt}, // Saturday
        };
        auto* timer = window->findChild<QTimer*>(QStringLiteral("tmStart"));
        for (const Tick& tick : ticks) {
            boxes.clearShown();
            now = tick.at;
            if (tick.shown)
                boxes.expect(Answer::Ok);
            QVERIFY(fireTimer(timer));
            QCOMPARE(boxes.shown(), tick.shown ? QStringList{*tick.shown} : QStringList{});
            if (tick.shown)
                QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【現在時刻通知】")});
            QVERIFY(timer->isActive());
            QCOMPARE(timer->interval(), MainWindow::kNoticeIntervalMs);
        }
    }

    // The minute timer is off while the notice waits for its OK.
    void deadlineTimerIsOffWhileTheNoticeIsShown() {
        tw::ui::MessageHook::disable();
        auto* timer = window->findChild<QTimer*>(QStringLiteral("tmStart"));
        std::optional<bool> activeWhileShown;
        QString shownText;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            activeWhileShown = timer->isActive();
            shownText = box->text();
            box->accept();
        });
        now = QDateTime(QDate(2024, 1, 10), QTime(17, 45));
        QVERIFY(fireTimer(timer));
        QCOMPARE(activeWhileShown, std::optional<bool>(false));
        QVERIFY(shownText.startsWith(QStringLiteral("現在時刻：[17:45]")));
        QVERIFY(timer->isActive());
    }
};

QTEST_MAIN(TestPredictionRun)
#include "test_prediction_run.moc"
