#include "toolbar/ToolBarHitTest.h"

namespace tarnwick {

namespace {

int IndexContaining(const std::vector<ToolItem>& items, QPoint pos) {
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (items[i].rect.contains(pos)) {
            return i;
        }
    }
    return -1;
}

}  // namespace

int HotIndexAt(const std::vector<ToolItem>& items, QPoint pos) {
    const int index = IndexContaining(items, pos);
    if (index < 0 || items[index].separator || !items[index].enabled) {
        return -1;
    }
    return index;
}

int DropIndexAt(const std::vector<ToolItem>& items, QPoint pos, Qt::Orientation orientation) {
    const int index = IndexContaining(items, pos);
    if (index < 0) {
        return static_cast<int>(items.size());
    }
    const QRect& rect = items[index].rect;
    const bool leadingHalf = orientation == Qt::Horizontal
                                 ? pos.x() - rect.left() < rect.width() / 2
                                 : pos.y() - rect.top() < rect.height() / 2;
    return leadingHalf ? index : index + 1;
}

}  // namespace tarnwick
