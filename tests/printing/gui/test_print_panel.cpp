// The print panel: set-up per game, picking by clicks and by the pick-all and
// pick-none buttons with the counts and the budget, the user frame, and the
// start button's two outcomes (the nothing-to-print message, or the print
// dialog with the collected entries).
#include "printing/gui/print_job_dialog.h"
#include "printing/gui/print_panel.h"
#include "ui/message_box.h"

#include "support/entry_numbers.h"
#include "support/proposal_fixture.h"
#include "support/strict_message_hook.h"
#include "support/window_driver.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <optional>

using tw::common::BetType;
using tw::common::Game;
using tw::printing::PrintJobDialog;
using tw::printing::PrintPanel;
using tw::selection::ItemList;

Q_DECLARE_METATYPE(std::vector<std::string>)
Q_DECLARE_METATYPE(tw::common::BetType)

namespace {
ItemList items(std::initializer_list<int> values) {
    ItemList list;
    for (int v : values)
        list.push_back({std::to_string(v), v, false});
    return list;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

// What the dialog runner saw when the start button opened the print dialog.
struct OpenedDialog {
    std::vector<std::string> entries;
    BetType mark = BetType::Straight;
    Game game = Game::Numbers3;
    QString paperNum;
};
} // namespace

class TestPrintPanel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PrintPanel> panel;
    std::optional<OpenedDialog> opened;
    // Every box is expected; a refusal nobody expected fails the test.
    tw::testing::StrictMessageHook boxes;

    template <typename T> T* child(const QString& name) const { return tw::testing::child<T>(panel.get(), name); }
    QListWidget* list(int n) const { return child<QListWidget>(QStringLiteral("lstPrtGroup_%1").arg(n)); }
    QString count(int n) const { return child<QLabel>(QStringLiteral("lblPrtSelectCnt_%1").arg(n))->text(); }
    QString credit() const { return child<QLabel>(QStringLiteral("lblPrtCredit"))->text(); }
    QRadioButton* option(int n) const { return child<QRadioButton>(QStringLiteral("optPrtType_%1").arg(n)); }
    bool shownInPanel(const QString& name) const { return child<QWidget>(name)->isVisibleTo(panel.get()); }
    void press(const QString& name) { tw::testing::click(panel.get(), name); }
    void clickRow(int n, int row) {
        QListWidget* l = list(n);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }

    void setUp(bool numbers3, const ItemList& select, const ItemList& mini) {
        const auto proposal = numbers3 ? tw::testing::numbers3Proposal() : tw::testing::numbers4Proposal();
        panel->PrtPanelSetUp(numbers3 ? Game::Numbers3 : Game::Numbers4, proposal, select, mini);
    }

private Q_SLOTS:
    void init() {
        boxes.start();
        opened.reset();
        panel = std::make_unique<PrintPanel>();
        panel->setDialogRunner([this](PrintJobDialog& dialog) {
            opened =
                OpenedDialog{tw::testing::entryTexts(dialog.entries()), dialog.request().printType,
                             dialog.request().game, dialog.findChild<QLabel*>(QStringLiteral("lblPaperNum"))->text()};
        });
        panel->resize(900, 520);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void setUpPerGame_data() {
        QTest::addColumn<bool>("numbers3");
        QTest::addColumn<QStringList>("list0");
        QTest::addColumn<QStringList>("list2");
        QTest::addColumn<QStringList>("list3");
        QTest::addColumn<QList<int>>("list3Data");
        QTest::addColumn<bool>("miniOffered");
        // Numbers3: list 2 holds the Mini candidates; the user's Mini bets follow its numbers.
        QTest::newRow("Numbers3") << true << QStringList{"012", "123", "905"} << QStringList{"*23", "*07"}
                                  << QStringList{"007", "120", "*05"} << QList<int>{7, 120, 5} << true;
        // Numbers4: list 2 holds four-digit Group3 numbers, and there is no Mini.
        QTest::newRow("Numbers4") << false << QStringList{"0123", "9876"} << QStringList{"0456", "1001"}
                                  << QStringList{"0007", "0120"} << QList<int>{7, 120} << false;
    }
    void setUpPerGame() {
        QFETCH(bool, numbers3);
        QFETCH(QStringList, list0);
        QFETCH(QStringList, list2);
        QFETCH(QStringList, list3);
        QFETCH(QList<int>, list3Data);
        QFETCH(bool, miniOffered);

        // A previous visit of the other game with Mini chosen and picks made.
        setUp(!numbers3, items({1}), {});
        option(numbers3 ? 1 : 3)->setChecked(true);
        press(QStringLiteral("cmdPrtGrpAllSelect_0"));

        setUp(numbers3, items({7, 120}), items({5}));
        QCOMPARE(texts(list(0)), list0);
        QCOMPARE(texts(list(2)), list2);
        QCOMPARE(texts(list(3)), list3);
        for (int row = 0; row < list3Data.size(); ++row)
            QCOMPARE(list(3)->item(row)->data(Qt::UserRole).toInt(), list3Data[row]);
        QCOMPARE(list(0)->item(list(0)->count() - 1)->data(Qt::UserRole).toInt(), numbers3 ? 905 : 9876);

        QCOMPARE(shownInPanel(QStringLiteral("optPrtType_3")), miniOffered);
        QCOMPARE(option(3)->isEnabled(), miniOffered);
        QCOMPARE(shownInPanel(QStringLiteral("imgGrp_5")), miniOffered);
        QCOMPARE(shownInPanel(QStringLiteral("imgGrp_2")), !miniOffered);
        QVERIFY(option(0)->isChecked());
        for (int n = 0; n < PrintPanel::kLists; ++n) {
            QCOMPARE(count(n), QStringLiteral("0"));
            QVERIFY(list(n)->selectedItems().isEmpty());
        }
        QCOMPARE(credit(), QStringLiteral("¥0"));
    }

    void picksAndBudget() {
        setUp(true, items({7, 120, 456}), {});
        for (int row : {0, 1, 2})
            clickRow(0, row);
        clickRow(3, 0);
        clickRow(3, 2);
        QCOMPARE(count(0), QStringLiteral("3"));
        QCOMPARE(count(3), QStringLiteral("2"));
        QCOMPARE(count(1), QStringLiteral("0"));
        QCOMPARE(credit(), QStringLiteral("¥1,000"));
        // A click on a picked item takes it back.
        clickRow(0, 1);
        QCOMPARE(count(0), QStringLiteral("2"));
        QCOMPARE(credit(), QStringLiteral("¥800"));
        // The budget counts every list, whatever type is chosen.
        option(3)->setChecked(true);
        press(QStringLiteral("cmdPrtGrpAllSelect_2"));
        QCOMPARE(count(2), QStringLiteral("2"));
        QCOMPARE(credit(), QStringLiteral("¥1,200"));
    }

    void emptyCountByClicksZeroByPickNone() {
        setUp(true, {}, {});
        press(QStringLiteral("cmdPrtGrpAllSelect_1"));
        QCOMPARE(count(1), QStringLiteral("2"));
        QCOMPARE(list(1)->selectedItems().size(), 2);
        clickRow(1, 0);
        clickRow(1, 1);
        QCOMPARE(count(1), QString());
        QCOMPARE(credit(), QStringLiteral("¥0"));

        press(QStringLiteral("cmdPrtGrpAllSelect_1"));
        press(QStringLiteral("cmdPrtGrpAllCancel_1"));
        QCOMPARE(count(1), QStringLiteral("0"));
        QVERIFY(list(1)->selectedItems().isEmpty());
        QCOMPARE(credit(), QStringLiteral("¥0"));
    }

    void userFrame_data() {
        QTest::addColumn<QList<int>>("select");
        QTest::addColumn<QList<int>>("mini");
        QTest::addColumn<bool>("shown");
        QTest::newRow("empty selection") << QList<int>{} << QList<int>{} << false;
        QTest::newRow("numbers only") << QList<int>{123} << QList<int>{} << true;
        QTest::newRow("Mini bets only") << QList<int>{} << QList<int>{23} << true;
    }
    void userFrame() {
        QFETCH(QList<int>, select);
        QFETCH(QList<int>, mini);
        QFETCH(bool, shown);
        ItemList s, m;
        for (int v : select)
            s.push_back({std::to_string(v), v, false});
        for (int v : mini)
            m.push_back({std::to_string(v), v, false});
        // The frame must also come back after a visit with an empty selection, and go after one with items.
        setUp(true, shown ? ItemList{} : items({1}), {});
        setUp(true, s, m);
        QCOMPARE(shownInPanel(QStringLiteral("framPrtUser")), shown);
        QCOMPARE(child<QWidget>(QStringLiteral("framPrtUser"))->isEnabled(), shown);
        QCOMPARE(list(3)->count(), select.size() + mini.size());
    }

    void nothingOfTheChosenTypePicked_data() {
        QTest::addColumn<int>("optionIndex");
        QTest::addColumn<QString>("label");
        QTest::newRow("Mini with only numbers picked") << 3 << QStringLiteral("【ミニ】");
        QTest::newRow("Set with only Mini bets picked") << 2 << QStringLiteral("【セット】");
    }
    void nothingOfTheChosenTypePicked() {
        QFETCH(int, optionIndex);
        QFETCH(QString, label);
        setUp(true, items({7}), items({5}));
        if (optionIndex == 3) { // numbers only
            clickRow(0, 0);
            clickRow(3, 0);
        } else { // Mini bets only
            clickRow(2, 0);
            clickRow(3, 1);
        }
        option(optionIndex)->setChecked(true);
        boxes.expect(tw::ui::Answer::Ok);
        press(QStringLiteral("cmdPrtSrart"));

        QVERIFY(!opened);
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【印刷選出エラー】")});
        const QString text = boxes.shown().value(0);
        QVERIFY(text.startsWith(QStringLiteral("     ＜＜＜　印刷データなし　＞＞＞\r\r") + label +
                                QStringLiteral("選出のデータがありません。")));
    }

    void startOpensTheDialog_data() {
        QTest::addColumn<bool>("numbers3");
        QTest::addColumn<int>("optionIndex");
        QTest::addColumn<BetType>("mark");
        QTest::addColumn<std::vector<std::string>>("entries");
        QTest::addColumn<QString>("sheets");
        // Every item of every list picked; the user's selection is 7, 120 and the Mini bet 5.
        QTest::newRow("Numbers3 Box") << true << 1 << BetType::Box
                                      << std::vector<std::string>{"012", "123", "905", "312", "456", "007", "120"}
                                      << QStringLiteral("2");
        QTest::newRow("Numbers3 Mini") << true << 3 << BetType::Mini << std::vector<std::string>{"*23", "*07", "*05"}
                                       << QStringLiteral("1");
        QTest::newRow("Numbers4 Straight")
            << false << 0 << BetType::Straight
            << std::vector<std::string>{"0123", "9876", "5555", "0456", "1001", "0007", "0120"} << QStringLiteral("2");
    }
    void startOpensTheDialog() {
        QFETCH(bool, numbers3);
        QFETCH(int, optionIndex);
        QFETCH(BetType, mark);
        QFETCH(std::vector<std::string>, entries);
        QFETCH(QString, sheets);
        setUp(numbers3, items({7, 120}), items({5}));
        for (int n = 0; n < PrintPanel::kLists; ++n)
            press(QStringLiteral("cmdPrtGrpAllSelect_%1").arg(n));
        option(optionIndex)->setChecked(true);
        press(QStringLiteral("cmdPrtSrart"));

        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(opened);
        QCOMPARE(opened->entries, entries);
        QCOMPARE(opened->mark, mark);
        QCOMPARE(opened->game, numbers3 ? Game::Numbers3 : Game::Numbers4);
        QCOMPARE(opened->paperNum, sheets);
    }

    void sameNumberInTwoListsIsPrintedTwice() {
        setUp(true, items({12}), {});
        clickRow(0, 0); // 012 in Group1
        clickRow(3, 0); // 012 in the user's selection
        press(QStringLiteral("cmdPrtSrart"));
        QVERIFY(opened);
        QCOMPARE(opened->entries, (std::vector<std::string>{"012", "012"}));
    }
};

QTEST_MAIN(TestPrintPanel)
#include "test_print_panel.moc"
