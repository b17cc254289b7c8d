#include "printing/gui/printer_offsets.h"

#include <QPrinter>
#include <QSettings>
#include <QUrl>

#include <algorithm>

namespace tw::printing {

namespace {
const QString kGroup = QStringLiteral("printOffsets");

int limited(int tenths) {
    return std::clamp(tenths, -kMaxOffsetTenthsMm, kMaxOffsetTenthsMm);
}

QString keyOf(const QString& printer) {
    return QString::fromLatin1(QUrl::toPercentEncoding(printer));
}

QString& sessionFile() {
    static QString file;
    return file;
}

std::unique_ptr<PrinterOffsets>& sessionStore() {
    static std::unique_ptr<PrinterOffsets> store;
    return store;
}
} // namespace

SheetOffset sheetOffsetOf(OffsetTenths tenths) {
    return {twipsFromTenthsMm(tenths.x), twipsFromTenthsMm(tenths.y)};
}

QString offsetKeyOf(const QPrinter& printer) {
    if (!printer.printerName().isEmpty())
        return printer.printerName();
    return printer.outputFormat() == QPrinter::PdfFormat ? QStringLiteral("PDF") : QString();
}

PrinterOffsets::PrinterOffsets(const QString& iniFile) {
    if (!iniFile.isEmpty())
        m_settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

PrinterOffsets::~PrinterOffsets() = default;

OffsetTenths PrinterOffsets::offsetOf(const QString& printer) const {
    if (!m_settings)
        return m_memory.value(printer);
    const QString key = kGroup + QLatin1Char('/') + keyOf(printer);
    return {limited(m_settings->value(key + QStringLiteral("/x"), 0).toInt()),
            limited(m_settings->value(key + QStringLiteral("/y"), 0).toInt())};
}

void PrinterOffsets::setOffset(const QString& printer, OffsetTenths offset) {
    const OffsetTenths kept{limited(offset.x), limited(offset.y)};
    if (!m_settings) {
        m_memory.insert(printer, kept);
        return;
    }
    const QString key = kGroup + QLatin1Char('/') + keyOf(printer);
    m_settings->setValue(key + QStringLiteral("/x"), kept.x);
    m_settings->setValue(key + QStringLiteral("/y"), kept.y);
    m_settings->sync();
}

QString PrinterOffsets::fileName() const {
    return m_settings ? m_settings->fileName() : QString();
}

void setOffsetSettingsFile(const QString& iniFile) {
    sessionFile() = iniFile;
    sessionStore().reset();
}

PrinterOffsets& sessionOffsets() {
    if (!sessionStore())
        sessionStore() = std::make_unique<PrinterOffsets>(sessionFile());
    return *sessionStore();
}

} // namespace tw::printing
