// The print preview 「印刷プレビュー」: the sheets of a print job as the printer
// will get them, one sheet at a time with page navigation. The pages are those
// the print job itself draws (same geometry, same printer offset), and each is
// drawn through the printer's page sink onto the screen, over a light outline
// of every mark box of the sheet, so the user sees which box each mark fills.
// The outline moves with the printer offset: on a calibrated printer the boxes
// of the fed sheet lie where the moved marks go.
//
// Takes the pages, the game and the offset in; shows them; hands nothing out.
#pragma once

#include "printing/mark_sheet.h"
#include "printing/print_job.h"

#include <QDialog>
#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;

namespace tw::printing {

class PrintPreviewDialog;

// The sheet on the screen: white paper of the sheet's printed area in twips,
// scaled to the widget.
class PreviewPage : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPage(PrintPreviewDialog& preview, QWidget* parent = nullptr);
    QSize sizeHint() const override;

    // The twips area shown, from the printable area's top-left corner.
    static constexpr int kAreaWidth = 4400;
    static constexpr int kAreaHeight = 8800;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PrintPreviewDialog& m_preview;
};

class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    PrintPreviewDialog(std::vector<std::vector<MarkRect>> pages, common::Game game, SheetOffset offset,
                       const QString& printerCaption, QWidget* parent = nullptr);

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int currentPage() const { return m_page; } // 0-based
    void showPage(int page);

    // Draws the marks of one sheet onto a sink: what the page widget paints.
    void paintPage(int page, PageSink& sink) const;
    // The light outline of the mark boxes under the marks.
    const std::vector<MarkRect>& markAreas() const { return m_areas; }

    void cmdPrevPage_Click() { showPage(m_page - 1); }
    void cmdNextPage_Click() { showPage(m_page + 1); }

private:
    std::vector<std::vector<MarkRect>> m_pages;
    std::vector<MarkRect> m_areas;
    int m_page = 0;

    PreviewPage* picPreviewPage = nullptr;
    QLabel* lblPreviewPage = nullptr;
    QPushButton* cmdPrevPage = nullptr;
    QPushButton* cmdNextPage = nullptr;
    QPushButton* cmdPreviewClose = nullptr;
};

} // namespace tw::printing
