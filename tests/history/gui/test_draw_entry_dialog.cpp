// The draw result entry dialog, driven through its controls: the state it opens
// in, the keypads, the game switch, storing into the draw table, the questions
// and messages, and loading another round through the round selection dialog.
#include "common/date_serial.h"
#include "history/gui/draw_entry_dialog.h"
#include "history/gui/round_select_dialog.h"
#include "history_fixture.h"
#include "support/strict_message_hook.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

using tw::history::DrawEntryDialog;
using tw::history::DrawHistory;
using tw::history::NumData;
using tw::history::RoundSelectDialog;
using tw::history::test::fixtureHistory;
using tw::history::test::fixtureRecord;
namespace BeepHook = tw::ui::BeepHook;

namespace {

using tw::common::Game;

// The dialog's game options: optNum_0 is NUMBERS3, optNum_1 NUMBERS4.
Game gameOfOption(int index) {
    return index == 0 ? Game::Numbers3 : Game::Numbers4;
}

const DrawEntryDialog::WeekdayMarks kWeekdayMarks{
    QStringLiteral("(？)"), QStringLiteral("(日)"), QStringLiteral("(月)"), QStringLiteral("(火)"),
    QStringLiteral("(水)"), QStringLiteral("(木)"), QStringLiteral("(金)"), QStringLiteral("(土)")};

// "Now" for every test: a Monday, 17:45.
const QDateTime kNow(QDate(2009, 3, 30), QTime(17, 45));

const QString kNotChangedTitle = QStringLiteral("重複更新情報");

// The history and an entry dialog over it, opened the way the main window opens it.
struct Entry {
    DrawHistory history;
    std::unique_ptr<DrawEntryDialog> dlg;

    Entry(int count3, int count4) : history(fixtureHistory(count3, count4)) {}

    DrawEntryDialog& open(int game, int round) {
        dlg = std::make_unique<DrawEntryDialog>(history, kWeekdayMarks,
                                                DrawEntryDialog::Request{gameOfOption(game), round, true});
        dlg->setClock([] { return kNow; });
        dlg->show();
        return *dlg;
    }
    template <typename T> T* child(const QString& name) const { return tw::testing::child<T>(dlg.get(), name); }
    void press(const QString& name) const { child<QPushButton>(name)->click(); }
    // Keys on one amount keypad: digits, "<" and "C".
    void typeAmount(int pad, const QString& keys) const {
        for (QChar key : keys) {
            const int index = key == QLatin1Char('<') ? 11 : key == QLatin1Char('C') ? 12 : key.digitValue();
            press(QStringLiteral("cmdMoney%1_%2").arg(pad).arg(index));
        }
    }
    void typeDigits(const QString& digits) const { // places 1, 2, ... in order; "-" skips a place
        for (int i = 0; i < digits.size(); ++i)
            if (digits[i] != QLatin1Char('-'))
                press(QStringLiteral("cmdNum%1_%2").arg(i + 1).arg(digits[i].digitValue()));
    }
    QString text(const QString& name) const { return child<QLabel>(name)->text(); }
    bool shown(const QString& name) const { return child<QWidget>(name)->isVisibleTo(dlg.get()); }
    QStringList digitsShown() const {
        QStringList texts;
        for (int i = 0; i < 4; ++i)
            if (shown(QStringLiteral("lblNum_%1").arg(i)))
                texts << text(QStringLiteral("lblNum_%1").arg(i));
        return texts;
    }
};

double nowSerial() {
    return tw::common::dateSerial({2009, 3, 30}) + (17 * 60 + 45) / 1440.0;
}

} // namespace

class TestDrawEntryDialog : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private Q_SLOTS:
    void init() {
        boxes.start();
        BeepHook::enable();
    }
    void cleanup() {
        BeepHook::disable();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void opensTheRound_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("round");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QStringList>("digits");
        QTest::addColumn<QString>("straight");
        QTest::addColumn<QString>("mini");
        const QString today = QStringLiteral("2009/03/30 (月)");
        const QString zero = QStringLiteral("¥0");
        // Numbers3 holds 2500 rounds, Numbers4 2490.
        QTest::newRow("Numbers3 next round")
            << 0 << 2501 << 2501 << true << today << QStringList{"", "", ""} << zero << zero;
        QTest::newRow("beyond the next round")
            << 0 << 2600 << 2501 << true << today << QStringList{"", "", ""} << zero << zero;
        QTest::newRow("Numbers4 next round")
            << 1 << 2491 << 2491 << true << today << QStringList{"", "", "", ""} << zero << QString();
        QTest::newRow("stored Numbers3 round")
            << 0 << 2345 << 2345 << false << QStringLiteral("2006/06/03 (土)") << QStringList{"5", "4", "3"}
            << QStringLiteral("¥102,345") << QStringLiteral("¥11,345");
        QTest::newRow("stored Numbers4 round")
            << 1 << 1234 << 1234 << false << QStringLiteral("2003/05/19 (月)") << QStringList{"4", "3", "2", "1"}
            << QStringLiteral("¥901,234") << QString();
    }
    // The drawn digits are the largest text of the amounts row and above:
    // larger than the amount boxes and tall enough for their font.
    void drawnDigitsAreLargerThanTheAmounts() {
        Entry e(2500, 2490);
        e.open(0, 2501);
        e.typeDigits(QStringLiteral("789"));
        const auto* amount = e.child<QLabel>(QStringLiteral("lblStright"));
        for (int i = 0; i < 3; ++i) {
            const auto* digit = e.child<QLabel>(QStringLiteral("lblNum_%1").arg(i));
            QVERIFY(QFontInfo(digit->font()).pixelSize() > QFontInfo(amount->font()).pixelSize());
            QVERIFY(digit->height() >= QFontMetrics(digit->font()).height());
            QVERIFY(digit->width() >= QFontMetrics(digit->font()).horizontalAdvance(digit->text()));
        }
    }

    void opensTheRound() {
        QFETCH(int, game);
        QFETCH(int, requested);
        QFETCH(int, round);
        QFETCH(bool, isNew);
        QFETCH(QString, date);
        QFETCH(QStringList, digits);
        QFETCH(QString, straight);
        QFETCH(QString, mini);
        Entry e(2500, 2490);
        DrawEntryDialog& dlg = e.open(game, requested);
        QCOMPARE(dlg.entryRound(), round);
        QCOMPARE(dlg.isNewRound(), isNew);
        QVERIFY(e.child<QRadioButton>(QStringLiteral("optNum_%1").arg(game))->isChecked());
        QCOMPARE(e.text("lblRound"), QString::number(round));
        QCOMPARE(e.text("lblDate"), date);
        QCOMPARE(e.digitsShown(), digits);
        QCOMPARE(e.text("lblStright"), straight);
        QCOMPARE(e.shown("lblMini"), !mini.isEmpty());
        QCOMPARE(e.shown("framMini"), !mini.isEmpty());
        QCOMPARE(e.shown("Label10"), !mini.isEmpty());
        QCOMPARE(e.shown("frmKey_3"), game == 1);
        if (!mini.isEmpty())
            QCOMPARE(e.text("lblMini"), mini);
        if (isNew)
            for (const char* label : {"lblBox", "lblSetStright", "lblSetBox"})
                QCOMPARE(e.text(QString::fromLatin1(label)), QStringLiteral("¥0"));
    }

    void storeWithoutChangeIsRefused_data() {
        QTest::addColumn<int>("round");
        QTest::newRow("new round") << 2501;
        QTest::newRow("stored round") << 2345;
    }
    void storeWithoutChangeIsRefused() {
        QFETCH(int, round);
        Entry e(2500, 2500);
        e.open(0, round);
        boxes.expect(tw::ui::Answer::Ok);
        e.press("cmdSave");
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral("【%1】のデータは変更されていません。").arg(round)});
        QCOMPARE(boxes.titles(), QStringList{kNotChangedTitle});
        QCOMPARE(e.history.num3.count, 2500);
        QCOMPARE(e.history.num3.record(round).blnUnsaved, false);
    }

    void amountKeypads_data() {
        QTest::addColumn<int>("pad");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Straight keeps seven digits") << 1 << "12345678"
                                                     << "¥1,234,567" << 1;
        QTest::newRow("< drops the last digit") << 1 << "12345678<"
                                                << "¥123,456" << 1;
        QTest::newRow("C gives 0") << 1 << "1234C"
                                   << "¥0" << 0;
        QTest::newRow("< on one digit gives 0") << 1 << "5<"
                                                << "¥0" << 0;
        QTest::newRow("< on 0 stays 0") << 1 << "<"
                                        << "¥0" << 0;
        QTest::newRow("leading 0 disappears") << 1 << "05"
                                              << "¥5" << 0;
        QTest::newRow("typing after C") << 1 << "9C42"
                                        << "¥42" << 0;
        QTest::newRow("Box keeps six") << 2 << "1234567"
                                       << "¥123,456" << 1;
        QTest::newRow("Set-Straight keeps seven") << 3 << "987654321"
                                                  << "¥9,876,543" << 2;
        QTest::newRow("Set-Box keeps six") << 4 << "9999999"
                                           << "¥999,999" << 1;
        QTest::newRow("Mini keeps five") << 5 << "123456"
                                         << "¥12,345" << 1;
        QTest::newRow("room again after <") << 5 << "123456<7"
                                            << "¥12,347" << 1;
    }
    void amountKeypads() {
        QFETCH(int, pad);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(int, beeps);
        static const char* const kLabels[] = {"lblStright", "lblBox", "lblSetStright", "lblSetBox", "lblMini"};
        Entry e(2500, 2500);
        e.open(0, 2501);
        e.typeAmount(pad, keys);
        QCOMPARE(e.text(QString::fromLatin1(kLabels[pad - 1])), shown);
        QCOMPARE(BeepHook::count(), beeps);
    }

    void digitKeypadsSetTheirPlace() {
        Entry e(2500, 2500);
        e.open(1, 2501);
        e.typeDigits("4097");
        QCOMPARE(e.digitsShown(), (QStringList{"4", "0", "9", "7"}));
        e.press("cmdNum2_6"); // a second key replaces the digit
        QCOMPARE(e.digitsShown(), (QStringList{"4", "6", "9", "7"}));
        QCOMPARE(BeepHook::count(), 0);
    }

    void gameSwitch_data() {
        QTest::addColumn<int>("fromGame");
        QTest::addColumn<int>("count3");
        QTest::addColumn<int>("count4");
        QTest::addColumn<int>("fromRound");
        QTest::addColumn<int>("round");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QStringList>("digits");
        QTest::addColumn<QString>("straight");
        QTest::newRow("new round to the other new round")
            << 0 << 2500 << 2500 << 2501 << 2501 << true << QStringList{"", "", "", ""} << "¥0";
        QTest::newRow("new round to a shorter table")
            << 0 << 2500 << 2490 << 2501 << 2491 << true << QStringList{"", "", "", ""} << "¥0";
        QTest::newRow("stored round both hold")
            << 0 << 2500 << 2500 << 2345 << 2345 << false << QStringList{"5", "4", "3", "2"} << "¥902,345";
        QTest::newRow("stored round the other lacks")
            << 1 << 2480 << 2500 << 2490 << 2481 << true << QStringList{"", "", ""} << "¥0";
        QTest::newRow("Numbers4 round to Numbers3")
            << 1 << 2500 << 2500 << 2345 << 2345 << false << QStringList{"5", "4", "3"} << "¥102,345";
        QTest::newRow("next Numbers4 round stored in Numbers3")
            << 1 << 2500 << 2490 << 2491 << 2491 << false << QStringList{"1", "9", "4"} << "¥102,491";
    }
    void gameSwitch() {
        QFETCH(int, fromGame);
        QFETCH(int, count3);
        QFETCH(int, count4);
        QFETCH(int, fromRound);
        QFETCH(int, round);
        QFETCH(bool, isNew);
        QFETCH(QStringList, digits);
        QFETCH(QString, straight);
        Entry e(count3, count4);
        DrawEntryDialog& dlg = e.open(fromGame, fromRound);
        const int toGame = 1 - fromGame;
        e.child<QRadioButton>(QStringLiteral("optNum_%1").arg(toGame))->click();
        QVERIFY(dlg.game() == gameOfOption(toGame));
        QCOMPARE(dlg.entryRound(), round);
        QCOMPARE(dlg.isNewRound(), isNew);
        QCOMPARE(e.text("lblRound"), QString::number(round));
        QCOMPARE(e.digitsShown(), digits);
        QCOMPARE(e.text("lblStright"), straight);
        QCOMPARE(e.shown("framMini"), toGame == 0);
    }

    void clickingTheShownGameKeepsTheEdits() {
        Entry e(2500, 2500);
        e.open(0, 2501);
        e.typeDigits("7");
        e.child<QRadioButton>("optNum_0")->click();
        QCOMPARE(e.text("lblNum_0"), QStringLiteral("7"));
    }

    void storeNewRound() {
        Entry e(2500, 2500);
        DrawEntryDialog& dlg = e.open(0, 2501);
        e.typeDigits("123");
        e.typeAmount(1, "98765");
        e.typeAmount(2, "1234");
        e.typeAmount(3, "55000");
        e.typeAmount(4, "12000");
        e.typeAmount(5, "7000");
        e.press("cmdSave");
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(e.history.num3.count, 2501);
        QCOMPARE(dlg.isNewRound(), false);
        const NumData& rec = e.history.num3.record(2501);
        QCOMPARE(rec.lngRound, 2501);
        QVERIFY(qAbs(rec.dteDraw - nowSerial()) < 1e-6);
        QCOMPARE(rec.bytNum, (std::array<uint8_t, 5>{0, 1, 2, 3, 0}));
        QCOMPARE(rec.lngStraight, 98765);
        QCOMPARE(rec.lngBox, 1234);
        QCOMPARE(rec.lngSetStraight, 55000);
        QCOMPARE(rec.lngSetBox, 12000);
        QCOMPARE(rec.lngMini, 7000);
        QVERIFY(rec.blnUnsaved);
        QCOMPARE(e.history.num4.count, 2500);
        QVERIFY(!e.history.num4.record(2501).blnUnsaved);

        boxes.expect(tw::ui::Answer::Ok);
        e.press("cmdSave");
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral("【2501】のデータは変更されていません。")});
        QCOMPARE(e.history.num3.count, 2501);

        // What was stored is the reference now: closing asks nothing.
        boxes.clearShown();
        e.press("cmdExit");
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!dlg.isVisible());
    }

    void storeCorrection() {
        Entry e(2500, 2500);
        e.open(1, 2345);
        e.typeAmount(2, "C500");
        e.press("cmdNum4_9");
        e.press("cmdSave");
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(e.history.num4.count, 2500);
        NumData expected = fixtureRecord(Game::Numbers4, 2345);
        expected.lngBox = 500;
        expected.bytNum[4] = 9;
        expected.blnUnsaved = true;
        QCOMPARE(e.history.num4.record(2345), expected);
        QCOMPARE(e.history.num4.record(2344), fixtureRecord(Game::Numbers4, 2344));
        QCOMPARE(e.history.num4.record(2346), fixtureRecord(Game::Numbers4, 2346));
        QCOMPARE(e.history.num3.record(2345), fixtureRecord(Game::Numbers3, 2345));
    }

    // The store hands the game of every stored round to the table store, after
    // the round is in the table. A failing store shows its message, keeps the
    // typed values as unstored (closing asks, storing again retries) and leaves
    // the round in the table for the exit to write; the message flow of a
    // successful store is unchanged.
    void storeWritesThroughTheTableStoreAndRetriesAfterAFailure() {
        Entry e(2500, 2500);
        DrawEntryDialog& dlg = e.open(0, 2501);
        QList<int> calls;
        bool failing = true;
        dlg.setTableStore([&](Game game) {
            calls << tw::common::gameCode(game);
            [&] { QVERIFY(e.history.table(game).record(2501).blnUnsaved); }();
            tw::history::SaveError error;
            if (failing) {
                error.failed = true;
                error.path = "/x/Num3Data.tbl";
                error.detail = "ディスクの空きが足りません";
            } else {
                e.history.table(game).records[2501].blnUnsaved = false;
            }
            return error;
        });
        e.typeDigits("123");
        e.typeAmount(1, "98765");
        boxes.expect(tw::ui::Answer::Ok);
        e.press("cmdSave");
        QCOMPARE(calls, QList<int>{3});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【保存エラー】")});
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral(
                                    "ファイル「Num3Data.tbl」に保存できません。（ディスクの空きが足りません）")});
        QCOMPARE(e.history.num3.count, 2501);
        QCOMPARE(e.history.num3.record(2501).lngStraight, 98765);
        QCOMPARE(e.text("lblStright"), QStringLiteral("¥98,765"));
        QCOMPARE(dlg.ListChanges().split(QLatin1Char('\r')).size(), 4); // still unstored: digits and Straight

        // Closing now asks, as for any unstored value; No keeps the dialog open.
        boxes.clearShown();
        boxes.expect(tw::ui::Answer::No);
        e.press("cmdExit");
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("未登録確認")});
        QVERIFY(dlg.isVisible());

        failing = false;
        boxes.clearShown();
        e.press("cmdSave");
        QCOMPARE(calls, (QList<int>{3, 3}));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!e.history.num3.record(2501).blnUnsaved);
        QVERIFY(dlg.ListChanges().isEmpty());
        e.press("cmdExit");
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!dlg.isVisible());
    }

    void storesMoreNewRoundsThanTheSpareSlots() {
        Entry e(30, 30); // the fixture leaves ten spare slots
        for (int n = 1; n <= 12; ++n) {
            e.open(1, e.history.num4.count + 1);
            e.typeDigits("1234");
            e.press("cmdSave");
        }
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(e.history.num4.count, 42);
        for (int round = 31; round <= 42; ++round) {
            QCOMPARE(e.history.num4.record(round).lngRound, round);
            QVERIFY(e.history.num4.record(round).blnUnsaved);
        }
    }

    void storeWithMissingDigitsIsRefused_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("amounts");
        QTest::addColumn<QString>("message");
        QTest::newRow("2nd place of three") << 0 << "1-3"
                                            << ""
                                            << "抽選数値(２桁目)が入力されていません。";
        QTest::newRow("three of four places")
            << 1 << "1"
            << ""
            << "抽選数値(２桁目)、抽選数値(３桁目)、抽選数値(４桁目)が入力されていません。";
        QTest::newRow("amounts only") << 0 << ""
                                      << "5"
                                      << "抽選数値(１桁目)、抽選数値(２桁目)、抽選数値(３桁目)が入力されていません。";
        QTest::newRow("4th place of Numbers4") << 1 << "123"
                                               << "5"
                                               << "抽選数値(４桁目)が入力されていません。";
        QTest::newRow("Numbers3 needs no 4th place") << 0 << "123"
                                                     << ""
                                                     << "";
    }
    void storeWithMissingDigitsIsRefused() {
        QFETCH(int, game);
        QFETCH(QString, digits);
        QFETCH(QString, amounts);
        QFETCH(QString, message);
        Entry e(2500, 2500);
        e.open(game, 2501);
        e.typeDigits(digits);
        e.typeAmount(1, amounts);
        if (!message.isEmpty())
            boxes.expect(tw::ui::Answer::Ok);
        e.press("cmdSave");
        const auto& table = game == 0 ? e.history.num3 : e.history.num4;
        if (message.isEmpty()) {
            QVERIFY(boxes.shown().isEmpty());
            QCOMPARE(table.count, 2501);
        } else {
            QCOMPARE(boxes.shown(), QStringList{message});
            QCOMPARE(boxes.titles(), QStringList{QStringLiteral("入力エラー")});
            QCOMPARE(table.count, 2500);
            QVERIFY(!table.record(2501).blnUnsaved);
        }
    }

    void closingWithUnstoredItemsAsks_data() {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("cmdExit") << false;
        QTest::newRow("Escape key") << true;
    }
    void closingWithUnstoredItemsAsks() {
        QFETCH(bool, byEscape);
        Entry e(2500, 2500);
        DrawEntryDialog& dlg = e.open(0, 2501);
        const auto close = [&] {
            if (byEscape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                e.press("cmdExit");
        };
        e.typeDigits("4");
        boxes.expect(tw::ui::Answer::No);
        close();
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral(
                                    "以下の項目が変更されています。\r終了しますか？(Yes/No)\r抽選数値(１桁目)")});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("未登録確認")});
        QVERIFY(dlg.isVisible());
        boxes.expect(tw::ui::Answer::Yes);
        close();
        QCOMPARE(boxes.shown().size(), 2);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(e.history.num3.count, 2500);
    }

    void closingUnchangedAsksNothing() {
        Entry e(2500, 2500);
        DrawEntryDialog& dlg = e.open(0, 2345);
        e.typeDigits("5"); // the stored digit again
        e.press("cmdExit");
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void changesAreListedInOrder_data() {
        QTest::addColumn<int>("round");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<bool>("pickDate");
        QTest::addColumn<QString>("expected");
        const QString all = QStringLiteral("[抽選日]\r抽選数値(２桁目)\rストレート配当金\rミニ配当金");
        QTest::newRow("new round") << 2501 << "-6" << true << all;
        QTest::newRow("stored round, stored digit retyped") << 2345 << "56" << true << all;
        QTest::newRow("stored round, date only") << 2345 << "" << true << "[抽選日]";
    }
    void changesAreListedInOrder() {
        QFETCH(int, round);
        QFETCH(QString, digits);
        QFETCH(bool, pickDate);
        QFETCH(QString, expected);
        Entry e(2500, 2500);
        DrawEntryDialog& dlg = e.open(0, round);
        if (pickDate) {
            QLabel* date = e.child<QLabel>("lblDate");
            QTest::mouseClick(date, Qt::LeftButton);
            auto* calendar = e.child<QCalendarWidget>("MonthView1");
            QVERIFY(calendar->isVisible());
            QCOMPARE(calendar->selectedDate(), kNow.date());
            Q_EMIT calendar->clicked(QDate(2009, 3, 31));
            QVERIFY(!calendar->isVisible());
            QCOMPARE(e.text("lblDate"), QStringLiteral("2009/03/31 (火)"));
        }
        e.typeDigits(digits);
        if (expected != QStringLiteral("[抽選日]")) {
            e.typeAmount(1, "C8");
            e.typeAmount(5, "C9");
        }
        QCOMPARE(dlg.ListChanges(), expected);
    }

    void dateLabelTogglesTheCalendar() {
        Entry e(2500, 2500);
        e.open(0, 2501);
        QLabel* date = e.child<QLabel>("lblDate");
        auto* calendar = e.child<QCalendarWidget>("MonthView1");
        QVERIFY(!calendar->isVisible());
        QTest::mouseClick(date, Qt::LeftButton);
        QVERIFY(calendar->isVisible());
        QTest::mouseClick(date, Qt::LeftButton);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(e.text("lblDate"), QStringLiteral("2009/03/30 (月)"));
    }

    void loadAnotherRound_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("fromRound");
        QTest::addColumn<int>("pick"); // 0 = cancel
        QTest::addColumn<QString>("firstItem");
        QTest::addColumn<int>("round");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("firstDigit");
        // Before loading, "7" is typed into the 1st place.
        QTest::newRow("new round to a stored one") << 0 << 2501 << 2345 << " 2501" << 2345 << false << "5";
        QTest::newRow("cancel keeps round and edits") << 0 << 2501 << 0 << " 2501" << 2501 << true << "7";
        QTest::newRow("same round keeps the edits") << 0 << 2501 << 2501 << " 2501" << 2501 << true << "7";
        QTest::newRow("stored round to the next one") << 0 << 2345 << 2501 << " 2501" << 2501 << true << "";
        QTest::newRow("Numbers4 lists its own rounds") << 1 << 500 << 99 << "  991" << 99 << false << "9";
    }
    void loadAnotherRound() {
        QFETCH(int, game);
        QFETCH(int, fromRound);
        QFETCH(int, pick);
        QFETCH(QString, firstItem);
        QFETCH(int, round);
        QFETCH(bool, isNew);
        QFETCH(QString, firstDigit);
        Entry e(2500, 990);
        DrawEntryDialog& dlg = e.open(game, fromRound);
        e.typeDigits("7");
        QString seenFirstItem;
        bool sawRoundDialog = false;
        QTimer::singleShot(0, this, [&] {
            auto* roundDlg = qobject_cast<RoundSelectDialog*>(QApplication::activeModalWidget());
            if (roundDlg == nullptr)
                return;
            sawRoundDialog = true;
            auto* list = roundDlg->findChild<QListWidget*>("lstRound");
            seenFirstItem = list->item(0)->text();
            if (pick == 0) {
                roundDlg->findChild<QPushButton*>("cmdCancel")->click();
                return;
            }
            list->setCurrentRow(list->count() - pick); // the list runs from count + 1 down to 1
            roundDlg->findChild<QPushButton*>("cmdOK")->click();
        });
        // Closes whatever modal box is still open, so a failure cannot hang the run.
        QTimer::singleShot(5000, this, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        e.press("cmdLoad");
        QVERIFY(sawRoundDialog);
        QCOMPARE(seenFirstItem, firstItem);
        QCOMPARE(dlg.entryRound(), round);
        QCOMPARE(dlg.isNewRound(), isNew);
        QCOMPARE(e.text("lblRound"), QString::number(round));
        QCOMPARE(e.text("lblNum_0"), firstDigit);
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(TestDrawEntryDialog)
#include "test_draw_entry_dialog.moc"
