#pragma once

#include <QFrame>
#include <QSvgRenderer>

namespace tarnwick {

// A picture drawn from an SVG resource, its height given in dialog units so that it grows with
// the font; the width follows the drawing's proportions and it stays sharp at any scale.
class ScaledPicture : public QFrame {
    Q_OBJECT

public:
    ScaledPicture(const QString& resource, int heightInDialogUnits, QWidget* parent = nullptr);

    bool IsLoaded() const { return renderer_.isValid(); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer renderer_;
    int heightInDialogUnits_;
};

}  // namespace tarnwick
