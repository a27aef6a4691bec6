#include "toolbar/DragCursors.h"

#include <QBitmap>
#include <QPainter>
#include <QPolygon>

namespace tarnwick {

namespace {

constexpr int kSize = 32;
constexpr QPoint kHotSpot(4, 2);

// Paints the arrow and a small button below it on both the picture and its mask: black
// outline strokes with a white body, so the cursor shows on light and dark ground alike.
QCursor MakeCursor(bool withCross) {
    QBitmap picture(kSize, kSize);  // set bits are black
    QBitmap mask(kSize, kSize);     // set bits are opaque
    picture.fill(Qt::color0);
    mask.fill(Qt::color0);
    const QPolygon arrow({QPoint(4, 2), QPoint(4, 18), QPoint(8, 14), QPoint(11, 20),
                          QPoint(13, 19), QPoint(10, 13), QPoint(15, 13)});
    const QRect button(12, 20, 12, 9);
    {
        QPainter maskPainter(&mask);
        maskPainter.setPen(QPen(Qt::color1, 3));
        maskPainter.setBrush(Qt::color1);
        maskPainter.drawPolygon(arrow);
        maskPainter.drawRect(button);
    }
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::color1, 1));
    painter.setBrush(Qt::color0);
    painter.drawPolygon(arrow);
    painter.drawRect(button);
    if (withCross) {
        painter.setPen(QPen(Qt::color1, 2));
        painter.drawLine(button.left() + 3, button.top() + 2, button.right() - 2,
                         button.bottom() - 1);
        painter.drawLine(button.right() - 2, button.top() + 2, button.left() + 3,
                         button.bottom() - 1);
    }
    painter.end();
    return QCursor(picture, mask, kHotSpot.x(), kHotSpot.y());
}

}  // namespace

QCursor DropCursor() {
    return MakeCursor(false);
}

QCursor RemoveCursor() {
    return MakeCursor(true);
}

}  // namespace tarnwick
