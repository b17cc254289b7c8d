// The print offsets of each printer, kept in a QSettings INI file so that a
// calibration made once holds for every later session on that printer. An
// offset is stored as whole tenths of a millimetre per axis (what the user
// types), and turned into twips only when a job is made, so nothing is lost to
// rounding between sessions. Printer names may hold any character; they are
// percent-encoded into the key so that a "/" or "\" in a name does not open a
// settings group.
//
// The session's file is set once by the program at start-up; until then (and
// in tests that do not set one) offsets live in memory only and every printer
// starts at zero, so nothing touches the user's settings.
#pragma once

#include "printing/mark_sheet.h"

#include <QHash>
#include <QString>

#include <memory>

class QPrinter;
class QSettings;

namespace tw::printing {

// A printer's offset in tenths of a millimetre, each axis within +-150.
struct OffsetTenths {
    int x = 0; // to the right
    int y = 0; // downwards
    bool operator==(const OffsetTenths&) const = default;
};

// The offset in twips as the geometry takes it.
SheetOffset sheetOffsetOf(OffsetTenths tenths);

// The name a printer's offsets are kept under: its device name, or "PDF" for
// Qt's PDF printer, whatever file it writes.
QString offsetKeyOf(const QPrinter& printer);

class PrinterOffsets {
public:
    // Offsets read from and written to this INI file; an empty name keeps them in memory.
    explicit PrinterOffsets(const QString& iniFile = {});
    ~PrinterOffsets();
    PrinterOffsets(const PrinterOffsets&) = delete;
    PrinterOffsets& operator=(const PrinterOffsets&) = delete;

    // Zero for a printer never calibrated.
    OffsetTenths offsetOf(const QString& printer) const;
    // Stores the offset (held within +-15 mm) and writes it to the file at once.
    void setOffset(const QString& printer, OffsetTenths offset);

    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
    QHash<QString, OffsetTenths> m_memory;
};

// The file the session keeps its offsets in (empty: in memory only).
void setOffsetSettingsFile(const QString& iniFile);
// The session's offsets, on the file last set.
PrinterOffsets& sessionOffsets();

} // namespace tw::printing
