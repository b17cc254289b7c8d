// The progress dialog of a prediction run over the bundled NUMBERS 3 history:
// a complete run (same proposal as an unpaced run), each pass' progress tick by
// tick as the signal reports it, the blinking caption, a second activation,
// engine errors, and no early close.
#include "engine/engine.h"
#include "engine/gui/prediction_progress_dialog.h"
#include "history/table_file.h"
#include "support/strict_message_hook.h"
#include "support/timer_tick.h"
#include "ui/message_box.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <memory>

using tw::engine::Engine;
using tw::engine::EngineError;
using tw::engine::PredictionProgressDialog;
using tw::testing::fireTimer;

namespace {
constexpr PredictionProgressDialog::Intervals kFast{1, 1, 1};
// Long enough that no timer fires while a test steps the dialog by hand.
constexpr PredictionProgressDialog::Intervals kHeld{3600000, 3600000, 3600000};
} // namespace

class TestPredictionProgressDialog : public QObject {
    Q_OBJECT

private:
    tw::history::DrawTable table;
    // Bars as an opener shows them, fed by the dialog's progress signal.
    std::array<std::unique_ptr<QProgressBar>, PredictionProgressDialog::kPasses> barOwners;
    std::array<QProgressBar*, PredictionProgressDialog::kPasses> bars{};
    // Every box is expected; an error nobody expected fails the test.
    tw::testing::StrictMessageHook boxes;
    Engine engine;

    std::unique_ptr<PredictionProgressDialog>
    makeDialog(int maxCount, const PredictionProgressDialog::Intervals& intervals, int game = 3) {
        PredictionProgressDialog::Request request;
        request.game = tw::common::Game{game};
        request.runType = 1;
        request.maxCount = static_cast<int16_t>(maxCount);
        auto dialog = std::make_unique<PredictionProgressDialog>(engine, table, request);
        dialog->setIntervals(intervals);
        QObject::connect(dialog.get(), &PredictionProgressDialog::passProgress, dialog.get(),
                         [this](int pass, int percent) { bars[static_cast<std::size_t>(pass)]->setValue(percent); });
        return dialog;
    }
    // One tick of the named timer, which must be running.
    static void step(PredictionProgressDialog& dialog, const char* name) {
        QVERIFY2(fireTimer(timer(dialog, name)), name);
    }
    QList<int> barValues() const {
        QList<int> values;
        for (QProgressBar* bar : bars)
            values << bar->value();
        return values;
    }
    static QLabel* caption(PredictionProgressDialog& dialog) {
        return dialog.findChild<QLabel*>(QStringLiteral("lblString"));
    }
    static QTimer* timer(PredictionProgressDialog& dialog, const char* name) {
        return dialog.findChild<QTimer*>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void initTestCase() {
        auto loaded = tw::history::loadTableFile(TALLOWIND_DATA_DIR "/Num3Data.tbl");
        QVERIFY(!loaded.error);
        table = std::move(loaded.table);
        QVERIFY(table.count > 1000);
    }
    void init() {
        engine = Engine();
        for (std::size_t i = 0; i < bars.size(); ++i) {
            barOwners[i] = std::make_unique<QProgressBar>();
            barOwners[i]->setRange(0, 100);
            barOwners[i]->setValue(0);
            bars[i] = barOwners[i].get();
        }
        boxes.start();
    }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void shippedIntervals() {
        const PredictionProgressDialog::Intervals shipped;
        QCOMPARE(shipped.yosokuMs, 200);
        QCOMPARE(shipped.dispMs, 1000);
        QCOMPARE(shipped.exitMs, 1000);
        auto dialog = makeDialog(200, shipped);
        QCOMPARE(caption(*dialog)->text(), QStringLiteral("分析実行中"));
        QVERIFY(!timer(*dialog, "tmYosoku")->isActive());
        QVERIFY(!timer(*dialog, "tmDisp")->isActive());
        dialog->show();
        QVERIFY(timer(*dialog, "tmYosoku")->isActive());
        QCOMPARE(timer(*dialog, "tmYosoku")->interval(), 200);
        QVERIFY(timer(*dialog, "tmDisp")->isActive());
        QCOMPARE(timer(*dialog, "tmDisp")->interval(), 1000);
        QVERIFY(!timer(*dialog, "tmExit")->isActive());
    }

    // A modal run to its end gives the proposal of an unpaced run of the same round.
    void completeRunMatchesAnUnpacedRun() {
        const int maxCount = 250;
        auto dialog = makeDialog(maxCount, kFast);
        QCOMPARE(dialog->exec(), int(QDialog::Accepted));
        QVERIFY(dialog->outcome().completed);
        QCOMPARE(dialog->outcome().error, EngineError::None);
        QCOMPARE(dialog->outcome().slicesRun, 6 * 3); // six passes of ceil(250 / 100) slices
        QCOMPARE(barValues(), (QList<int>{100, 100, 100, 100, 100, 100}));
        QCOMPARE(caption(*dialog)->text(), QStringLiteral("分析終了"));
        QCOMPARE(caption(*dialog)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(!caption(*dialog)->isHidden());
        QVERIFY(boxes.shown().isEmpty());

        Engine unpaced;
        QCOMPARE(unpaced.YosouSetUp(table, tw::common::Game::Numbers3, 1, maxCount), EngineError::None);
        QCOMPARE(unpaced.runToEnd(), EngineError::None);
        QVERIFY(engine.hasRun());
        QCOMPARE(engine.intLastRow(), maxCount);
        QVERIFY(engine.proposal().grp1.count > 0);
        QVERIFY(engine.proposal().grp1 == unpaced.proposal().grp1);
        QVERIFY(engine.proposal().grp2 == unpaced.proposal().grp2);
        QVERIFY(engine.proposal().mini == unpaced.proposal().mini);
    }

    // 200 rows: every pass takes two slices, the first reporting 50.5 % (shown
    // as 50, halves to even), the second 100; later bars stay at 0 until their pass.
    void barsFollowThePassesSliceBySlice() {
        auto dialog = makeDialog(200, kHeld);
        dialog->show();
        QList<QList<int>> seen;
        for (int slice = 0; slice < 12; ++slice) {
            QVERIFY(!dialog->outcome().completed);
            step(*dialog, "tmYosoku");
            seen << barValues();
            if (slice < 11) {
                QVERIFY(timer(*dialog, "tmYosoku")->isActive());
                QVERIFY(!timer(*dialog, "tmExit")->isActive());
            }
        }
        QList<QList<int>> expected;
        QList<int> values{0, 0, 0, 0, 0, 0};
        for (int pass = 0; pass < 6; ++pass) {
            values[pass] = 50;
            expected << values;
            values[pass] = 100;
            expected << values;
        }
        QCOMPARE(seen, expected);
        QVERIFY(dialog->outcome().completed);
        QVERIFY(!timer(*dialog, "tmYosoku")->isActive());
        QVERIFY(!timer(*dialog, "tmDisp")->isActive());
        QVERIFY(timer(*dialog, "tmExit")->isActive());
        QCOMPARE(caption(*dialog)->text(), QStringLiteral("分析終了"));
        step(*dialog, "tmExit");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void captionBlinksEverySecondTick() {
        auto dialog = makeDialog(200, kHeld);
        dialog->show();
        QList<bool> shown;
        for (int tick = 0; tick < 4; ++tick) {
            step(*dialog, "tmDisp");
            shown << !caption(*dialog)->isHidden();
            QVERIFY(timer(*dialog, "tmDisp")->isActive());
        }
        QCOMPARE(shown, (QList<bool>{true, false, true, false}));
        // The end of the run shows the caption again, whatever the blinking left.
        while (!dialog->outcome().completed)
            QVERIFY(fireTimer(timer(*dialog, "tmYosoku")));
        QVERIFY(!caption(*dialog)->isHidden());
        QVERIFY(!timer(*dialog, "tmDisp")->isActive());
    }

    void aSecondActivationDoesNotRestartTheRun() {
        auto dialog = makeDialog(200, kHeld);
        dialog->show();
        step(*dialog, "tmYosoku");
        step(*dialog, "tmYosoku"); // stage 1 ended
        QCOMPARE(engine.intStage(), 2);
        dialog->hide();
        dialog->show();
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(dialog.get(), &activate);
        QCOMPARE(engine.intStage(), 2);
        QCOMPARE(engine.intCurRow(), 1);
        step(*dialog, "tmYosoku");
        QCOMPARE(bars[1]->value(), 50);
    }

    void escapeAndTheCloseBoxDoNotEndTheRun() {
        auto dialog = makeDialog(200, kHeld);
        dialog->show();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->close());
        QVERIFY(dialog->isVisible());
        QVERIFY(timer(*dialog, "tmYosoku")->isActive());
    }

    // Rounds the engine refuses: the dialog closes at once with a message and runs nothing.
    void refusedRoundsCloseWithAMessage_data() {
        QTest::addColumn<int>("maxCount");
        QTest::addColumn<QString>("text");
        QTest::newRow("beyond the history")
            << 9000
            << QStringLiteral(
                   "第9001回の予測はできません。\r分析に使う第1回～第9000回の抽選結果が登録されていません。");
        QTest::newRow("nothing to analyse")
            << 0 << QStringLiteral("第1回の予測はできません。\r分析に使える抽選結果がありません。");
    }
    void refusedRoundsCloseWithAMessage() {
        QFETCH(int, maxCount);
        QFETCH(QString, text);
        auto dialog = makeDialog(maxCount, kFast);
        boxes.expect(tw::ui::Answer::Ok);
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QVERIFY(!dialog->outcome().completed);
        QCOMPARE(dialog->outcome().error, EngineError::RoundOutOfRange);
        QCOMPARE(dialog->outcome().slicesRun, 0);
        QCOMPARE(boxes.shown(), QStringList{text});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【分析エラー】")});
        QCOMPARE(barValues(), (QList<int>{0, 0, 0, 0, 0, 0}));
        QVERIFY(!engine.hasRun());
    }

    void errorTexts_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("overflow") << int(EngineError::CountOverflow)
                                  << QStringLiteral("集計値が上限を超えたため、分析を中止しました。");
        QTest::newRow("bad argument") << int(EngineError::InvalidArgument)
                                      << QStringLiteral("分析の指定が正しくないため、分析を中止しました。");
    }
    void errorTexts() {
        QFETCH(int, error);
        QFETCH(QString, text);
        QCOMPARE(PredictionProgressDialog::errorMessage(static_cast<EngineError>(error), 100), text);
    }

    // A game the engine does not know is refused at set-up like a bad round.
    void unknownGameIsRefused() {
        auto dialog = makeDialog(100, kFast, 5);
        boxes.expect(tw::ui::Answer::Ok);
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QCOMPARE(dialog->outcome().error, EngineError::InvalidArgument);
        QCOMPARE(boxes.shown().size(), 1);
    }
};

QTEST_MAIN(TestPredictionProgressDialog)
#include "test_prediction_progress_dialog.moc"
