// The print offset dialog opened from the print dialog, which applies a change
// at once and stores it for the printer, its calibration sheet, and the print
// preview that shows exactly the marks the print job draws.
#include "printing/calibration_sheet.h"
#include "printing/gui/current_printer.h"
#include "printing/gui/print_job_dialog.h"
#include "printing/gui/print_offset_dialog.h"
#include "printing/gui/print_preview_dialog.h"
#include "printing/gui/printer_offsets.h"
#include "ui/message_box.h"

#include "support/entry_numbers.h"
#include "support/recording_sink.h"
#include "support/strict_message_hook.h"
#include "support/window_driver.h"

#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using tw::common::BetType;
using tw::common::Game;
using tw::printing::OffsetTenths;
using tw::printing::PrinterOffsets;
using tw::printing::PrintJobDialog;
using tw::printing::PrintOffsetDialog;
using tw::printing::PrintPreviewDialog;
using tw::printing::SheetOffset;
using tw::testing::child;
using tw::testing::RecordingSink;

namespace {
constexpr int kWaitMs = 5000;

// A print dialog for the bets written as texts ("905", "*23").
std::unique_ptr<PrintJobDialog> printDialog(const std::vector<std::string>& entries, Game game, BetType type,
                                            const QString& pdf, PrinterOffsets& offsets) {
    auto dialog =
        std::make_unique<PrintJobDialog>(PrintJobDialog::Request{tw::testing::entryNumbers(game, entries), type, game});
    dialog->setTimings({0, 0});
    dialog->printer().setOutputFormat(QPrinter::PdfFormat);
    dialog->printer().setOutputFileName(pdf);
    dialog->setOffsetStore(&offsets);
    dialog->refreshPrinterName();
    return dialog;
}

// Everything the dialog prints, through a recording sink.
bool printAll(PrintJobDialog& dialog, RecordingSink& sink) {
    dialog.setOutput(&sink);
    QSignalSpy ended(&dialog, &PrintJobDialog::jobEnded);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdPrtGo"))->click();
    return ended.wait(kWaitMs);
}
} // namespace

Q_DECLARE_METATYPE(OffsetTenths)

class TestPrintOffsetDialog : public QObject {
    Q_OBJECT

    // No step here shows a message box; one that appears fails the test.
    tw::testing::StrictMessageHook boxes;

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void offsetDialogAppliesAtOnceAndRemembers() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString ini = dir.filePath(QStringLiteral("offsets.ini"));
        PrinterOffsets offsets(ini);
        offsets.setOffset(QStringLiteral("PDF"), {5, -10});
        auto dialog = printDialog({"905", "123"}, Game::Numbers3, BetType::Straight,
                                  dir.filePath(QStringLiteral("out.pdf")), offsets);

        // The button sits beside the printer button.
        auto* offsetButton = child<QPushButton>(dialog.get(), "cmdPrintOffset");
        QCOMPARE(offsetButton->text(), QStringLiteral("印刷位置の調整"));
        QCOMPARE(offsetButton->parentWidget(), child<QPushButton>(dialog.get(), "cmdPrinterSelect")->parentWidget());
        QCOMPARE(child<QLabel>(dialog.get(), "lblPrintOffset")->text(),
                 QStringLiteral("横 右へ 0.5 mm・縦 上へ 1.0 mm"));

        std::unique_ptr<PrintOffsetDialog> calibration = dialog->makeOffsetDialog();
        QCOMPARE(calibration->windowTitle(), QStringLiteral("印刷位置の調整"));
        QCOMPARE(child<QLabel>(calibration.get(), "lblOffsetPrinter")->text(),
                 child<QLabel>(dialog.get(), "lblPrinterName")->text());
        auto* across = child<QDoubleSpinBox>(calibration.get(), "spnOffsetX");
        auto* down = child<QDoubleSpinBox>(calibration.get(), "spnOffsetY");
        QCOMPARE(across->value(), 0.5);
        QCOMPARE(down->value(), -1.0);
        QCOMPARE(across->singleStep(), 0.1);
        QCOMPARE(across->minimum(), -15.0);
        QCOMPARE(across->maximum(), 15.0);
        QCOMPARE(child<QLabel>(calibration.get(), "lblOffsetNow")->text(),
                 QStringLiteral("横 右へ 0.5 mm・縦 上へ 1.0 mm（28, -57 twip）"));

        // Typed in: stored at once, shown in both dialogs, used by the next print.
        QSignalSpy changed(calibration.get(), &PrintOffsetDialog::offsetChanged);
        across->setValue(-2.3);
        down->setValue(1.7);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(calibration->offset(), (OffsetTenths{-23, 17}));
        QCOMPARE(PrinterOffsets(ini).offsetOf(QStringLiteral("PDF")), (OffsetTenths{-23, 17}));
        QCOMPARE(child<QLabel>(dialog.get(), "lblPrintOffset")->text(),
                 QStringLiteral("横 左へ 2.3 mm・縦 下へ 1.7 mm"));
        QCOMPARE(child<QLabel>(calibration.get(), "lblOffsetNow")->text(),
                 QStringLiteral("横 左へ 2.3 mm・縦 下へ 1.7 mm（-130, 96 twip）"));
        QCOMPARE(dialog->sheetOffset(), (SheetOffset{-130, 96}));

        RecordingSink printed;
        QVERIFY(printAll(*dialog, printed));
        QCOMPARE(printed.pages.size(), std::size_t{1});
        const auto plain = tw::printing::PrintEntry(Game::Numbers3, 1, tw::testing::entryNumber(Game::Numbers3, "905"),
                                                    BetType::Straight);
        for (std::size_t i = 0; i < plain.size(); ++i)
            QCOMPARE(printed.pages[0][i], (RecordingSink::Rect{plain[i].x - 130, plain[i].y + 96, 227, 57}));

        // The test sheet goes through a sink with the same offset: the crosshairs over the target marks.
        RecordingSink testSheet;
        calibration->setOutput(&testSheet);
        child<QPushButton>(calibration.get(), "cmdTestPrint")->click();
        QCOMPARE(testSheet.endDocuments, 1);
        const auto expected = tw::printing::calibrationSheet(Game::Numbers3, {-130, 96});
        QCOMPARE(testSheet.pages[0].size(), expected.size());
        const auto target = tw::printing::calibrationTargets(Game::Numbers3)[0];
        const RecordingSink::Rect across0{tw::printing::markCentreX(target) - 130 - tw::printing::kCrossArm,
                                          tw::printing::markCentreY(target) + 96 - tw::printing::kLineWidth / 2,
                                          2 * tw::printing::kCrossArm, tw::printing::kLineWidth};
        QCOMPARE(testSheet.pages[0][0], across0);

        // Back to no offset; a value beyond 15 mm is held at the limit by the spin box.
        child<QPushButton>(calibration.get(), "cmdOffsetReset")->click();
        QCOMPARE(PrinterOffsets(ini).offsetOf(QStringLiteral("PDF")), OffsetTenths{});
        QCOMPARE(child<QLabel>(dialog.get(), "lblPrintOffset")->text(), QStringLiteral("なし"));
        down->setValue(-20.0);
        QCOMPARE(PrinterOffsets(ini).offsetOf(QStringLiteral("PDF")), (OffsetTenths{0, -150}));
        QVERIFY(boxes.shown().isEmpty());
    }

    void previewDrawsWhatThePrintJobDraws_data() {
        QTest::addColumn<int>("gameCode");
        QTest::addColumn<QString>("betKey");
        QTest::addColumn<OffsetTenths>("offset");
        QTest::addColumn<int>("entries");
        QTest::newRow("Numbers3 Straight, no offset") << 3 << "straight" << OffsetTenths{} << 7;
        QTest::newRow("Numbers4 Box, moved left and down") << 4 << "box" << OffsetTenths{-41, 88} << 12;
        QTest::newRow("Numbers3 Mini at the limits") << 3 << "mini" << OffsetTenths{150, -150} << 5;
    }
    void previewDrawsWhatThePrintJobDraws() {
        QFETCH(int, gameCode);
        QFETCH(QString, betKey);
        QFETCH(OffsetTenths, offset);
        QFETCH(int, entries);
        const Game game = tw::common::gameFromCode(gameCode).value();
        const BetType type = tw::common::betFromKey(betKey.toStdString()).value();
        const bool numbers3 = game == Game::Numbers3;
        std::vector<std::string> picked;
        for (int i = 0; i < entries; ++i) {
            const int n = 137 * i + 24;
            picked.push_back(type == BetType::Mini
                                 ? "*" + std::to_string(10 + n % 90)
                                 : (numbers3 ? std::to_string(100 + n % 900) : std::to_string(1000 + n)));
        }
        QTemporaryDir dir;
        PrinterOffsets offsets;
        offsets.setOffset(QStringLiteral("PDF"), offset);
        auto dialog = printDialog(picked, game, type, dir.filePath(QStringLiteral("out.pdf")), offsets);

        RecordingSink printed;
        QVERIFY(printAll(*dialog, printed));
        std::unique_ptr<PrintPreviewDialog> preview = dialog->makePreview();
        QCOMPARE(preview->windowTitle(), QStringLiteral("印刷プレビュー"));
        QCOMPARE(static_cast<std::size_t>(preview->pageCount()), printed.pages.size());
        QCOMPARE(preview->pageCount(), tw::printing::sheetsNeeded(entries));
        for (int page = 0; page < preview->pageCount(); ++page) {
            RecordingSink shown;
            preview->paintPage(page, shown);
            QCOMPARE(shown.pages[0], printed.pages[static_cast<std::size_t>(page)]);
        }
        // The outline is every box of the sheet, moved with the marks.
        const SheetOffset twips = tw::printing::sheetOffsetOf(offset);
        QCOMPARE(preview->markAreas().size(), std::size_t{5} * 10 * (numbers3 ? 4 : 5));
        QCOMPARE(preview->markAreas().front(), (tw::printing::MarkRect{twips.x, 2183 + twips.y}));
    }

    void previewNavigatesAndPaintsMarksOverTheOutline() {
        QTemporaryDir dir;
        PrinterOffsets offsets;
        auto dialog = printDialog({"905", "123", "456", "789", "012", "345"}, Game::Numbers3, BetType::Straight,
                                  dir.filePath(QStringLiteral("out.pdf")), offsets);
        auto* previewButton = child<QPushButton>(dialog.get(), "cmdPrtPreview");
        QCOMPARE(previewButton->text(), QStringLiteral("印刷プレビュー"));
        std::unique_ptr<PrintPreviewDialog> preview = dialog->makePreview();
        auto* prev = child<QPushButton>(preview.get(), "cmdPrevPage");
        auto* next = child<QPushButton>(preview.get(), "cmdNextPage");
        auto* label = child<QLabel>(preview.get(), "lblPreviewPage");
        QCOMPARE(label->text(), QStringLiteral("1 / 2 枚目"));
        QVERIFY(!prev->isEnabled());
        QVERIFY(next->isEnabled());

        // The page widget drawn at one pixel per 10 twips: black marks over grey outlines.
        QWidget* page = child<QWidget>(preview.get(), "picPreviewPage");
        page->setFixedSize(tw::printing::PreviewPage::kAreaWidth / 10, tw::printing::PreviewPage::kAreaHeight / 10);
        const auto pixelAt = [&](int x, int y) { return page->grab().toImage().pixelColor(x / 10, y / 10); };
        // 905: the 9 in row 1 of block 1 is marked, the 8 beside it is not; block 2 holds 123.
        QCOMPARE(pixelAt(0 + 113, 2183 + 28), QColor(Qt::black));
        QCOMPARE(pixelAt(352 + 113, 2183 + 28), QColor(Qt::white));
        const QColor edge = pixelAt(352, 2183 + 28);
        QVERIFY2(edge != QColor(Qt::white) && edge.lightness() > 150, qPrintable(edge.name()));
        QCOMPARE(pixelAt(2814 + 113, 3374 + 28), QColor(Qt::black));

        next->click();
        QCOMPARE(label->text(), QStringLiteral("2 / 2 枚目"));
        QVERIFY(prev->isEnabled());
        QVERIFY(!next->isEnabled());
        // Sheet 2 holds only 345 in block 1; block 2 is empty.
        QCOMPARE(pixelAt(tw::printing::GetMarkLeft(3) + 113, 2183 + 28), QColor(Qt::black));
        QCOMPARE(pixelAt(2814 + 113, 3374 + 28), QColor(Qt::white));
        prev->click();
        QCOMPARE(label->text(), QStringLiteral("1 / 2 枚目"));
    }
};

QTEST_MAIN(TestPrintOffsetDialog)
#include "test_print_offset_dialog.moc"
