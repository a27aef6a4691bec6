#pragma once

#include <cstddef>
#include <vector>

namespace tarnwick {

// Which slots of a list with holes hold an entry, counted so that the n-th live slot and
// the number of live slots before a slot are found in O(log n): a Fenwick tree of 0s and 1s.
class LiveSlots {
public:
    // Adds a slot at the end, live.
    void PushLive();
    void MarkDead(std::size_t slot);
    // Live slots before this one.
    std::size_t LiveBefore(std::size_t slot) const;
    // The slot of the live entry with this rank (0 the first); the caller checks the range.
    std::size_t SlotOfRank(std::size_t rank) const;
    std::size_t LiveCount() const { return live_; }
    void Clear();
    void Reserve(std::size_t count) { tree_.reserve(count); }

private:
    void Add(std::size_t slot, int delta);

    std::vector<std::size_t> tree_;  // tree_[i]: live slots in (i - lowbit(i + 1), i]
    std::size_t live_ = 0;
};

}  // namespace tarnwick
