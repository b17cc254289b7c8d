// The ledger window: its rows and totals are the library's report over the
// bundled history, the game filter, a hand entry (and a refused one), removal
// after the question (and kept on "No"), CSV export, and a ledger file that
// cannot be opened giving its message instead of a window.
#include "history/table_file.h"
#include "ledger/gui/ledger_window.h"
#include "ledger/ledger.h"
#include "ui/message_box.h"

#include "support/strict_message_hook.h"
#include "support/temp_folder.h"
#include "support/window_driver.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

using tw::common::BetType;
using tw::common::Game;
using tw::ledger::LedgerWindow;

namespace {
tw::history::DrawHistory bundled() {
    tw::history::DrawHistory h;
    h.num3 = tw::history::loadTableFile(TALLOWIND_DATA_DIR "/Num3Data.tbl", Game::Numbers3).table;
    h.num4 = tw::history::loadTableFile(TALLOWIND_DATA_DIR "/Num4Data.tbl", Game::Numbers4).table;
    return h;
}

std::string digits(const tw::history::NumData& rec, int places) {
    std::string s;
    for (int p = 1; p <= places; ++p)
        s += static_cast<char>('0' + rec.bytNum[static_cast<std::size_t>(p)]);
    return s;
}
} // namespace

using tw::testing::child;

class TestLedgerWindow : public QObject {
    Q_OBJECT

    tw::history::DrawHistory history = bundled();
    // Every box is expected; a refusal or question nobody expected fails the test.
    tw::testing::StrictMessageHook boxes;

    // The shown rows against the library's report over the same tickets.
    void compareRows(LedgerWindow& window, const std::string& path, std::optional<Game> game) {
        auto opened = tw::ledger::Ledger::open(path);
        QVERIFY(opened.ledger);
        tw::ledger::ReportFilter filter;
        filter.game = game;
        const auto report = tw::ledger::buildReport(opened.ledger->tickets().tickets, history, filter);
        auto* table = child<QTableWidget>(&window, "tblLedgerRounds");
        QCOMPARE(table->rowCount(), static_cast<int>(report.rows.size()));
        const QLocale ja(QLocale::Japanese);
        for (int r = 0; r < table->rowCount(); ++r) {
            const auto& row = report.rows[static_cast<std::size_t>(r)];
            QCOMPARE(table->item(r, 0)->text(), QString::number(row.round));
            QCOMPARE(table->item(r, 2)->text(), QString::fromUtf8(tw::common::gameName(row.game)));
            QCOMPARE(table->item(r, 3)->text(), QString::number(row.tickets));
            QCOMPARE(table->item(r, 4)->text(), ja.toString(static_cast<qlonglong>(row.cost)));
            QCOMPARE(table->item(r, 5)->text(),
                     row.settled ? ja.toString(static_cast<qlonglong>(row.won)) : QStringLiteral("－"));
            QCOMPARE(table->item(r, 7)->text(),
                     row.settled ? ja.toString(static_cast<qlonglong>(row.runningBalance)) : QStringLiteral("－"));
            QCOMPARE(table->item(r, 8)->text(), row.settled ? QStringLiteral("確定") : QStringLiteral("未抽選"));
        }
        QVERIFY(
            child<QLabel>(&window, "lblLedgerTotals")
                ->text()
                .contains(QStringLiteral("当選金 %1 円").arg(ja.toString(static_cast<qlonglong>(report.totals.won)))));
    }

    void addByHand(LedgerWindow& w, int game, int round, const QString& number, BetType bet, int count) {
        child<QComboBox>(&w, "cmbAddGame")->setCurrentIndex(game == 4 ? 1 : 0);
        child<QSpinBox>(&w, "spnAddRound")->setValue(round);
        child<QLineEdit>(&w, "txtAddNumber")->setText(number);
        auto* bets = child<QComboBox>(&w, "cmbAddBet");
        bets->setCurrentIndex(bets->findData(static_cast<int>(bet)));
        child<QSpinBox>(&w, "spnAddCount")->setValue(count);
        QTest::mouseClick(child<QPushButton>(&w, "cmdLedgerAdd"), Qt::LeftButton);
    }

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void rowsAddAndRemove() {
        tw::testing::TempFolder dir;
        const std::string path = tw::ledger::ledgerPathIn(dir.str());
        LedgerWindow window(path, history);
        QVERIFY(window.openLedger());
        window.show();
        QCOMPARE(child<QTableWidget>(&window, "tblLedgerRounds")->rowCount(), 0);

        const int last3 = history.num3.count;
        const QString drawn3 = QString::fromStdString(digits(history.num3.record(last3), 3));
        addByHand(window, 3, last3, drawn3, BetType::Straight, 2);
        addByHand(window, 3, last3, QStringLiteral("*") + drawn3.mid(1), BetType::Mini, 1);
        addByHand(window, 3, last3 + 1, QStringLiteral("123"), BetType::Box, 3);
        addByHand(window, 4, history.num4.count, QStringLiteral("0123"), BetType::Set, 1);
        QCOMPARE(boxes.shown(), QStringList{});
        // A refused entry: the message, nothing recorded.
        boxes.expect(tw::ui::Answer::Ok);
        addByHand(window, 3, last3, QStringLiteral("777"), BetType::Box, 1);
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains(QStringLiteral("すべての数字が同じ")));
        QCOMPARE(window.report().totals.tickets, int64_t{7});
        compareRows(window, path, std::nullopt);

        // The hit row's detail marks the hits.
        const auto* row = window.report().findRow(Game::Numbers3, last3);
        QVERIFY(row);
        QVERIFY(row->won > 0);
        auto* rounds = child<QTableWidget>(&window, "tblLedgerRounds");
        const int at = static_cast<int>(row - window.report().rows.data());
        rounds->selectRow(at);
        auto* tickets = child<QTableWidget>(&window, "tblLedgerTickets");
        QCOMPARE(tickets->rowCount(), 3);
        for (int k = 0; k < 3; ++k)
            QVERIFY2(tickets->item(k, 3)->text().startsWith(QStringLiteral("★")),
                     qPrintable(tickets->item(k, 3)->text()));

        // Filter by game.
        child<QComboBox>(&window, "cmbLedgerGame")->setCurrentIndex(2);
        compareRows(window, path, Game::Numbers4);
        child<QComboBox>(&window, "cmbLedgerGame")->setCurrentIndex(0);

        // Removal: "No" keeps the ticket, "Yes" removes it.
        rounds->selectRow(
            static_cast<int>(window.report().findRow(Game::Numbers3, last3) - window.report().rows.data()));
        tickets->selectRow(0);
        boxes.clearShown();
        boxes.expect(tw::ui::Answer::No);
        QTest::mouseClick(child<QPushButton>(&window, "cmdLedgerRemove"), Qt::LeftButton);
        QCOMPARE(window.report().totals.tickets, int64_t{7});
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains(QStringLiteral("削除しますか")));
        rounds->selectRow(
            static_cast<int>(window.report().findRow(Game::Numbers3, last3) - window.report().rows.data()));
        tickets->selectRow(0);
        boxes.expect(tw::ui::Answer::Yes);
        QTest::mouseClick(child<QPushButton>(&window, "cmdLedgerRemove"), Qt::LeftButton);
        QCOMPARE(window.report().totals.tickets, int64_t{6});
        compareRows(window, path, std::nullopt);

        // CSV export writes the shown rows.
        const QString csv = QString::fromStdString((dir.path() / "rows.csv").string());
        QVERIFY(window.exportCsv(csv));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), static_cast<qsizetype>(window.report().rows.size() + 1));
    }

    void unusableLedgerGivesTheMessage() {
        tw::testing::TempFolder dir;
        dir.write(tw::ledger::kLedgerFileName, std::string(4096, 'x'));
        LedgerWindow window(tw::ledger::ledgerPathIn(dir.str()), history);
        boxes.expect(tw::ui::Answer::Ok);
        QVERIFY(!window.openLedger());
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(boxes.shown().front().contains(QStringLiteral("壊れている")));
    }
};

QTEST_MAIN(TestLedgerWindow)
#include "test_ledger_window.moc"
