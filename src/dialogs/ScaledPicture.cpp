#include "dialogs/ScaledPicture.h"

#include <QPainter>

#include "dialogs/DialogUnits.h"

// Outside any namespace, as the resource initialiser's name demands.
static void LoadPictureResources() {
    Q_INIT_RESOURCE(tarnwick);
}

namespace tarnwick {

ScaledPicture::ScaledPicture(const QString& resource, int heightInDialogUnits, QWidget* parent)
    : QFrame(parent), heightInDialogUnits_(heightInDialogUnits) {
    // The resources live in a static library; nothing else would pull them into the program.
    LoadPictureResources();
    renderer_.load(resource);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ScaledPicture::sizeHint() const {
    const int frame = 2 * frameWidth();
    const int height = DialogUnitsToPixels(*this, 0, heightInDialogUnits_).height();
    const QSize drawing = renderer_.defaultSize();
    const int width = drawing.isEmpty() ? height : height * drawing.width() / drawing.height();
    return {width + frame, height + frame};
}

void ScaledPicture::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect area = contentsRect();
    QSize drawn = renderer_.defaultSize();
    drawn.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), drawn);
    target.moveCenter(area.center());
    QPainter painter(this);
    painter.setClipRect(area);
    renderer_.render(&painter, QRectF(target));
}

}  // namespace tarnwick
