// A real print: the dialog prints six Numbers3 Straight bets through QPrinter to
// a PDF file, pdftoppm (poppler-utils) rasterizes both sheets at 1440 dpi, so
// one pixel is one twip, and the dark rectangles found in the image must be the
// marks of the sheet geometry, offset by where the printer puts its origin and
// by the printer's calibration offset.
#include "printing/gui/print_job_dialog.h"
#include "printing/gui/printer_offsets.h"
#include "printing/mark_sheet.h"
#include "ui/message_box.h"

#include "pgm_marks.h"
#include "support/entry_numbers.h"
#include "support/strict_message_hook.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using tw::printing::MarkRect;
using tw::printing::OffsetTenths;
using tw::printing::PrinterOffsets;
using tw::printing::PrintJobDialog;
using tw::testing::Blob;

namespace {
const std::vector<tw::common::LotteryNumber> kEntries =
    tw::testing::entryNumbers(tw::common::Game::Numbers3, {"905", "123", "456", "789", "012", "345"});
constexpr int kTolerance = 2; // twips
constexpr int kCropWidth = 3600;
constexpr int kCropHeight = 7800; // below block 5's bet-type row
constexpr int kOffsetRoom = 900;  // the largest calibration offset, 15 mm

bool near(int a, int b) {
    return std::abs(a - b) <= kTolerance;
}

QString describe(const std::vector<Blob>& blobs) {
    QStringList parts;
    for (const Blob& b : blobs)
        parts << QStringLiteral("(%1,%2 %3x%4)").arg(b.x).arg(b.y).arg(b.w).arg(b.h);
    return parts.join(QLatin1Char(' '));
}

// The blob at a mark's place, if any; the mark is given relative to the origin.
const Blob* blobAt(const std::vector<Blob>& blobs, int x, int y, QPoint origin) {
    for (const Blob& b : blobs) {
        if (near(b.x, x + origin.x()) && near(b.y, y + origin.y()))
            return &b;
    }
    return nullptr;
}
} // namespace

Q_DECLARE_METATYPE(OffsetTenths)

class TestPrintPdf : public QObject {
    Q_OBJECT

    // Every box is expected; one nobody asked for fails the test.
    tw::testing::StrictMessageHook boxes;

    // Prints kEntries to a PDF and returns the dark blobs of each sheet, in
    // twips from the paper corner; empty when something failed (reported).
    std::vector<std::vector<Blob>> printedSheets(bool fullPage, QMarginsF marginsPt, QPoint origin,
                                                 OffsetTenths offset) {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty()) {
            qWarning("pdftoppm not found: install poppler-utils (scripts/deps.sh does)");
            return {};
        }

        QTemporaryDir dir;
        if (!dir.isValid())
            return {};
        const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
        PrinterOffsets offsets; // in memory: the user's settings stay untouched
        offsets.setOffset(QStringLiteral("PDF"), offset);

        PrintJobDialog dialog({kEntries, tw::common::BetType::Straight, tw::common::Game::Numbers3});
        dialog.setTimings({0, 0});
        dialog.setOffsetStore(&offsets);
        QPrinter& printer = dialog.printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setFullPage(fullPage);
        if (!fullPage && !printer.setPageMargins(marginsPt, QPageLayout::Point))
            return {};
        dialog.show();

        QSignalSpy ended(&dialog, &PrintJobDialog::jobEnded);
        dialog.findChild<QPushButton*>(QStringLiteral("cmdPrtGo"))->click();
        if (!ended.wait(10000) || !boxes.shown().isEmpty() || QFileInfo(pdf).size() == 0)
            return {};

        // One pixel per twip; the crop keeps the images small and starts at the paper corner.
        const QString prefix = dir.filePath(QStringLiteral("sheet"));
        QProcess raster;
        raster.start(pdftoppm,
                     {QStringLiteral("-r"), QStringLiteral("1440"), QStringLiteral("-gray"), QStringLiteral("-x"),
                      QStringLiteral("0"), QStringLiteral("-y"), QStringLiteral("0"), QStringLiteral("-W"),
                      QString::number(kCropWidth + origin.x() + kOffsetRoom), QStringLiteral("-H"),
                      QString::number(kCropHeight + origin.y() + kOffsetRoom), pdf, prefix});
        if (!raster.waitForFinished(60000) || raster.exitCode() != 0)
            return {};
        const QStringList images = QDir(dir.path()).entryList({QStringLiteral("sheet-*.pgm")}, QDir::Files, QDir::Name);
        std::vector<std::vector<Blob>> sheets;
        for (const QString& name : images) {
            const auto image = tw::testing::readPgm(dir.filePath(name).toStdString());
            if (!image)
                return {};
            sheets.push_back(tw::testing::darkBlobs(*image));
        }
        return sheets;
    }

private Q_SLOTS:
    void init() { boxes.start(); }
    void cleanup() { QVERIFY2(boxes.finish(), qPrintable(boxes.problem())); }

    void marksOnTheSheets_data() {
        QTest::addColumn<bool>("fullPage");
        QTest::addColumn<QMarginsF>("marginsPt");
        QTest::addColumn<QPoint>("origin"); // twips from the paper corner
        QTest::addColumn<OffsetTenths>("offset");
        QTest::newRow("origin at the paper corner") << true << QMarginsF() << QPoint(0, 0) << OffsetTenths{};
        // Without full page the origin is the printable area's corner: 36 pt = 720 twips, 54 pt = 1080.
        QTest::newRow("origin at the printable area")
            << false << QMarginsF(36, 54, 36, 36) << QPoint(720, 1080) << OffsetTenths{};
        // 2.3 mm = 130 twips right, 1.7 mm = 96 twips up.
        QTest::newRow("calibrated right and up")
            << false << QMarginsF(36, 54, 36, 36) << QPoint(720, 1080) << OffsetTenths{23, -17};
        // 3.5 mm = 198 twips right, 15 mm = 850 twips down (the limit).
        QTest::newRow("calibrated at the paper corner, down to the limit")
            << true << QMarginsF() << QPoint(0, 0) << OffsetTenths{35, 150};
        QTest::newRow("calibrated left and down")
            << false << QMarginsF(36, 54, 36, 36) << QPoint(720, 1080) << OffsetTenths{-88, 4};
    }
    void marksOnTheSheets() {
        QFETCH(bool, fullPage);
        QFETCH(QMarginsF, marginsPt);
        QFETCH(QPoint, origin);
        QFETCH(OffsetTenths, offset);
        const tw::printing::SheetOffset twips = tw::printing::sheetOffsetOf(offset);
        origin += QPoint(twips.x, twips.y); // where the sheet's (0, 0) lands on the paper

        const std::vector<std::vector<Blob>> sheets = printedSheets(fullPage, marginsPt, origin, offset);
        QCOMPARE(sheets.size(), std::size_t{2}); // six bets: a full sheet and one bet on the second

        // The calibration moves the whole print by exactly its offset: the same
        // print without it, blob for blob, shifted by that many twips.
        if (offset != OffsetTenths{}) {
            const std::vector<std::vector<Blob>> plain =
                printedSheets(fullPage, marginsPt, origin - QPoint(twips.x, twips.y), OffsetTenths{});
            QCOMPARE(plain.size(), sheets.size());
            for (std::size_t sheet = 0; sheet < sheets.size(); ++sheet) {
                QCOMPARE(sheets[sheet].size(), plain[sheet].size());
                for (std::size_t i = 0; i < plain[sheet].size(); ++i) {
                    const Blob& a = plain[sheet][i];
                    const Blob& b = sheets[sheet][i];
                    QVERIFY2(b.x == a.x + twips.x && b.y == a.y + twips.y && b.w == a.w && b.h == a.h,
                             qPrintable(QStringLiteral("sheet %1 mark %2: (%3,%4) against (%5,%6)")
                                            .arg(sheet + 1)
                                            .arg(i)
                                            .arg(b.x)
                                            .arg(b.y)
                                            .arg(a.x)
                                            .arg(a.y)));
                }
            }
        }

        // Every mark of the geometry is there, solid and of its size, and nothing else is.
        for (std::size_t sheet = 0; sheet < sheets.size(); ++sheet) {
            std::vector<MarkRect> expected;
            for (std::size_t i = sheet * 5; i < std::min(kEntries.size(), sheet * 5 + 5); ++i) {
                const auto marks = tw::printing::PrintEntry(tw::common::Game::Numbers3, static_cast<int>(i % 5) + 1,
                                                            kEntries[i], tw::common::BetType::Straight);
                expected.insert(expected.end(), marks.begin(), marks.end());
            }
            const std::vector<Blob>& found = sheets[sheet];
            QVERIFY2(found.size() == expected.size(), qPrintable(describe(found)));
            for (const MarkRect& m : expected) {
                const Blob* b = blobAt(found, m.x, m.y, origin);
                QVERIFY2(b, qPrintable(QStringLiteral("sheet %1: no mark at (%2,%3); found %4")
                                           .arg(sheet + 1)
                                           .arg(m.x)
                                           .arg(m.y)
                                           .arg(describe(found))));
                QVERIFY(near(b->w, 227) && near(b->h, 57));
                QCOMPARE(b->pixels, b->w * b->h);
            }
        }

        // The Straight bet 905 in block 1: 9 at the left edge, 0 at the right, 5 in between, code 1.
        const std::vector<Blob>& first = sheets[0];
        QVERIFY(blobAt(first, 0, 2183, origin));
        QVERIFY(blobAt(first, 3166, 2183 + 199, origin));
        QVERIFY(blobAt(first, 1407, 2183 + 398, origin));
        QVERIFY(blobAt(first, 2814, 2183 + 597, origin));
        // The sixth bet starts the second sheet in block 1.
        const std::vector<Blob>& second = sheets[1];
        const int top =
            std::min_element(second.begin(), second.end(), [](const Blob& a, const Blob& b) { return a.y < b.y; })->y -
            origin.y();
        QVERIFY2(near(top, 2183), qPrintable(QString::number(top)));
    }
};

QTEST_MAIN(TestPrintPdf)
#include "test_print_pdf.moc"
