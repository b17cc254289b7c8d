// The print dialog: shows how many sheets the picked bets need and on which
// printer they go, lets the user choose another printer, and prints the bets
// onto mark sheets one entry per timer tick, so the window keeps repainting and
// the cancel button can act. Between sheets it pauses so the printer can take
// the next sheet. A cancel is honoured after the entry being printed: the
// document is ended (what is drawn gets printed) and the dialog closes. After a
// finished job the dialog stays open and can print the same bets again.
//
// The caller hands the entries, the bet type and the game to the constructor
// as a Request. The output is the dialog's QPrinter unless a page sink is
// injected (tests use a recording sink, or set the printer to a PDF file).
//
// Beside the printer button, 印刷位置の調整 opens the print offset dialog for the
// current printer, and 印刷プレビュー shows the sheets as they will be printed.
// Every job and preview is moved by the current printer's offset, read from the
// offsets store (the session's unless one is injected) when it starts.
//
// Controls in numbered families carry the object name "<name>_<index>":
// picDisp_0 .. picDisp_6.
#pragma once

#include "common/lottery.h"
#include "printing/gui/printer_offsets.h"
#include "printing/print_job.h"

#include <QDialog>
#include <QPrinter>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tw::printing {

class PrintOffsetDialog;
class PrintPreviewDialog;
class PainterPageSink;

class PrintJobDialog : public QDialog {
    Q_OBJECT
public:
    // Timer intervals in milliseconds; tests shorten them.
    struct Timings {
        int intEntryMs = 0;        // between two entries on a sheet
        int intSheetPauseMs = 500; // after a full sheet, before the next one
    };
    enum class PrintState { Idle = 0, Printing = 1, CancelRequested = 2 };

    // What to print.
    struct Request {
        std::vector<common::LotteryNumber> entries;            // one bet per block
        common::BetType printType = common::BetType::Straight; // the bet type marked on every sheet
        common::Game game = common::Game::Numbers3;            // whose sheet: NUMBERS3 or NUMBERS4
    };

    explicit PrintJobDialog(Request request, QWidget* parent = nullptr);
    ~PrintJobDialog() override;

    const Request& request() const { return m_request; }

    void setTimings(const Timings& timings) { m_timings = timings; }
    // Draw onto this sink instead of the printer (not owned; null for the printer).
    void setOutput(PageSink* sink) { m_output = sink; }
    QPrinter& printer() { return m_printer; }
    // Keep the printer offsets in this store instead of the session's (not owned).
    void setOffsetStore(PrinterOffsets* offsets) { m_offsets = offsets; }
    PrinterOffsets& offsetStore() const;
    // The current printer's offset, as the next job and preview use it.
    SheetOffset sheetOffset() const;
    // Shows the current printer's name and offset again (after the caller changed the printer).
    void refreshPrinterName();

    // The dialogs the two buttons open, set up for the current printer and this
    // job; the slots run them modally, tests drive them directly.
    std::unique_ptr<PrintOffsetDialog> makeOffsetDialog();
    std::unique_ptr<PrintPreviewDialog> makePreview();

    const std::vector<common::LotteryNumber>& entries() const { return m_request.entries; }
    PrintState printState() const { return m_printState; }
    bool loopBusy() const { return m_blnLoopBusy; }
    int currentFrame() const { return m_intFrame; } // 1..7, 0 when no frame shows

    // Escape and the close box act as the cancel button.
    void reject() override;

Q_SIGNALS:
    // After every finished sheet and once at the end of a job, when the progress
    // bar, the animation and the sheet count have moved on.
    void progressStepped();
    // The job's document has been ended: finished, cancelled or failed.
    void jobEnded();
    // A finished or cancelled job put its first `count` entries on paper (a
    // cancel keeps the entries before it); a job the printer refused printed none.
    // Sent before jobEnded().
    void entriesPrinted(int count);

private Q_SLOTS:
    void cmdPrinterSelect_Click();
    void cmdPrtGo_Click();
    void cmdPrintOffset_Click();
    void cmdPrtPreview_Click();
    void cmdCancel_Click();
    void tmPrint_Timer();

private:
    void buildControls();
    void progressStep(const StepReport& report);
    void showFrame(int frame);
    void endJob();

    Request m_request;
    Timings m_timings;
    QPrinter m_printer{QPrinter::HighResolution};
    PageSink* m_output = nullptr;
    PrinterOffsets* m_offsets = nullptr;
    std::unique_ptr<PainterPageSink> m_printerSink;
    std::optional<PrintJob> m_job;
    PrintState m_printState = PrintState::Idle;
    bool m_blnLoopBusy = false;
    bool m_blnCloseAfterJob = false;
    int m_intFrame = 0;

    QLabel* lblPaperNum = nullptr;
    QLabel* lblPrinterName = nullptr;
    QPushButton* cmdPrinterSelect = nullptr;
    QPushButton* cmdPrtGo = nullptr;
    QPushButton* cmdPrintOffset = nullptr;
    QPushButton* cmdPrtPreview = nullptr;
    QLabel* lblPrintOffset = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Picture1 = nullptr;
    std::array<QLabel*, 7> picDisp{};
    QProgressBar* barPrint = nullptr;
    QTimer tmPrint{this};
};

} // namespace tw::printing
