#include "printing/gui/painter_page_sink.h"

#include <QPrinter>
#include <QRect>

namespace tw::printing {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

PainterPageSink::PainterPageSink(QPrinter& printer) : m_printer(&printer) {}

PainterPageSink::PainterPageSink(QPainter& painter) : m_target(&painter) {}

PainterPageSink::~PainterPageSink() {
    if (m_painter.isActive())
        m_painter.end();
}

bool PainterPageSink::open() {
    if (m_target)
        return m_target->isActive();
    if (m_painter.isActive())
        return true;
    if (m_failed || m_ended)
        return false;
    if (!m_painter.begin(m_printer)) {
        m_failed = true;
        return false;
    }
    // A plain scale of the device's own resolution keeps the origin exact; a
    // window/viewport mapping or a screen-resolution printer rounds it by a few twips.
    const double scale = m_printer->resolution() / kTwipsPerInch;
    m_painter.scale(scale, scale);
    return true;
}

void PainterPageSink::drawRect(int x, int y, int w, int h) {
    if (open())
        (m_target ? *m_target : m_painter).fillRect(QRect(x, y, w, h), Qt::black);
}

void PainterPageSink::newPage() {
    if (!m_target && open())
        m_printer->newPage();
}

void PainterPageSink::endDocument() {
    if (m_painter.isActive())
        m_painter.end();
    m_ended = true;
}

} // namespace tw::printing
