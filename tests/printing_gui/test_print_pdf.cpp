// A real print: the dialog prints six Numbers3 Straight bets through QPrinter to
// a PDF file, pdftoppm (poppler-utils) rasterizes both sheets at 1440 dpi, so
// one pixel is one twip, and the dark rectangles found in the image must be the
// marks of the sheet geometry, offset by where the printer puts its origin.
#include "printing/gui/dlg_print_exec.h"
#include "printing/mark_sheet.h"
#include "ui/message_box.h"

#include "pgm_marks.h"
#include "printing/entry_numbers.h"

#include <QDir>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using tw::printing::DlgPrintExec;
using tw::printing::MarkRect;
using tw::testing::Blob;

namespace {
const std::vector<tw::common::LotteryNumber> kEntries =
    tw::testing::entryNumbers(tw::common::Game::Numbers3, {"905", "123", "456", "789", "012", "345"});
constexpr int kTolerance = 2; // twips
constexpr int kCropWidth = 3600;
constexpr int kCropHeight = 7800; // below block 5's bet-type row

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

class TestPrintPdf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { tw::ui::MessageHook::enable(); }
    void cleanupTestCase() { tw::ui::MessageHook::disable(); }

    void marksOnTheSheets_data() {
        QTest::addColumn<bool>("fullPage");
        QTest::addColumn<QMarginsF>("marginsPt");
        QTest::addColumn<QPoint>("origin"); // twips from the paper corner
        QTest::newRow("origin at the paper corner") << true << QMarginsF() << QPoint(0, 0);
        // Without full page the origin is the printable area's corner: 36 pt = 720 twips, 54 pt = 1080.
        QTest::newRow("origin at the printable area") << false << QMarginsF(36, 54, 36, 36) << QPoint(720, 1080);
    }
    void marksOnTheSheets() {
        QFETCH(bool, fullPage);
        QFETCH(QMarginsF, marginsPt);
        QFETCH(QPoint, origin);

        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QFAIL("pdftoppm not found: install poppler-utils (scripts/deps.sh does)");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));

        DlgPrintExec dialog(kEntries);
        dialog.pubStrMark = tw::common::BetType::Straight;
        dialog.pubGame = tw::common::Game::Numbers3;
        dialog.setTimings({0, 0});
        QPrinter& printer = dialog.printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setFullPage(fullPage);
        if (!fullPage)
            QVERIFY(printer.setPageMargins(marginsPt, QPageLayout::Point));
        dialog.show();

        QSignalSpy ended(&dialog, &DlgPrintExec::jobEnded);
        dialog.cmdPrtGo_Click();
        QVERIFY(ended.wait(10000));
        QVERIFY(tw::ui::MessageHook::shownTexts().isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);

        // One pixel per twip; the crop keeps the images small and starts at the paper corner.
        const QString prefix = dir.filePath(QStringLiteral("sheet"));
        QProcess raster;
        raster.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("1440"), QStringLiteral("-gray"),
                                QStringLiteral("-x"), QStringLiteral("0"), QStringLiteral("-y"), QStringLiteral("0"),
                                QStringLiteral("-W"), QString::number(kCropWidth + origin.x()), QStringLiteral("-H"),
                                QString::number(kCropHeight + origin.y()), pdf, prefix});
        QVERIFY(raster.waitForFinished(60000));
        QCOMPARE(raster.exitCode(), 0);
        const QStringList images = QDir(dir.path()).entryList({QStringLiteral("sheet-*.pgm")}, QDir::Files, QDir::Name);
        QCOMPARE(images.size(), 2); // six bets: a full sheet and one bet on the second

        std::vector<std::vector<Blob>> sheets;
        for (const QString& name : images) {
            const auto image = tw::testing::readPgm(dir.filePath(name).toStdString());
            QVERIFY2(image, qPrintable(name));
            sheets.push_back(tw::testing::darkBlobs(*image));
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
