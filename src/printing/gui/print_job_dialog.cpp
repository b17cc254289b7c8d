#include "printing/gui/print_job_dialog.h"

#include "printing/gui/current_printer.h"
#include "printing/gui/painter_page_sink.h"
#include "printing/gui/print_offset_dialog.h"
#include "printing/gui/print_pictures.h"
#include "printing/gui/print_preview_dialog.h"
#include "printing/mark_sheet.h"
#include "ui/message_box.h"
#include "ui/widgets.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace tw::printing {

namespace {
// What the printer line shows: the printer's name, the PDF file a print-to-file
// choice writes, or a plain note that there is nothing to print on.
QString printerCaption(const QPrinter& printer) {
    if (!printer.printerName().isEmpty())
        return printer.printerName();
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return QStringLiteral("PDF ファイル: %1").arg(QFileInfo(printer.outputFileName()).fileName());
    return QStringLiteral("（使用できるプリンタがありません）");
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    QPushButton* b = ui::namedButton(parent, QString::fromLatin1(name), text);
    b->setMinimumHeight(32);
    return b;
}
} // namespace

PrintJobDialog::PrintJobDialog(Request request, QWidget* parent) : QDialog(parent), m_request(std::move(request)) {
    setObjectName(QStringLiteral("dlgPrintExec"));
    setWindowTitle(QStringLiteral("【印刷前確認】"));
    buildControls();
    tmPrint.setObjectName(QStringLiteral("tmPrint"));
    tmPrint.setSingleShot(true);
    connect(&tmPrint, &QTimer::timeout, this, &PrintJobDialog::tmPrint_Timer);

    lblPaperNum->setText(QString::number(sheetsNeeded(static_cast<int>(m_request.entries.size()))));
    applyCurrentPrinter(m_printer);
    refreshPrinterName();
}

PrintJobDialog::~PrintJobDialog() = default;

void PrintJobDialog::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(feedPicture());
    Picture1->setToolTip(QStringLiteral("マークシートは印刷面を上に、上端から差し込みます"));
    top->addWidget(Picture1);

    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(QStringLiteral("必要用紙枚数"), this), 0, 0);
    lblPaperNum = new QLabel(this);
    lblPaperNum->setObjectName(QStringLiteral("lblPaperNum"));
    lblPaperNum->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPaperNum->setMinimumWidth(40);
    facts->addWidget(lblPaperNum, 0, 1);
    facts->addWidget(new QLabel(QStringLiteral("枚"), this), 0, 2);
    facts->addWidget(new QLabel(QStringLiteral("現在のプリンタ"), this), 1, 0);
    lblPrinterName = new QLabel(this);
    lblPrinterName->setObjectName(QStringLiteral("lblPrinterName"));
    lblPrinterName->setFrameShape(QFrame::StyledPanel);
    lblPrinterName->setMinimumWidth(220);
    facts->addWidget(lblPrinterName, 1, 1, 1, 2);
    facts->addWidget(new QLabel(QStringLiteral("印刷位置の補正"), this), 3, 0);
    lblPrintOffset = new QLabel(this);
    lblPrintOffset->setObjectName(QStringLiteral("lblPrintOffset"));
    facts->addWidget(lblPrintOffset, 3, 1, 1, 2);

    // The seven animation frames share one place; one of them shows while printing.
    auto* frames = new QGridLayout;
    for (int i = 0; i < kAnimationFrames; ++i) {
        auto* frame = new QLabel(this);
        frame->setObjectName(QStringLiteral("picDisp_%1").arg(i));
        frame->setPixmap(printerFrame(i));
        frame->hide();
        frames->addWidget(frame, 0, 0, Qt::AlignCenter);
        picDisp[static_cast<std::size_t>(i)] = frame;
    }
    auto* frameArea = new QWidget(this);
    frameArea->setFixedSize(printerFrame(0).size());
    frameArea->setLayout(frames);
    facts->addWidget(frameArea, 2, 0, 1, 3, Qt::AlignCenter);
    top->addLayout(facts, 1);
    layout->addLayout(top);

    barPrint = new QProgressBar(this);
    barPrint->setObjectName(QStringLiteral("barPrint"));
    barPrint->setRange(0, 100);
    barPrint->setValue(0);
    layout->addWidget(barPrint);

    auto* buttons = new QHBoxLayout;
    cmdPrinterSelect = button(this, "cmdPrinterSelect", QStringLiteral("プリンタ変更"));
    cmdPrinterSelect->setToolTip(QStringLiteral("プリンタ変更"));
    cmdPrintOffset = button(this, "cmdPrintOffset", QStringLiteral("印刷位置の調整"));
    cmdPrtPreview = button(this, "cmdPrtPreview", QStringLiteral("印刷プレビュー"));
    cmdPrtGo = button(this, "cmdPrtGo", QStringLiteral("印刷"));
    cmdCancel = button(this, "cmdCancel", QStringLiteral("キャンセル"));
    cmdPrtGo->setDefault(true);
    buttons->addWidget(cmdPrinterSelect);
    buttons->addWidget(cmdPrintOffset);
    buttons->addStretch();
    buttons->addWidget(cmdPrtPreview);
    buttons->addWidget(cmdPrtGo);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(cmdPrinterSelect, &QPushButton::clicked, this, &PrintJobDialog::cmdPrinterSelect_Click);
    connect(cmdPrtGo, &QPushButton::clicked, this, &PrintJobDialog::cmdPrtGo_Click);
    connect(cmdPrintOffset, &QPushButton::clicked, this, &PrintJobDialog::cmdPrintOffset_Click);
    connect(cmdPrtPreview, &QPushButton::clicked, this, &PrintJobDialog::cmdPrtPreview_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &PrintJobDialog::cmdCancel_Click);
}

PrinterOffsets& PrintJobDialog::offsetStore() const {
    return m_offsets ? *m_offsets : sessionOffsets();
}

SheetOffset PrintJobDialog::sheetOffset() const {
    return sheetOffsetOf(offsetStore().offsetOf(offsetKeyOf(m_printer)));
}

void PrintJobDialog::refreshPrinterName() {
    lblPrinterName->setText(printerCaption(m_printer));
    const OffsetTenths offset = offsetStore().offsetOf(offsetKeyOf(m_printer));
    lblPrintOffset->setText(
        offset == OffsetTenths{}
            ? QStringLiteral("なし")
            : QStringLiteral("横 %1・縦 %2").arg(offsetText(offset.x, true), offsetText(offset.y, false)));
}

std::unique_ptr<PrintOffsetDialog> PrintJobDialog::makeOffsetDialog() {
    auto dialog =
        std::make_unique<PrintOffsetDialog>(m_printer, printerCaption(m_printer), m_request.game, offsetStore(), this);
    connect(dialog.get(), &PrintOffsetDialog::offsetChanged, this, &PrintJobDialog::refreshPrinterName);
    return dialog;
}

std::unique_ptr<PrintPreviewDialog> PrintJobDialog::makePreview() {
    const SheetOffset offset = sheetOffset();
    return std::make_unique<PrintPreviewDialog>(
        jobPages(m_request.game, m_request.printType, m_request.entries, offset), m_request.game, offset,
        printerCaption(m_printer), this);
}

void PrintJobDialog::cmdPrintOffset_Click() {
    if (m_blnLoopBusy)
        return;
    makeOffsetDialog()->exec();
    refreshPrinterName();
}

void PrintJobDialog::cmdPrtPreview_Click() {
    if (m_blnLoopBusy)
        return;
    makePreview()->exec();
}

void PrintJobDialog::cmdPrinterSelect_Click() {
    if (m_blnLoopBusy)
        return;
    QPrintDialog dialog(&m_printer, this);
    // The accepted choice is the session's current printer, for this job and the next ones.
    if (dialog.exec() == QDialog::Accepted)
        rememberCurrentPrinter(m_printer);
    refreshPrinterName();
}

void PrintJobDialog::cmdPrtGo_Click() {
    if (m_blnLoopBusy)
        return;
    m_job.emplace(m_request.game, m_request.printType, m_request.entries, sheetOffset());
    if (!m_job->start())
        return;
    barPrint->setValue(0);
    m_printerSink.reset();
    if (!m_output)
        m_printerSink = std::make_unique<PainterPageSink>(m_printer);
    m_printState = PrintState::Printing;
    m_blnLoopBusy = true;
    cmdPrinterSelect->hide();
    cmdPrintOffset->hide();
    cmdPrtPreview->hide();
    cmdPrtGo->hide();
    showFrame(1);
    tmPrint.start(m_timings.intEntryMs);
}

void PrintJobDialog::tmPrint_Timer() {
    if (!m_job || !m_job->busy())
        return;
    PageSink& sink = m_output ? *m_output : *m_printerSink;
    const StepReport report = m_job->step(sink);

    if (!m_output && m_printerSink->failed()) {
        // The printer would not start the document: end the job without showing
        // progress; the dialog stays open for another printer unless the user
        // has already asked to close it.
        if (m_job->busy()) {
            m_job->requestCancel();
            m_job->step(sink);
        }
        endJob();
        ui::showMessage(this, QStringLiteral("プリンタに出力できませんでした。\r現在のプリンタを確認してください。"),
                        ui::Buttons::Ok, QStringLiteral("【印刷エラー】"));
    } else {
        switch (report.event) {
        case PrintEvent::Idle:
            return;
        case PrintEvent::EntryPrinted:
            tmPrint.start(m_timings.intEntryMs);
            return;
        case PrintEvent::SheetFinished:
            progressStep(report);
            tmPrint.start(m_timings.intSheetPauseMs);
            return;
        case PrintEvent::JobFinished:
            progressStep(report);
            Q_EMIT entriesPrinted(report.entriesPrinted);
            endJob();
            break;
        case PrintEvent::Cancelled:
            if (report.entriesPrinted > 0)
                Q_EMIT entriesPrinted(report.entriesPrinted);
            endJob();
            break;
        }
    }

    if (m_blnCloseAfterJob) {
        m_blnCloseAfterJob = false;
        QDialog::reject();
    }
}

void PrintJobDialog::progressStep(const StepReport& report) {
    barPrint->setValue(report.progressPercent);
    showFrame(m_intFrame % kAnimationFrames + 1);
    lblPaperNum->setText(QString::number(report.sheetsRemaining));
    Q_EMIT progressStepped();
}

void PrintJobDialog::showFrame(int frame) {
    if (m_intFrame > 0)
        picDisp[static_cast<std::size_t>(m_intFrame - 1)]->hide();
    m_intFrame = frame;
    if (m_intFrame > 0)
        picDisp[static_cast<std::size_t>(m_intFrame - 1)]->show();
}

void PrintJobDialog::endJob() {
    m_printState = PrintState::Idle;
    m_blnLoopBusy = false;
    showFrame(0);
    cmdPrinterSelect->show();
    cmdPrintOffset->show();
    cmdPrtPreview->show();
    cmdPrtGo->show();
    Q_EMIT jobEnded();
}

void PrintJobDialog::cmdCancel_Click() {
    if (m_blnLoopBusy) {
        // The loop ends the document after the entry in hand; the dialog closes then.
        if (m_job->requestCancel())
            m_printState = PrintState::CancelRequested;
        m_blnCloseAfterJob = true;
        // Nothing else is left to wait for, not even the pause before the next sheet.
        tmPrint.start(0);
        return;
    }
    QDialog::reject();
}

void PrintJobDialog::reject() {
    cmdCancel_Click();
}

} // namespace tw::printing
