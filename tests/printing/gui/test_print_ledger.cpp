// What a print job started from the print panel records in the ledger: every
// entry the job printed, as tickets of the target round with the chosen bet
// type; the entries skipped after a cancel are not recorded, and without a
// ledger target nothing is written.
#include "ledger/ledger.h"
#include "printing/gui/print_job_dialog.h"
#include "printing/gui/print_panel.h"
#include "ui/message_box.h"

#include "support/proposal_fixture.h"
#include "support/recording_sink.h"
#include "support/strict_message_hook.h"
#include "support/timer_tick.h"
#include "support/window_driver.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using tw::printing::PrintJobDialog;
using tw::printing::PrintPanel;

namespace {
constexpr int kRound = 7055;
constexpr int kWaitMs = 5000;

// "bet number" per ticket, in the order of recording.
QStringList ticketsIn(const QString& path) {
    auto opened = tw::ledger::Ledger::open(path.toStdString());
    if (!opened.ledger)
        return {QStringLiteral("cannot open")};
    QStringList out;
    for (const auto& ticket : opened.ledger->tickets().tickets) {
        out << QStringLiteral("%1 %2 %3")
                   .arg(ticket.round)
                   .arg(QString::fromLatin1(tw::common::betKey(ticket.bet)))
                   .arg(QString::fromStdString(ticket.number.text()));
    }
    return out;
}
} // namespace

class TestPrintLedger : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work;
    std::unique_ptr<PrintPanel> panel;
    tw::testing::RecordingSink sink;
    int cancelAfter = -1; // entries printed before the cancel; -1 runs to the end

    QString ledgerFile() const { return work.filePath(QStringLiteral("tallowind.db")); }
    // A print from the panel shows no message box; one that appears fails the test.
    tw::testing::StrictMessageHook boxes;

    void press(const QString& name) { tw::testing::click(panel.get(), name); }

    void runDialog(PrintJobDialog& dialog) {
        dialog.setOutput(&sink);
        dialog.setTimings({60000, 60000}); // the test steps the loop itself
        dialog.show();
        QSignalSpy ended(&dialog, &PrintJobDialog::jobEnded);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPrtGo"))->click();
        const int entries = static_cast<int>(dialog.entries().size());
        const int steps = cancelAfter < 0 ? entries : cancelAfter;
        for (int i = 0; i < steps; ++i)
            QVERIFY(tw::testing::fireTimer(dialog.findChild<QTimer*>(QStringLiteral("tmPrint"))));
        if (cancelAfter >= 0)
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(ended.count() > 0 || ended.wait(kWaitMs));
        dialog.close();
    }

private Q_SLOTS:
    void init() {
        QVERIFY(work.isValid());
        QFile::remove(ledgerFile());
        boxes.start();
        sink = {};
        cancelAfter = -1;
        panel = std::make_unique<PrintPanel>();
        panel->setDialogRunner([this](PrintJobDialog& dialog) { runDialog(dialog); });
        panel->setLedgerTarget(PrintPanel::LedgerTarget{ledgerFile().toStdString(), kRound});
        panel->resize(900, 520);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }
    void cleanup() {
        panel.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void printedEntriesBecomeTickets_data() {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<QStringList>("tickets");
        const auto row = [](const char* bet, std::initializer_list<const char*> numbers) {
            QStringList out;
            for (const char* number : numbers)
                out << QStringLiteral("%1 %2 %3").arg(kRound).arg(QLatin1String(bet), QLatin1String(number));
            return out;
        };
        QTest::newRow("whole job, Straight") << 0 << 0 << -1 << row("straight", {"012", "123", "905"});
        QTest::newRow("whole job, Box") << 0 << 1 << -1 << row("box", {"012", "123", "905"});
        QTest::newRow("whole job, Set") << 0 << 2 << -1 << row("set", {"012", "123", "905"});
        QTest::newRow("whole job, Mini") << 2 << 3 << -1 << row("mini", {"*23", "*07"});
        QTest::newRow("cancel after two entries") << 0 << 0 << 2 << row("straight", {"012", "123"});
    }
    void printedEntriesBecomeTickets() {
        QFETCH(int, list);
        QFETCH(int, option);
        QFETCH(int, cancelAfter);
        QFETCH(QStringList, tickets);
        this->cancelAfter = cancelAfter;
        panel->PrtPanelSetUp(tw::common::Game::Numbers3, tw::testing::numbers3Proposal(), {}, {});
        press(QStringLiteral("cmdPrtGrpAllSelect_%1").arg(list));
        panel->findChild<QRadioButton*>(QStringLiteral("optPrtType_%1").arg(option))->setChecked(true);
        press(QStringLiteral("cmdPrtSrart"));

        QCOMPARE(boxes.shown(), QStringList{});
        QCOMPARE(ticketsIn(ledgerFile()), tickets);
    }

    void withoutATargetNothingIsRecorded() {
        panel->setLedgerTarget(std::nullopt);
        panel->PrtPanelSetUp(tw::common::Game::Numbers3, tw::testing::numbers3Proposal(), {}, {});
        press(QStringLiteral("cmdPrtGrpAllSelect_0"));
        press(QStringLiteral("cmdPrtSrart"));
        QVERIFY(sink.markCount() > 0);
        QVERIFY(!QFileInfo::exists(ledgerFile()));
    }
};

QTEST_MAIN(TestPrintLedger)
#include "test_print_ledger.moc"
