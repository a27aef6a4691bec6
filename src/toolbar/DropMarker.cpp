#include "toolbar/DropMarker.h"

#include <QPainter>

namespace tarnwick {

namespace {

constexpr int kThickness = 4;

}  // namespace

DropMarker::DropMarker(QWidget* bar) : QWidget(bar) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void DropMarker::ShowAt(const QRect& item, bool trailingEdge, Qt::Orientation orientation) {
    orientation_ = orientation;
    if (orientation == Qt::Horizontal) {
        const int edge = trailingEdge ? item.right() + 1 : item.left();
        setGeometry(edge - kThickness / 2, item.top(), kThickness, item.height());
    } else {
        const int edge = trailingEdge ? item.bottom() + 1 : item.top();
        setGeometry(item.left(), edge - kThickness / 2, item.width(), kThickness);
    }
    raise();
    show();
    update();
}

void DropMarker::paintEvent(QPaintEvent*) {
    // An I-beam: a two-pixel stem between two caps as wide as the marker.
    QPainter painter(this);
    const QRect area = rect();
    if (orientation_ == Qt::Horizontal) {
        painter.fillRect(QRect(area.left(), area.top(), area.width(), 2), Qt::black);
        painter.fillRect(QRect(area.left(), area.bottom() - 1, area.width(), 2), Qt::black);
        painter.fillRect(QRect(area.center().x(), area.top(), 2, area.height()), Qt::black);
    } else {
        painter.fillRect(QRect(area.left(), area.top(), 2, area.height()), Qt::black);
        painter.fillRect(QRect(area.right() - 1, area.top(), 2, area.height()), Qt::black);
        painter.fillRect(QRect(area.left(), area.center().y(), area.width(), 2), Qt::black);
    }
}

}  // namespace tarnwick
