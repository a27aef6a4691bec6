#pragma once

#include <vector>

namespace tarnwick {

// What dropping a button on its own bar does.
enum class SameBarDrop {
    Nothing,
    InsertSeparatorBefore,  // dropped just right of itself
    RemoveSeparatorBefore,  // dropped on its own leading half, after a separator
    Move,                   // to the drop index
};

// separators[i] tells whether item i of the bar is a separator; dragged is the dragged
// button's index and dropIndex the index DropIndexAt gave.
SameBarDrop PlanSameBarDrop(const std::vector<bool>& separators, int dragged, int dropIndex);

// The index from which every item up to the end is a separator (separators.size() if the
// last item is none): a bar should not end in separators once its last button has gone.
int TrailingSeparatorsStart(const std::vector<bool>& separators);

}  // namespace tarnwick
