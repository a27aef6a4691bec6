#pragma once

#include <QSize>

class QWidget;

namespace tarnwick {

// Sizes given in dialog units, the classic font-relative measure (a quarter of the average
// character width across, an eighth of the line height down), in pixels for the widget's font.
QSize DialogUnitsToPixels(const QWidget& widget, int across, int down);

}  // namespace tarnwick
