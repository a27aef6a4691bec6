#include "dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace tarnwick {

QSize DialogUnitsToPixels(const QWidget& widget, int across, int down) {
    const QFontMetrics metrics = widget.fontMetrics();
    return {(across * metrics.averageCharWidth() + 2) / 4, (down * metrics.height() + 4) / 8};
}

}  // namespace tarnwick
