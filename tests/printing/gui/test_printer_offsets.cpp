// Print offsets per printer: stored in an INI file and found again by a new
// store on the same file, as after a restart of the program.
#include "printing/gui/printer_offsets.h"

#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using tw::printing::OffsetTenths;
using tw::printing::PrinterOffsets;

Q_DECLARE_METATYPE(OffsetTenths)

class TestPrinterOffsets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offsetsKeptPerPrinterAcrossARestart_data() {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<OffsetTenths>("set");
        QTest::addColumn<OffsetTenths>("kept");
        QTest::newRow("plain name") << QStringLiteral("EPSON PX-105") << OffsetTenths{12, -5} << OffsetTenths{12, -5};
        QTest::newRow("Qt's PDF printer") << QStringLiteral("PDF") << OffsetTenths{-3, 0} << OffsetTenths{-3, 0};
        QTest::newRow("network name with slashes")
            << QStringLiteral("\\\\事務所\\キヤノン/2F=共有") << OffsetTenths{0, 37} << OffsetTenths{0, 37};
        QTest::newRow("at the limits") << QStringLiteral("Brother") << OffsetTenths{150, -150}
                                       << OffsetTenths{150, -150};
        QTest::newRow("beyond the limits")
            << QStringLiteral("Canon") << OffsetTenths{151, -4000} << OffsetTenths{150, -150};
    }
    void offsetsKeptPerPrinterAcrossARestart() {
        QFETCH(QString, printer);
        QFETCH(OffsetTenths, set);
        QFETCH(OffsetTenths, kept);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString ini = dir.filePath(QStringLiteral("offsets.ini"));
        {
            PrinterOffsets offsets(ini);
            QCOMPARE(offsets.offsetOf(printer), OffsetTenths{});
            offsets.setOffset(printer, set);
            offsets.setOffset(QStringLiteral("other"), {1, 1});
            QCOMPARE(offsets.offsetOf(printer), kept);
        }
        // A new session reads the same file.
        PrinterOffsets restarted(ini);
        QCOMPARE(restarted.offsetOf(printer), kept);
        QCOMPARE(restarted.offsetOf(QStringLiteral("other")), (OffsetTenths{1, 1}));
        QCOMPARE(restarted.offsetOf(printer + QStringLiteral(" 2")), OffsetTenths{});
        // The file is an INI file QSettings itself reads, one group of offsets.
        QSettings raw(ini, QSettings::IniFormat);
        QCOMPARE(raw.childGroups(), QStringList{QStringLiteral("printOffsets")});

        // Without a file the offsets live in memory only.
        PrinterOffsets memory;
        memory.setOffset(printer, set);
        QCOMPARE(memory.offsetOf(printer), kept);
        QVERIFY(memory.fileName().isEmpty());
    }

    void keyOfThePrinter() {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("a.pdf"));
        QCOMPARE(tw::printing::offsetKeyOf(printer), QStringLiteral("PDF"));
        // Twips from tenths: the conversion of the geometry, per axis.
        QCOMPARE(tw::printing::sheetOffsetOf({-23, 150}), (tw::printing::SheetOffset{-130, 850}));
    }
};

QTEST_MAIN(TestPrinterOffsets)
#include "test_printer_offsets.moc"
