// The print dialog: the sheet count, progress bar and animation after every
// sheet, the pause between sheets, the finished job that leaves the dialog open
// and ready to print again, the cancel that ends the document after the entry
// in hand and then closes, a printer that refuses the document, and the
// printer choice.
#include "printing/gui/current_printer.h"
#include "printing/gui/print_job_dialog.h"
#include "ui/message_box.h"

#include "support/entry_numbers.h"
#include "support/recording_sink.h"
#include "support/strict_message_hook.h"
#include "support/timer_tick.h"
#include "support/window_driver.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using tw::printing::PrintJobDialog;
using tw::testing::fireTimer;
using tw::testing::RecordingSink;

namespace {
constexpr int kMarksPerEntry = 4; // three digits and the bet type (Numbers3)
constexpr int kWaitMs = 5000;

// What the dialog showed at one progress step.
struct Step {
    QString paperNum;
    int bar;
    int frame;
};
} // namespace

class TestPrintJobDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PrintJobDialog> dialog;
    RecordingSink sink;
    QList<Step> steps;
    // Every box is expected; an error box nobody expected fails the test.
    tw::testing::StrictMessageHook boxes;

    template <typename T> T* child(const QString& name) const { return tw::testing::child<T>(dialog.get(), name); }
    QString paperNum() const { return child<QLabel>(QStringLiteral("lblPaperNum"))->text(); }
    int bar() const { return child<QProgressBar>(QStringLiteral("barPrint"))->value(); }
    bool shown(const QString& name) const { return child<QWidget>(name)->isVisible(); }
    int framesShown() const {
        int n = 0;
        for (int i = 0; i < 7; ++i)
            n += shown(QStringLiteral("picDisp_%1").arg(i)) ? 1 : 0;
        return n;
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(QString::fromLatin1(name)); }

    void open(int count, PrintJobDialog::Timings timings = {0, 0}) {
        sink = RecordingSink{};
        steps.clear();
        dialog = std::make_unique<PrintJobDialog>(PrintJobDialog::Request{
            tw::testing::numbers3From100(count), tw::common::BetType::Straight, tw::common::Game::Numbers3});
        dialog->setTimings(timings);
        dialog->setOutput(&sink);
        connect(dialog.get(), &PrintJobDialog::progressStepped, this, [this] {
            steps.push_back({paperNum(), bar(), dialog->currentFrame()});
        });
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    bool runToEnd() {
        QSignalSpy ended(dialog.get(), &PrintJobDialog::jobEnded);
        button("cmdPrtGo")->click();
        return ended.wait(kWaitMs);
    }

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() {
        dialog.reset();
        QVERIFY2(boxes.finish(), qPrintable(boxes.problem()));
    }

    void progressAfterEverySheet_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("sheetsAtStart");
        QTest::addColumn<QStringList>("sheetsLeft");
        QTest::addColumn<QList<int>>("bars");
        QTest::addColumn<QList<int>>("frames");
        QTest::newRow("eleven entries") << 11 << "3" << QStringList{"2", "1", "0"} << QList<int>{45, 91, 100}
                                        << QList<int>{2, 3, 4};
        QTest::newRow("one full sheet") << 5 << "1" << QStringList{"0"} << QList<int>{100} << QList<int>{2};
        // Eight steps: the seventh frame is followed by the first.
        // Halves round to even: 12.5 % shows as 12, 37.5 % as 38.
        QTest::newRow("forty entries") << 40 << "8" << QStringList{"7", "6", "5", "4", "3", "2", "1", "0"}
                                       << QList<int>{12, 25, 38, 50, 62, 75, 88, 100}
                                       << QList<int>{2, 3, 4, 5, 6, 7, 1, 2};
    }
    void progressAfterEverySheet() {
        QFETCH(int, count);
        QFETCH(QString, sheetsAtStart);
        QFETCH(QStringList, sheetsLeft);
        QFETCH(QList<int>, bars);
        QFETCH(QList<int>, frames);
        open(count);
        QCOMPARE(paperNum(), sheetsAtStart);
        QCOMPARE(framesShown(), 0);
        QVERIFY(runToEnd());

        QCOMPARE(steps.size(), sheetsLeft.size());
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QCOMPARE(steps[i].paperNum, sheetsLeft[i]);
            QCOMPARE(steps[i].bar, bars[i]);
            QCOMPARE(steps[i].frame, frames[i]);
        }
        QCOMPARE(sink.endDocuments, 1);
        QCOMPARE(sink.newPages, (count - 1) / 5);
        QCOMPARE(sink.markCount(), count * kMarksPerEntry);
        QVERIFY(!sink.drawnAfterEnd);
    }

    void finishedJobLeavesTheDialogOpenAndReady() {
        open(6);
        QVERIFY(runToEnd());
        QCOMPARE(bar(), 100);
        QVERIFY(dialog->isVisible());
        QVERIFY(shown(QStringLiteral("cmdPrtGo")));
        QVERIFY(shown(QStringLiteral("cmdPrinterSelect")));
        QCOMPARE(framesShown(), 0);
        QCOMPARE(dialog->printState(), PrintJobDialog::PrintState::Idle);
        QVERIFY(!dialog->loopBusy());

        // The same bets print again as a second document.
        QVERIFY(runToEnd());
        QCOMPARE(sink.endDocuments, 2);
        QCOMPARE(sink.markCount(), 2 * 6 * kMarksPerEntry);
        QCOMPARE(bar(), 100);
    }

    void pauseBetweenSheets() {
        open(6, PrintJobDialog::Timings{}); // the dialog's default intervals
        QSignalSpy stepped(dialog.get(), &PrintJobDialog::progressStepped);
        button("cmdPrtGo")->click();
        QVERIFY(stepped.wait(kWaitMs));
        // The first sheet is done; the next one waits for the pause, with no page started yet.
        const auto* timer = dialog->findChild<QTimer*>(QStringLiteral("tmPrint"));
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 500);
        QCOMPARE(sink.markCount(), 5 * kMarksPerEntry);
        QCOMPARE(sink.newPages, 0);
        QVERIFY(dialog->loopBusy());
    }

    void buttonsAndFrameWhilePrinting() {
        open(3, {60000, 0}); // entries far apart: the job stands still after its first entry
        button("cmdPrtGo")->click();
        QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("tmPrint"))));
        QCOMPARE(sink.markCount(), kMarksPerEntry);
        QVERIFY(dialog->loopBusy());
        QCOMPARE(dialog->printState(), PrintJobDialog::PrintState::Printing);
        QVERIFY(!shown(QStringLiteral("cmdPrtGo")));
        QVERIFY(!shown(QStringLiteral("cmdPrinterSelect")));
        QVERIFY(shown(QStringLiteral("picDisp_0")));
        QCOMPARE(framesShown(), 1);
        // A second press of the print button cannot start another job meanwhile.
        button("cmdPrtGo")->click();
        QCOMPARE(sink.markCount(), kMarksPerEntry);
        QCOMPARE(sink.endDocuments, 0);
    }

    void cancelDuringAJob_data() {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("entriesBeforeCancel");
        QTest::newRow("cancel button after three entries") << false << 3;
        QTest::newRow("Escape after seven entries") << true << 7;
        QTest::newRow("cancel button in the pause after a full sheet") << false << 5;
    }
    void cancelDuringAJob() {
        QFETCH(bool, escape);
        QFETCH(int, entriesBeforeCancel);
        open(11, {60000, 60000}); // the test steps the loop itself
        button("cmdPrtGo")->click();
        for (int i = 0; i < entriesBeforeCancel; ++i)
            QVERIFY(fireTimer(dialog->findChild<QTimer*>(QStringLiteral("tmPrint"))));
        QCOMPARE(sink.markCount(), entriesBeforeCancel * kMarksPerEntry);

        QSignalSpy ended(dialog.get(), &PrintJobDialog::jobEnded);
        if (escape)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            button("cmdCancel")->click();
        // The request waits for the loop: the document is still open and the dialog too.
        QCOMPARE(dialog->printState(), PrintJobDialog::PrintState::CancelRequested);
        QVERIFY(dialog->isVisible());
        QCOMPARE(sink.endDocuments, 0);

        QVERIFY(ended.wait(kWaitMs));
        QCOMPARE(sink.endDocuments, 1);
        QCOMPARE(sink.markCount(), entriesBeforeCancel * kMarksPerEntry);
        QVERIFY(!sink.drawnAfterEnd);
        // A cancel in the pause after a full sheet does not feed an empty sheet.
        QCOMPARE(sink.newPages, (entriesBeforeCancel - 1) / 5);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->loopBusy());
    }

    void cancelWhenIdleClosesAtOnce() {
        open(3);
        button("cmdCancel")->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(sink.endDocuments, 0);
        QCOMPARE(sink.markCount(), 0);
    }

    void printerThatRefusesTheDocument() {
        open(3);
        dialog->setOutput(nullptr);
        QTemporaryDir dir;
        QPrinter& printer = dialog->printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/out.pdf")));
        boxes.expect(tw::ui::Answer::Ok);
        QVERIFY(runToEnd());
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("【印刷エラー】")});
        QVERIFY(dialog->isVisible());
        QVERIFY(shown(QStringLiteral("cmdPrtGo")));
        QVERIFY(!dialog->loopBusy());
        QVERIFY(steps.isEmpty());
    }

    void printerChoice() {
        open(3);
        bool seen = false;
        QTimer::singleShot(0, this, [&seen] {
            if (auto* choice = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                choice->reject();
            }
        });
        const QString before = child<QLabel>(QStringLiteral("lblPrinterName"))->text();
        QVERIFY(!before.isEmpty());
        button("cmdPrinterSelect")->click();
        QVERIFY(seen);
        QCOMPARE(child<QLabel>(QStringLiteral("lblPrinterName"))->text(), before);
    }

    // With no printer installed the dialog offers the PDF printer, writing into
    // the working folder; the printer accepted in the printer dialog stays the
    // current printer, so the next print dialog of the session starts on it and
    // prints there.
    void chosenPrinterStaysTheCurrentPrinter() {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed; the PDF offer is for machines without one");
        QTemporaryDir work;
        tw::printing::forgetCurrentPrinter();
        tw::printing::setPdfFolder(work.path());
        open(3);
        const QString offered = work.filePath(QString::fromLatin1(tw::printing::kPdfFileName));
        QCOMPARE(dialog->printer().outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(dialog->printer().outputFileName(), offered);
        QCOMPARE(child<QLabel>(QStringLiteral("lblPrinterName"))->text(),
                 QStringLiteral("PDF ファイル: %1").arg(QString::fromLatin1(tw::printing::kPdfFileName)));

        bool accepted = false;
        QTimer::singleShot(0, this, [&accepted] {
            if (auto* choice = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                accepted = true;
                choice->accept();
            }
        });
        button("cmdPrinterSelect")->click();
        QVERIFY(accepted);
        const QString chosenFile = dialog->printer().outputFileName();
        const QString chosenCaption = child<QLabel>(QStringLiteral("lblPrinterName"))->text();
        QVERIFY(!chosenFile.isEmpty());
        dialog.reset();

        open(2);
        QCOMPARE(dialog->printer().outputFormat(), QPrinter::PdfFormat);
        QCOMPARE(dialog->printer().outputFileName(), chosenFile);
        QCOMPARE(child<QLabel>(QStringLiteral("lblPrinterName"))->text(), chosenCaption);
        dialog->setOutput(nullptr);
        QVERIFY(runToEnd());
        QVERIFY(boxes.titles().isEmpty());
        QVERIFY(QFileInfo(chosenFile).size() > 0);
        tw::printing::forgetCurrentPrinter();
    }
};

QTEST_MAIN(TestPrintJobDialog)
#include "test_print_job_dialog.moc"
