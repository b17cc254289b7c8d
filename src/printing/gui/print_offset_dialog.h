// The print offset dialog 「印刷位置の調整」, opened from the print dialog: it
// shows the printer the offsets belong to and its current offsets, prints the
// calibration sheet (crosshairs over three known marks and millimetre scales)
// with the offsets in force, and takes the correction in millimetres, 0.1 mm at
// a time. A change takes effect at once: it is written to the printer offsets
// store and every later print on that printer, the calibration sheet included,
// is moved by it.
//
// The caller passes the printer (which the calibration sheet is printed on), the
// game whose sheet is printed and the store in; offset() hands the result out.
// Tests may send the calibration sheet to a page sink instead of the printer.
#pragma once

#include "common/lottery.h"
#include "printing/gui/printer_offsets.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QPushButton;

namespace tw::printing {

class PageSink;

class PrintOffsetDialog : public QDialog {
    Q_OBJECT
public:
    PrintOffsetDialog(QPrinter& printer, const QString& printerCaption, common::Game game, PrinterOffsets& offsets,
                      QWidget* parent = nullptr);

    // The calibration sheet goes to this sink instead of the printer (not owned).
    void setOutput(PageSink* sink) { m_output = sink; }

    OffsetTenths offset() const { return m_offset; }

    // Handlers, public so that tests can drive the dialog.
    void cmdTestPrint_Click();
    void cmdOffsetReset_Click();

Q_SIGNALS:
    // The offsets were changed and stored.
    void offsetChanged(tw::printing::OffsetTenths offset);

private:
    void spinChanged();
    void showOffset();

    QPrinter& m_printer;
    QString m_key;
    common::Game m_game;
    PrinterOffsets& m_offsets;
    PageSink* m_output = nullptr;
    OffsetTenths m_offset;

    QLabel* lblOffsetPrinter = nullptr;
    QLabel* lblOffsetNow = nullptr;
    QDoubleSpinBox* spnOffsetX = nullptr;
    QDoubleSpinBox* spnOffsetY = nullptr;
    QPushButton* cmdTestPrint = nullptr;
    QPushButton* cmdOffsetReset = nullptr;
    QPushButton* cmdOffsetClose = nullptr;
};

// "右へ 1.2 mm" / "左へ 0.5 mm" / "0.0 mm": a tenths offset in words for the given axis.
QString offsetText(int tenths, bool across);

} // namespace tw::printing
