// The printer end of a print job: a page sink that fills the marks into a
// QPrinter through a QPainter scaled so that one unit is one twip, with the
// origin where the printer puts it (the printable area's top-left corner, or
// the paper corner when the printer is set to full page).
//
// The document opens with the first mark, so a job that draws nothing never
// feeds a blank sheet; a printer that cannot be opened leaves the sink failed and
// drawing does nothing. Knows nothing of the dialog that drives it.
//
// The print preview draws through the same sink onto a painter it has set up
// (one unit one twip, one page at a time): then the sink only fills, and page
// breaks and the end of the document are the preview's business.
#pragma once

#include "printing/print_job.h"

#include <QPainter>

class QPrinter;

namespace tw::printing {

class PainterPageSink : public PageSink {
public:
    explicit PainterPageSink(QPrinter& printer);
    // Fills onto a painter that is active and scaled to twips (not owned).
    explicit PainterPageSink(QPainter& painter);
    ~PainterPageSink() override;
    PainterPageSink(const PainterPageSink&) = delete;
    PainterPageSink& operator=(const PainterPageSink&) = delete;

    void drawRect(int x, int y, int w, int h) override;
    void newPage() override;
    void endDocument() override;

    // The printer refused to start the document (no printer, unwritable file).
    bool failed() const { return m_failed; }

private:
    bool open();

    QPrinter* m_printer = nullptr;
    QPainter* m_target = nullptr; // the preview's painter
    QPainter m_painter;
    bool m_failed = false;
    bool m_ended = false;
};

} // namespace tw::printing
