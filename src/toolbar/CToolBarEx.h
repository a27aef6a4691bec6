#pragma once

#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "toolbar/ToolBarButtons.h"
#include "toolbar/ToolBarHitTest.h"

class QToolButton;

namespace tarnwick {

class DropMarker;

// A toolbar of flat buttons that rise under the pointer and sink when pressed or checked, with
// engraved pictures for disabled commands and a gripper. With Alt held, a button can be dragged
// to another place on the bar (or another adjustable bar of the same window), dropped just right
// of itself to put a separator before it, and dropped off every bar to remove it; Escape cancels.
// Shift-clicking a button presses nothing.
//
// Use: toolBar->AddButtons(kMainToolBarButtons, actionFor), where actionFor maps a command id to
// the main window's QAction (text, status tip, checkable state and handler live in its own table).
class CToolBarEx : public QToolBar {
    Q_OBJECT

public:
    explicit CToolBarEx(const QString& title, QWidget* parent = nullptr);
    ~CToolBarEx() override;

    // Adds one button per place, in order, giving each action the place's picture unless it has
    // one already; a place with command id 0 becomes a separator, and a command the window lacks
    // (actionFor gives null) is left out.
    void AddButtons(std::span<const ToolBarButton> places,
                    const std::function<QAction*(int commandId)>& actionFor);

    // Whether Alt-drag may rearrange this bar; on by default.
    void SetAdjustable(bool adjustable) { adjustable_ = adjustable; }
    bool IsAdjustable() const { return adjustable_; }

    // The button that is raised under the pointer; null for none.
    QAction* HotAction() const { return hot_; }
    bool IsDragging() const { return drag_.has_value(); }

protected:
    // Asked before a button or separator leaves this bar, and before one is inserted at index.
    // Both allow; a bar that must keep some buttons refuses by overriding them.
    virtual bool QueryDelete(const QAction* action);
    virtual bool QueryInsert(const QAction* action, int index);

    void actionEvent(QActionEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct DragState {
        QPointer<QAction> action;
        QPointer<CToolBarEx> target;  // null: the button would be removed
        int dropIndex = 0;
    };

    std::vector<ToolItem> Items() const;
    std::vector<bool> SeparatorFlags() const;
    QAction* ActionOf(const QWidget* widget) const;
    QAction* ActionAt(int index) const;

    void PaintButton(QToolButton& button);
    void TrackHot(QPoint pos);
    void SetHot(QAction* action);
    void CheckHover();

    bool StartDrag(QAction* action);
    void UpdateDrag(QPoint globalPos);
    CToolBarEx* DropTargetAt(QPoint globalPos) const;
    void ShowDropMarker(CToolBarEx& target, int dropIndex);
    void Drop(QPoint globalPos);
    void DropOnItself(QAction* action, int dragged, int dropIndex);
    void RemoveSeparator(QAction* separator);
    void RemoveTrailingSeparators();
    void EndDrag();

    bool adjustable_ = true;
    QPointer<QAction> hot_;
    // Notices the pointer leaving the bar when no leave event comes (a fast move, a gap
    // between windows).
    QTimer hoverTimer_;
    std::optional<DragState> drag_;
    bool removeCursorShown_ = false;
    QPointer<DropMarker> marker_;
};

}  // namespace tarnwick
