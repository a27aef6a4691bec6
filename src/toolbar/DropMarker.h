#pragma once

#include <QWidget>

namespace tarnwick {

// The black bracket that shows where a dragged button will land, between two items of a bar.
class DropMarker : public QWidget {
    Q_OBJECT

public:
    explicit DropMarker(QWidget* bar);

    // Places the marker on the edge of an item: its leading edge, or its trailing edge when
    // the button would be appended after it.
    void ShowAt(const QRect& item, bool trailingEdge, Qt::Orientation orientation);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation orientation_ = Qt::Horizontal;
};

}  // namespace tarnwick
