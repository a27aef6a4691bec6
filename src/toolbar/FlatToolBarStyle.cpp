#include "toolbar/FlatToolBarStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

#include "toolbar/EmbossedImage.h"

namespace tarnwick {

namespace {

// Room around a button's picture for its border and the one-pixel shift of a pushed button.
constexpr int kButtonPadding = 4;
constexpr int kSeparatorExtent = 8;
constexpr int kGripperExtent = 10;
constexpr int kGripperBarWidth = 3;

struct ReliefColours {
    QColor face;
    QColor highlight;
    QColor shadow;
    QColor light3d;
};

ReliefColours ColoursOf(const QPalette& palette) {
    return {palette.color(QPalette::Button), palette.color(QPalette::Light),
            palette.color(QPalette::Dark), palette.color(QPalette::Midlight)};
}

// A one-pixel border: topLeft along the top and left edges, bottomRight along the others.
void DrawRelief(QPainter& painter, const QRect& rect, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

// Two lines side by side, shadow then highlight: the engraved look of an etched edge.
void DrawEtchedLine(QPainter& painter, const QRect& rect, Qt::Orientation along,
                    const ReliefColours& colours) {
    if (along == Qt::Vertical) {
        const int x = rect.center().x();
        painter.fillRect(QRect(x - 1, rect.top(), 1, rect.height()), colours.shadow);
        painter.fillRect(QRect(x, rect.top(), 1, rect.height()), colours.highlight);
    } else {
        const int y = rect.center().y();
        painter.fillRect(QRect(rect.left(), y - 1, rect.width(), 1), colours.shadow);
        painter.fillRect(QRect(rect.left(), y, rect.width(), 1), colours.highlight);
    }
}

void DrawToolButton(const QStyleOptionToolButton& option, QPainter& painter) {
    const ReliefColours colours = ColoursOf(option.palette);
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool hot = enabled && (option.state & QStyle::State_MouseOver);
    const int pushed = (option.state & (QStyle::State_Sunken | QStyle::State_On)) ? 1 : 0;
    const QRect& rect = option.rect;

    painter.fillRect(rect, pushed && !hot ? colours.light3d : colours.face);
    if (pushed) {
        DrawRelief(painter, rect, colours.shadow, colours.highlight);
        if (!hot) {
            // The checked look: a halftone of highlight over the face.
            const QRect inner = rect.adjusted(2, 2, -2, -2);
            painter.fillRect(inner, colours.face);
            painter.fillRect(inner, QBrush(colours.highlight, Qt::Dense4Pattern));
        }
    } else if (hot) {
        DrawRelief(painter, rect, colours.highlight, colours.shadow);
    }

    const qreal ratio = painter.device()->devicePixelRatioF();
    const QPixmap picture =
        option.icon.pixmap(option.iconSize, ratio, QIcon::Normal,
                           (option.state & QStyle::State_On) ? QIcon::On : QIcon::Off);
    const QPoint offset((rect.width() - option.iconSize.width()) / 2 + pushed,
                        (rect.height() - option.iconSize.height()) / 2 + pushed);
    const QRect target(rect.topLeft() + offset, option.iconSize);
    if (enabled) {
        painter.drawPixmap(target, picture);
    } else {
        painter.drawImage(target,
                          EmbossedImage(picture.toImage(), colours.highlight, colours.shadow));
    }
}

}  // namespace

FlatToolBarStyle::FlatToolBarStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

FlatToolBarStyle* FlatToolBarStyle::Shared() {
    static QPointer<FlatToolBarStyle> shared;
    if (!shared) {
        shared = new FlatToolBarStyle;
        shared->setParent(qApp);
    }
    return shared;
}

void FlatToolBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(option);
    if (element != CE_ToolBar || bar == nullptr) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const ReliefColours colours = ColoursOf(bar->palette);
    painter->fillRect(bar->rect, colours.face);
    if (bar->features & QStyleOptionToolBar::Movable) {
        DrawRelief(*painter, bar->rect, colours.highlight, colours.shadow);
    } else {
        // A bar that cannot dock gets an etched edge along its top instead of a gripper.
        DrawEtchedLine(*painter, QRect(bar->rect.left(), bar->rect.top(), bar->rect.width(), 2),
                       Qt::Horizontal, colours);
    }
}

void FlatToolBarStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    const ReliefColours colours = ColoursOf(option->palette);
    const bool horizontalBar = option->state & State_Horizontal;
    switch (element) {
        case PE_IndicatorToolBarSeparator:
            DrawEtchedLine(*painter,
                           horizontalBar ? option->rect.adjusted(0, 2, 0, -2)
                                         : option->rect.adjusted(2, 0, -2, 0),
                           horizontalBar ? Qt::Vertical : Qt::Horizontal, colours);
            return;
        case PE_IndicatorToolBarHandle: {
            // Two raised bars side by side, across the bar's length.
            const QRect area = option->rect.adjusted(2, 2, -2, -2);
            for (int bar = 0; bar < 2; ++bar) {
                const int shift = bar * kGripperBarWidth;
                const QRect grip =
                    horizontalBar
                        ? QRect(area.left() + shift, area.top(), kGripperBarWidth, area.height())
                        : QRect(area.left(), area.top() + shift, area.width(), kGripperBarWidth);
                DrawRelief(*painter, grip, colours.highlight, colours.shadow);
            }
            return;
        }
        case PE_PanelButtonTool:
            // Buttons draw their own border in drawComplexControl.
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void FlatToolBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (control != CC_ToolButton || button == nullptr) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    DrawToolButton(*button, *painter);
}

int FlatToolBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                  const QWidget* widget) const {
    switch (metric) {
        case PM_ToolBarSeparatorExtent:
            return kSeparatorExtent;
        case PM_ToolBarHandleExtent:
            return kGripperExtent;
        case PM_ToolBarItemSpacing:
            return 0;
        case PM_ToolBarItemMargin:
        case PM_ToolBarFrameWidth:
            return 2;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize FlatToolBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                         const QSize& size, const QWidget* widget) const {
    const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
    if (type != CT_ToolButton || button == nullptr) {
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    return button->iconSize + QSize(2 * kButtonPadding, 2 * kButtonPadding);
}

}  // namespace tarnwick
