#pragma once

#include <QPoint>
#include <QRect>
#include <Qt>

#include <vector>

namespace tarnwick {

// What the hit tests need to know of one item of a toolbar, in the bar's coordinates.
struct ToolItem {
    QRect rect;  // empty for a hidden item
    bool separator = false;
    bool enabled = true;
};

// The item that rises under the pointer: never a separator nor a disabled button; -1 for none.
int HotIndexAt(const std::vector<ToolItem>& items, QPoint pos);

// Where a dragged button lands: before the item under the pointer when the pointer is on its
// leading half (left, or top on a vertical bar), after it on its trailing half, and at the end
// (items.size()) when the pointer is on no item.
int DropIndexAt(const std::vector<ToolItem>& items, QPoint pos, Qt::Orientation orientation);

}  // namespace tarnwick
