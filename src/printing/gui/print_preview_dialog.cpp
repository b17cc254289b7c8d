#include "printing/gui/print_preview_dialog.h"

#include "printing/gui/painter_page_sink.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tw::printing {

namespace {
const QColor kAreaColour(190, 190, 190);

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    return b;
}
} // namespace

PreviewPage::PreviewPage(PrintPreviewDialog& preview, QWidget* parent) : QWidget(parent), m_preview(preview) {
    setObjectName(QStringLiteral("picPreviewPage"));
    setMinimumSize(220, 440);
}

QSize PreviewPage::sizeHint() const {
    return {400, 800};
}

void PreviewPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // The sheet keeps its proportions, centred in the widget.
    const double scale =
        std::min(width() / static_cast<double>(kAreaWidth), height() / static_cast<double>(kAreaHeight));
    const double left = (width() - kAreaWidth * scale) / 2.0;
    const double top = (height() - kAreaHeight * scale) / 2.0;
    painter.translate(left, top);
    painter.scale(scale, scale);
    painter.fillRect(QRect(0, 0, kAreaWidth, kAreaHeight), Qt::white);

    QPen outline(kAreaColour);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    for (const MarkRect& a : m_preview.markAreas())
        painter.drawRect(QRect(a.x, a.y, a.w, a.h));
    painter.drawRect(QRect(0, 0, kAreaWidth, kAreaHeight));

    PainterPageSink sink(painter);
    m_preview.paintPage(m_preview.currentPage(), sink);
}

PrintPreviewDialog::PrintPreviewDialog(std::vector<std::vector<MarkRect>> pages, common::Game game, SheetOffset offset,
                                       const QString& printerCaption, QWidget* parent)
    : QDialog(parent), m_pages(std::move(pages)), m_areas(sheetMarkAreas(game, offset)) {
    setObjectName(QStringLiteral("dlgPrintPreview"));
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    if (m_pages.empty())
        m_pages.emplace_back();

    auto* layout = new QVBoxLayout(this);
    auto* printer = new QLabel(QStringLiteral("プリンタ: %1").arg(printerCaption), this);
    printer->setObjectName(QStringLiteral("lblPreviewPrinter"));
    layout->addWidget(printer);
    auto* legend = new QLabel(QStringLiteral("灰色の枠はマーク欄、黒はこの用紙に印刷されるマークです。"), this);
    legend->setObjectName(QStringLiteral("lblPreviewLegend"));
    layout->addWidget(legend);

    picPreviewPage = new PreviewPage(*this, this);
    layout->addWidget(picPreviewPage, 1);

    auto* buttons = new QHBoxLayout;
    cmdPrevPage = button(this, "cmdPrevPage", QStringLiteral("◀ 前の用紙"));
    lblPreviewPage = new QLabel(this);
    lblPreviewPage->setObjectName(QStringLiteral("lblPreviewPage"));
    lblPreviewPage->setAlignment(Qt::AlignCenter);
    lblPreviewPage->setMinimumWidth(120);
    cmdNextPage = button(this, "cmdNextPage", QStringLiteral("次の用紙 ▶"));
    cmdPreviewClose = button(this, "cmdPreviewClose", QStringLiteral("閉じる"));
    buttons->addWidget(cmdPrevPage);
    buttons->addWidget(lblPreviewPage);
    buttons->addWidget(cmdNextPage);
    buttons->addStretch();
    buttons->addWidget(cmdPreviewClose);
    layout->addLayout(buttons);

    connect(cmdPrevPage, &QPushButton::clicked, this, &PrintPreviewDialog::cmdPrevPage_Click);
    connect(cmdNextPage, &QPushButton::clicked, this, &PrintPreviewDialog::cmdNextPage_Click);
    connect(cmdPreviewClose, &QPushButton::clicked, this, &QDialog::accept);
    showPage(0);
}

void PrintPreviewDialog::showPage(int page) {
    m_page = std::clamp(page, 0, pageCount() - 1);
    lblPreviewPage->setText(QStringLiteral("%1 / %2 枚目").arg(m_page + 1).arg(pageCount()));
    cmdPrevPage->setEnabled(m_page > 0);
    cmdNextPage->setEnabled(m_page + 1 < pageCount());
    picPreviewPage->update();
}

void PrintPreviewDialog::paintPage(int page, PageSink& sink) const {
    if (page < 0 || page >= pageCount())
        return;
    for (const MarkRect& m : m_pages[static_cast<std::size_t>(page)])
        sink.drawRect(m.x, m.y, m.w, m.h);
}

} // namespace tw::printing
