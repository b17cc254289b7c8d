// The print road through the main window on the bundled history: a prediction
// for the next round of each game, the print button, the print panel filled
// from the window's engine and selection, and the start button handing the
// picked bets of the chosen type to the print dialog.
#include "app/app_state.h"
#include "app/gui/main_window.h"
#include "history/table_file.h"
#include "printing/gui/print_job_dialog.h"
#include "printing/gui/print_panel.h"
#include "support/bundled_workdir.h"
#include "support/strict_message_hook.h"
#include "support/window_clock.h"
#include "support/window_driver.h"
#include "ui/message_box.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using tw::app::MainWindow;
using tw::engine::PredNum;
using tw::printing::PrintJobDialog;
using tw::printing::PrintPanel;
using tw::selection::ListId;

namespace {

// Written here from the digits, independently of the printing code.
QStringList numberTexts(const tw::engine::CountedList<PredNum>& list, int game) {
    QStringList out;
    for (int i = 0; i < list.count; ++i) {
        const PredNum& n = list[i];
        QString text = QStringLiteral("%1%2%3").arg(n.intNum1).arg(n.intNum2).arg(n.intNum3);
        out << (game == 4 ? text + QString::number(n.intNum4) : text);
    }
    return out;
}

QStringList miniTexts(const tw::engine::CountedList<PredNum>& list) {
    QStringList out;
    for (int i = 0; i < list.count; ++i)
        out << QStringLiteral("*%1%2").arg(list[i].intNum1).arg(list[i].intNum2);
    return out;
}

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}
} // namespace

class TestPrintRoad : public QObject {
    Q_OBJECT

private:
    // The road from the window to the print dialog shows no box; one that appears fails the test.
    tw::testing::StrictMessageHook boxes;
    QTemporaryDir work;
    tw::app::AppState appState;
    tw::history::DrawHistory history;
    std::unique_ptr<MainWindow> window;

    template <typename T> T* child(const QString& name) const { return tw::testing::child<T>(window.get(), name); }
    QListWidget* list(int n) const { return child<QListWidget>(QStringLiteral("lstPrtGroup_%1").arg(n)); }
    bool shown(const QString& name) const { return child<QWidget>(name)->isVisible(); }
    void click(const QString& name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(work.isValid());
        auto workdir = tw::testing::prepareBundledWorkdir(work.path());
        appState = workdir.appState;
        history = std::move(workdir.history);
    }
    void init() {
        boxes.start();
        window = std::make_unique<MainWindow>(history, appState, [] { return tw::testing::kWednesdayMorning; });
        window->setPredictionIntervals({1, 1, 1});
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void panelOverTheWindowsProposalAndSelection_data() {
        QTest::addColumn<int>("game");
        QTest::newRow("NUMBERS 3") << 3;
        QTest::newRow("NUMBERS 4") << 4;
    }
    void panelOverTheWindowsProposalAndSelection() {
        QFETCH(int, game);
        const bool numbers3 = game == 3;
        if (!numbers3)
            click(QStringLiteral("optNumbers_1"));
        auto* round = child<QComboBox>(QStringLiteral("cmbRound"));
        round->lineEdit()->selectAll();
        QTest::keyClicks(round, QString::number(history.table(tw::common::Game{game}).count + 1));
        click(QStringLiteral("cmdYosoku"));
        QVERIFY(shown(QStringLiteral("cmdPrint")));

        click(QStringLiteral("cmdPrint"));
        QVERIFY(shown(QStringLiteral("framPrint")));
        QVERIFY(!shown(QStringLiteral("framYosou")));
        QVERIFY(!shown(QStringLiteral("framHenkou")));
        const tw::engine::Proposal& proposal = window->engine().proposal();
        QVERIFY(proposal.grp1.count > 0);
        QCOMPARE(texts(list(0)), numberTexts(proposal.grp1, game));
        QCOMPARE(texts(list(1)), numberTexts(proposal.grp2, game));
        QCOMPARE(texts(list(2)), numbers3 ? miniTexts(proposal.mini) : numberTexts(proposal.grp3, game));
        QCOMPARE(shown(QStringLiteral("optPrtType_3")), numbers3);
        // A fresh working folder holds no stored selection.
        QVERIFY(!shown(QStringLiteral("framPrtUser")));

        // Group 2 becomes the user's selection; the panel shows it on its next opening.
        tw::selection::SelectionModel& selection = window->selection();
        QVERIFY(selection.SetGrpNumsFromYosoku(tw::common::gameFromCode(game).value(), 2, proposal));
        selection.SelectAllList(ListId::GrpNums);
        selection.AddToUserSelect();
        window->ShowYosouPanel();
        click(QStringLiteral("cmdPrint"));
        QVERIFY(shown(QStringLiteral("framPrtUser")));
        const QStringList group2 = numberTexts(proposal.grp2, game);
        QCOMPARE(texts(list(3)), group2);

        std::optional<std::vector<tw::common::LotteryNumber>> printed;
        auto mark = tw::common::BetType::Straight;
        auto dialogGame = numbers3 ? tw::common::Game::Numbers4 : tw::common::Game::Numbers3;
        child<PrintPanel>(QStringLiteral("framPrint"))->setDialogRunner([&](PrintJobDialog& dialog) {
            printed = dialog.entries();
            mark = dialog.request().printType;
            dialogGame = dialog.request().game;
        });
        click(QStringLiteral("cmdPrtGrpAllSelect_3"));
        click(QStringLiteral("optPrtType_1"));
        click(QStringLiteral("cmdPrtSrart"));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(printed);
        QStringList entries;
        for (const tw::common::LotteryNumber& e : *printed)
            entries << QString::fromStdString(e.text());
        QCOMPARE(entries, group2);
        QCOMPARE(mark, tw::common::BetType::Box);
        QCOMPARE(dialogGame, numbers3 ? tw::common::Game::Numbers3 : tw::common::Game::Numbers4);
    }
};

QTEST_MAIN(TestPrintRoad)
#include "test_print_road.moc"
