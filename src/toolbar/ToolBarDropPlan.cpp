#include "toolbar/ToolBarDropPlan.h"

namespace tarnwick {

SameBarDrop PlanSameBarDrop(const std::vector<bool>& separators, int dragged, int dropIndex) {
    const bool separatorBefore = dragged > 0 && separators[dragged - 1];
    if (dropIndex == dragged + 1) {
        return dragged == 0 || separatorBefore ? SameBarDrop::Nothing
                                               : SameBarDrop::InsertSeparatorBefore;
    }
    if (dropIndex == dragged) {
        return separatorBefore ? SameBarDrop::RemoveSeparatorBefore : SameBarDrop::Nothing;
    }
    return SameBarDrop::Move;
}

int TrailingSeparatorsStart(const std::vector<bool>& separators) {
    int start = static_cast<int>(separators.size());
    while (start > 0 && separators[start - 1]) {
        --start;
    }
    return start;
}

}  // namespace tarnwick
