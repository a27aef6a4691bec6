#include "toolbar/CToolBarEx.h"

#include <QActionEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolButton>

#include "toolbar/DragCursors.h"
#include "toolbar/DropMarker.h"
#include "toolbar/FlatToolBarStyle.h"
#include "toolbar/ToolBarDropPlan.h"

// The pictures are compiled into a static library, so they must be registered by hand.
static void RegisterToolBarPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(toolbar);
        return true;
    }();
    (void)registered;
}

namespace tarnwick {

namespace {

constexpr QSize kPictureSize(32, 32);
constexpr int kHoverCheckMs = 250;
constexpr int kDragFrameWidth = 2;

}  // namespace

CToolBarEx::CToolBarEx(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    RegisterToolBarPictures();
    setStyle(FlatToolBarStyle::Shared());
    setIconSize(kPictureSize);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setMouseTracking(true);
    hoverTimer_.setInterval(kHoverCheckMs);
    connect(&hoverTimer_, &QTimer::timeout, this, &CToolBarEx::CheckHover);
}

CToolBarEx::~CToolBarEx() {
    if (drag_) {
        EndDrag();
    }
}

void CToolBarEx::AddButtons(std::span<const ToolBarButton> places,
                            const std::function<QAction*(int commandId)>& actionFor) {
    for (const ToolBarButton& place : places) {
        if (place.commandId == 0) {
            addSeparator();
            continue;
        }
        QAction* action = actionFor(place.commandId);
        if (action == nullptr) {
            continue;
        }
        if (action->icon().isNull()) {
            action->setIcon(QIcon(QString::fromLatin1(place.iconPath)));
        }
        addAction(action);
    }
}

bool CToolBarEx::QueryDelete(const QAction*) {
    return true;
}

bool CToolBarEx::QueryInsert(const QAction*, int) {
    return true;
}

void CToolBarEx::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    QAction* action = event->action();
    switch (event->type()) {
        case QEvent::ActionAdded:
            if (QWidget* widget = widgetForAction(action)) {
                // Controls placed on the bar keep their own look; buttons and separators get ours.
                if (qobject_cast<QToolButton*>(widget) != nullptr || action->isSeparator()) {
                    widget->setStyle(FlatToolBarStyle::Shared());
                }
                widget->setMouseTracking(true);
                widget->installEventFilter(this);
            }
            break;
        case QEvent::ActionChanged:
            if (action == hot_ && !action->isEnabled()) {
                SetHot(nullptr);
            }
            break;
        case QEvent::ActionRemoved:
            if (action == hot_) {
                SetHot(nullptr);
            }
            break;
        default:
            break;
    }
}

bool CToolBarEx::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (drag_) {
                UpdateDrag(mouse->globalPosition().toPoint());
                return true;
            }
            TrackHot(mouse->position().toPoint());
            break;
        }
        case QEvent::MouseButtonRelease:
            if (drag_) {
                Drop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                EndDrag();
                return true;
            }
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (drag_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                EndDrag();
                return true;
            }
            break;
        case QEvent::Leave:
            SetHot(nullptr);
            break;
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
            // The drag has lost the pointer: leave the bar as it was.
            if (drag_) {
                EndDrag();
            }
            SetHot(nullptr);
            break;
        default:
            break;
    }
    return QToolBar::event(event);
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->parentWidget() != this) {
        return QToolBar::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Paint:
            if (auto* button = qobject_cast<QToolButton*>(widget)) {
                PaintButton(*button);
                return true;
            }
            break;
        case QEvent::MouseMove:
            if (!drag_) {
                TrackHot(
                    widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint()));
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) {
                break;
            }
            if ((mouse->modifiers() & Qt::AltModifier) && StartDrag(ActionOf(widget))) {
                return true;
            }
            if (mouse->modifiers() & Qt::ShiftModifier) {
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QToolBar::eventFilter(watched, event);
}

std::vector<ToolItem> CToolBarEx::Items() const {
    std::vector<ToolItem> items;
    for (QAction* action : actions()) {
        const QWidget* widget = widgetForAction(action);
        const bool shown = widget != nullptr && widget->isVisible();
        items.push_back(
            {shown ? widget->geometry() : QRect(), action->isSeparator(), action->isEnabled()});
    }
    return items;
}

std::vector<bool> CToolBarEx::SeparatorFlags() const {
    std::vector<bool> flags;
    for (QAction* action : actions()) {
        flags.push_back(action->isSeparator());
    }
    return flags;
}

QAction* CToolBarEx::ActionOf(const QWidget* widget) const {
    for (QAction* action : actions()) {
        if (widgetForAction(action) == widget) {
            return action;
        }
    }
    return nullptr;
}

QAction* CToolBarEx::ActionAt(int index) const {
    const QList<QAction*> list = actions();
    return index >= 0 && index < list.size() ? list.at(index) : nullptr;
}

void CToolBarEx::PaintButton(QToolButton& button) {
    QStyleOptionToolButton option;
    option.initFrom(&button);
    // The bar, not the window system, decides which button is hot.
    option.state &= ~QStyle::State_MouseOver;
    if (hot_ != nullptr && button.defaultAction() == hot_) {
        option.state |= QStyle::State_MouseOver;
    }
    if (button.isDown()) {
        option.state |= QStyle::State_Sunken;
    }
    if (button.isChecked()) {
        option.state |= QStyle::State_On;
    }
    option.state |= QStyle::State_AutoRaise;
    option.subControls = QStyle::SC_ToolButton;
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    option.toolButtonStyle = Qt::ToolButtonIconOnly;

    QPainter painter(&button);
    button.style()->drawComplexControl(QStyle::CC_ToolButton, &option, &painter, &button);
    if (drag_ && drag_->action != nullptr && button.defaultAction() == drag_->action) {
        const QBrush halftone(palette().color(QPalette::WindowText), Qt::Dense4Pattern);
        const QRect frame = button.rect();
        const int w = kDragFrameWidth;
        painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), w), halftone);
        painter.fillRect(QRect(frame.left(), frame.bottom() - w + 1, frame.width(), w), halftone);
        painter.fillRect(QRect(frame.left(), frame.top(), w, frame.height()), halftone);
        painter.fillRect(QRect(frame.right() - w + 1, frame.top(), w, frame.height()), halftone);
    }
}

void CToolBarEx::TrackHot(QPoint pos) {
    // Only the active program raises buttons.
    if (!window()->isEnabled() || !isActiveWindow()) {
        return;
    }
    const int index = HotIndexAt(Items(), pos);
    SetHot(ActionAt(index));
    hoverTimer_.start();
}

void CToolBarEx::SetHot(QAction* action) {
    if (action == hot_) {
        return;
    }
    for (QAction* changed : {hot_.data(), action}) {
        if (QWidget* widget = changed != nullptr ? widgetForAction(changed) : nullptr) {
            widget->update();
        }
    }
    hot_ = action;
}

void CToolBarEx::CheckHover() {
    if (hot_ != nullptr && !rect().contains(mapFromGlobal(QCursor::pos()))) {
        SetHot(nullptr);
    }
    if (hot_ == nullptr) {
        hoverTimer_.stop();
    }
}

bool CToolBarEx::StartDrag(QAction* action) {
    if (!adjustable_ || drag_ || action == nullptr || action->isSeparator() ||
        !QueryDelete(action)) {
        return false;
    }
    SetHot(nullptr);
    drag_ = DragState{action, this, 0};
    removeCursorShown_ = false;
    QGuiApplication::setOverrideCursor(DropCursor());
    grabMouse();
    grabKeyboard();
    if (QWidget* widget = widgetForAction(action)) {
        widget->update();
    }
    return true;
}

void CToolBarEx::UpdateDrag(QPoint globalPos) {
    CToolBarEx* target = DropTargetAt(globalPos);
    drag_->target = target;
    if (target != nullptr) {
        drag_->dropIndex =
            DropIndexAt(target->Items(), target->mapFromGlobal(globalPos), target->orientation());
        ShowDropMarker(*target, drag_->dropIndex);
    } else if (marker_ != nullptr) {
        marker_->hide();
    }
    const bool removing = target == nullptr;
    if (removing != removeCursorShown_) {
        QGuiApplication::changeOverrideCursor(removing ? RemoveCursor() : DropCursor());
        removeCursorShown_ = removing;
    }
}

CToolBarEx* CToolBarEx::DropTargetAt(QPoint globalPos) const {
    for (QWidget* widget = QApplication::widgetAt(globalPos); widget != nullptr;
         widget = widget->parentWidget()) {
        auto* bar = qobject_cast<CToolBarEx*>(widget);
        if (bar != nullptr && bar->adjustable_ && bar->window() == window()) {
            return bar;
        }
    }
    return nullptr;
}

void CToolBarEx::ShowDropMarker(CToolBarEx& target, int dropIndex) {
    if (marker_ == nullptr || marker_->parentWidget() != &target) {
        delete marker_;
        marker_ = new DropMarker(&target);
    }
    const std::vector<ToolItem> items = target.Items();
    const bool appending = dropIndex >= static_cast<int>(items.size());
    const QRect edgeItem =
        items.empty() ? QRect() : items[appending ? items.size() - 1 : dropIndex].rect;
    if (edgeItem.isEmpty()) {
        marker_->hide();
        return;
    }
    marker_->ShowAt(edgeItem, appending, target.orientation());
}

void CToolBarEx::Drop(QPoint globalPos) {
    UpdateDrag(globalPos);
    QAction* action = drag_->action;
    const int dragged = action != nullptr ? static_cast<int>(actions().indexOf(action)) : -1;
    if (dragged < 0) {
        return;
    }
    const bool wasLast = dragged == actions().size() - 1;
    CToolBarEx* target = drag_->target;
    const int dropIndex = drag_->dropIndex;
    if (target == nullptr) {
        removeAction(action);
    } else if (target == this) {
        DropOnItself(action, dragged, dropIndex);
    } else if (target->QueryInsert(action, dropIndex)) {
        target->insertAction(target->ActionAt(dropIndex), action);
        removeAction(action);
    }
    if (wasLast) {
        RemoveTrailingSeparators();
    }
    // Lay out now, so that the next drag already meets the buttons where they show.
    layout()->activate();
    if (target != nullptr && target != this) {
        target->layout()->activate();
    }
}

void CToolBarEx::DropOnItself(QAction* action, int dragged, int dropIndex) {
    switch (PlanSameBarDrop(SeparatorFlags(), dragged, dropIndex)) {
        case SameBarDrop::Nothing:
            return;
        case SameBarDrop::InsertSeparatorBefore: {
            auto* separator = new QAction(this);
            separator->setSeparator(true);
            if (QueryInsert(separator, dragged)) {
                insertAction(action, separator);
            } else {
                delete separator;
            }
            return;
        }
        case SameBarDrop::RemoveSeparatorBefore:
            RemoveSeparator(ActionAt(dragged - 1));
            return;
        case SameBarDrop::Move:
            if (QueryInsert(action, dropIndex)) {
                insertAction(ActionAt(dropIndex), action);
            }
            return;
    }
}

void CToolBarEx::RemoveSeparator(QAction* separator) {
    if (!QueryDelete(separator)) {
        return;
    }
    // Separators the bar made belong to it; others belong to whoever added them.
    if (separator->parent() == this) {
        delete separator;
    } else {
        removeAction(separator);
    }
}

void CToolBarEx::RemoveTrailingSeparators() {
    const QList<QAction*> list = actions();
    const int start = TrailingSeparatorsStart(SeparatorFlags());
    for (int i = static_cast<int>(list.size()) - 1; i >= start; --i) {
        RemoveSeparator(list.at(i));
    }
}

void CToolBarEx::EndDrag() {
    const QPointer<QAction> action = drag_->action;
    drag_.reset();
    delete marker_;
    QGuiApplication::restoreOverrideCursor();
    releaseKeyboard();
    releaseMouse();
    if (QWidget* widget = action != nullptr ? widgetForAction(action) : nullptr) {
        widget->update();
    }
}

}  // namespace tarnwick
