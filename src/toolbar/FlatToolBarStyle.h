#pragma once

#include <QProxyStyle>

namespace tarnwick {

// Draws a toolbar, its gripper, separators and buttons flat, in the palette's button colours,
// whatever the desktop style: a button is raised while State_MouseOver (hot) is set, sunken when
// pressed or checked, and its picture is engraved when disabled.
class FlatToolBarStyle : public QProxyStyle {
    Q_OBJECT

public:
    // One renderer for every flat bar; it lives as long as the application object.
    static FlatToolBarStyle* Shared();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;

private:
    FlatToolBarStyle();
};

}  // namespace tarnwick
