#include "printing/gui/current_printer.h"

#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace tw::printing {

namespace {

// What a choice in the printer dialog changes and later jobs must keep.
struct PrinterChoice {
    QString printerName;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString outputFile;
    QPageLayout pageLayout;
    int copies = 1;
};

QString& pdfFolder() {
    static QString folder;
    return folder;
}

std::optional<PrinterChoice>& chosen() {
    static std::optional<PrinterChoice> choice;
    return choice;
}

} // namespace

void setPdfFolder(const QString& folder) {
    pdfFolder() = folder;
}

void applyCurrentPrinter(QPrinter& printer) {
    if (const std::optional<PrinterChoice>& choice = chosen()) {
        if (choice->format == QPrinter::PdfFormat) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(choice->outputFile);
        } else {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(choice->printerName);
        }
        printer.setPageLayout(choice->pageLayout);
        printer.setCopyCount(choice->copies);
        return;
    }
    if (!printer.printerName().isEmpty() || !QPrinterInfo::availablePrinters().isEmpty())
        return;
    // Nothing to print on: the PDF printer, its file in the working folder.
    const QString folder = pdfFolder().isEmpty() ? QDir::currentPath() : pdfFolder();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir(folder).filePath(QString::fromLatin1(kPdfFileName)));
}

void rememberCurrentPrinter(const QPrinter& printer) {
    PrinterChoice choice;
    choice.printerName = printer.printerName();
    choice.format = printer.outputFormat();
    choice.outputFile = printer.outputFileName();
    choice.pageLayout = printer.pageLayout();
    choice.copies = printer.copyCount();
    chosen() = choice;
}

void forgetCurrentPrinter() {
    chosen().reset();
}

} // namespace tw::printing
