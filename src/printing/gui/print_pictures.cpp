#include "printing/gui/print_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tw::printing {

namespace {
const QColor kBody(96, 104, 120);
const QColor kSlot(40, 40, 48);
const QColor kSheet(255, 255, 250);
const QColor kSheetInk(230, 80, 120); // the pink print of the real sheet

// The outline of a mark sheet with its rows of boxes, seen from above.
void drawSheet(QPainter& p, const QRectF& r, int rows) {
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(kSheet);
    p.drawRect(r);
    p.setPen(QPen(kSheetInk, 1));
    p.setBrush(Qt::NoBrush);
    const double boxW = r.width() / 14.0;
    const double boxH = std::max(2.0, r.height() / (rows * 3.0));
    for (int row = 0; row < rows; ++row) {
        const double y = r.top() + r.height() * 0.18 + row * boxH * 2.2;
        if (y + boxH > r.bottom() - 2)
            break;
        for (int col = 0; col < 10; ++col)
            p.drawRect(QRectF(r.left() + boxW * (1.5 + col * 1.15), y, boxW * 0.8, boxH));
    }
    // The black timing mark in the top-left corner tells which end is the top.
    p.fillRect(QRectF(r.left() + 3, r.top() + 3, boxW, boxW * 0.6), Qt::black);
}
} // namespace

QPixmap feedPicture() {
    QPixmap pixmap(150, 120);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // The printer's paper slot across the top.
    p.setPen(Qt::NoPen);
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF(10, 4, 130, 22), 5, 5);
    p.setBrush(kSlot);
    p.drawRect(QRectF(30, 20, 90, 5));

    drawSheet(p, QRectF(45, 52, 60, 62), 6);

    // Arrow: the sheet goes in top edge first.
    p.setPen(QPen(QColor(0, 120, 215), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(75, 48), QPointF(75, 32));
    QPainterPath head;
    head.moveTo(75, 27);
    head.lineTo(67, 37);
    head.lineTo(83, 37);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 120, 215));
    p.drawPath(head);
    return pixmap;
}

QPixmap printerFrame(int frame) {
    QPixmap pixmap(96, 80);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // The sheet comes out of the front, a step further each frame.
    const double out = 6.0 + 5.0 * (frame % kAnimationFrames);
    drawSheet(p, QRectF(28, 44 - 4, 40, out + 4), 3);

    p.setPen(Qt::NoPen);
    p.setBrush(kBody);
    p.drawRoundedRect(QRectF(8, 8, 80, 34), 6, 6);
    p.setBrush(kSlot);
    p.drawRect(QRectF(22, 36, 52, 4));
    // The lamp blinks on every other frame.
    p.setBrush(frame % 2 == 0 ? QColor(60, 220, 90) : QColor(30, 80, 40));
    p.drawEllipse(QPointF(76, 18), 4, 4);
    // Sheets still waiting on top.
    p.setBrush(kSheet);
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawRect(QRectF(30, 2, 36, 7));
    return pixmap;
}

} // namespace tw::printing
