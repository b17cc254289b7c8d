// The round selection dialog: its list, its confirmation paths and the message
// shown when nothing was picked.
#include "history/gui/round_select_dialog.h"
#include "history_fixture.h"
#include "support/strict_message_hook.h"
#include "ui/message_box.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using tw::history::DrawHistory;
using tw::history::RoundSelectDialog;
using tw::history::test::fixtureHistory;

namespace {

QListWidget* listOf(RoundSelectDialog& dlg) {
    auto* list = dlg.findChild<QListWidget*>(QStringLiteral("lstRound"));
    if (list == nullptr)
        qFatal("lstRound missing");
    return list;
}

QPushButton* buttonOf(RoundSelectDialog& dlg, const char* name) {
    auto* button = dlg.findChild<QPushButton*>(QString::fromLatin1(name));
    if (button == nullptr)
        qFatal("button %s missing", name);
    return button;
}

// What the window system delivers for a double-click: press, release, double-click, release.
void doubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

QListWidgetItem* itemOfRound(QListWidget* list, int round) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(Qt::UserRole).toInt() == round)
            return list->item(row);
    return nullptr;
}

} // namespace

class TestRoundSelectDialog : public QObject {
    Q_OBJECT
    // Every message box must be expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void listsRoundsFromNextDownToOne_data() {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("count3");
        QTest::addColumn<int>("count4");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<int>("firstRound");
        QTest::addColumn<int>("rows");
        QTest::newRow("Numbers3, 2545 rounds") << 3 << 2545 << 7054 << " 2546" << 2546 << 2546;
        QTest::newRow("Numbers4 from its own count") << 4 << 2545 << 12 << "   13" << 13 << 13;
        QTest::newRow("Numbers4, three-digit count") << 4 << 2545 << 99 << "  100" << 100 << 100;
        QTest::newRow("no draw yet lists round 1 alone") << 3 << 0 << 50 << "    1" << 1 << 1;
        QTest::newRow("five-digit round fills the width") << 4 << 3 << 9999 << "10000" << 10000 << 10000;
    }
    void listsRoundsFromNextDownToOne() {
        QFETCH(int, game);
        QFETCH(int, count3);
        QFETCH(int, count4);
        QFETCH(QString, firstText);
        QFETCH(int, firstRound);
        QFETCH(int, rows);
        const DrawHistory history = fixtureHistory(count3, count4);
        RoundSelectDialog dlg(history, {tw::common::Game{game}});
        dlg.show();
        QListWidget* list = listOf(dlg);
        QCOMPARE(list->count(), rows);
        QCOMPARE(list->item(0)->text(), firstText);
        QCOMPARE(list->item(0)->data(Qt::UserRole).toInt(), firstRound);
        QCOMPARE(list->item(rows - 1)->text(), QStringLiteral("    1"));
        QCOMPARE(list->item(rows - 1)->data(Qt::UserRole).toInt(), 1);
        for (int row = 1; row < rows; ++row)
            QCOMPARE(list->item(row)->data(Qt::UserRole).toInt(), firstRound - row);
        // Showing the same dialog again must not add the rounds a second time.
        dlg.hide();
        dlg.show();
        QCOMPARE(list->count(), rows);
    }

    void okWithoutChoiceShowsMessageAndStaysOpen() {
        const DrawHistory history = fixtureHistory(2545, 10);
        RoundSelectDialog dlg(history, {});
        dlg.show();
        QSignalSpy finished(&dlg, &QDialog::finished);
        boxes.expect(tw::ui::Answer::Ok);
        buttonOf(dlg, "cmdOK")->click();
        QCOMPARE(boxes.shown(), QStringList{QStringLiteral("抽選回が指定されていません")});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("未指定エラー")});
        QCOMPARE(finished.count(), 0);
        QVERIFY(dlg.isVisible());
    }

    void clickThenOkConfirmsThatRound() {
        const DrawHistory history = fixtureHistory(2545, 10);
        RoundSelectDialog dlg(history, {});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = listOf(dlg);
        QListWidgetItem* item = itemOfRound(list, 2544);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        buttonOf(dlg, "cmdOK")->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.chosenRound(), 2544);
        QVERIFY(boxes.shown().isEmpty());
    }

    void doubleClickPicksTheRoundUnderTheCursor() {
        const DrawHistory history = fixtureHistory(2545, 10);
        RoundSelectDialog dlg(history, {});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = listOf(dlg);
        const QPoint at = list->visualItemRect(list->item(0)).center();
        doubleClick(list->viewport(), at);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.chosenRound(), 2546);
    }

    void doubleClickBesideTheItemsPicksNothing() {
        const DrawHistory history = fixtureHistory(0, 0); // one item, the rest of the list is empty
        RoundSelectDialog dlg(history, {});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = listOf(dlg);
        const QRect itemRect = list->visualItemRect(list->item(0));
        const QPoint below(itemRect.center().x(), itemRect.bottom() + 3 * itemRect.height());
        QVERIFY(list->viewport()->rect().contains(below));
        QSignalSpy finished(&dlg, &QDialog::finished);
        doubleClick(list->viewport(), below);
        QCOMPARE(finished.count(), 0);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.chosenRound(), -1);
    }

    void cancelClosesWithoutAChoice() {
        const DrawHistory history = fixtureHistory(2545, 10);
        RoundSelectDialog dlg(history, {});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = listOf(dlg);
        list->setCurrentItem(list->item(3)); // a pick, then abandoned
        buttonOf(dlg, "cmdCancel")->click();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(TestRoundSelectDialog)
#include "test_round_select_dialog.moc"
