#include "model/LiveSlots.h"

#include <bit>

namespace tarnwick {

namespace {

std::size_t LowBit(std::size_t n) {
    return n & (~n + 1);
}

}  // namespace

void LiveSlots::PushLive() {
    // The new node covers (i - lowbit(i + 1), i]: the live count of those before it, plus 1.
    const std::size_t slot = tree_.size();
    const std::size_t from = slot + 1 - LowBit(slot + 1);
    tree_.push_back(LiveBefore(slot) - LiveBefore(from) + 1);
    ++live_;
}

void LiveSlots::MarkDead(std::size_t slot) {
    Add(slot, -1);
    --live_;
}

void LiveSlots::Add(std::size_t slot, int delta) {
    for (std::size_t i = slot + 1; i <= tree_.size(); i += LowBit(i)) {
        tree_[i - 1] = static_cast<std::size_t>(static_cast<long long>(tree_[i - 1]) + delta);
    }
}

std::size_t LiveSlots::LiveBefore(std::size_t slot) const {
    std::size_t count = 0;
    for (std::size_t i = slot; i > 0; i -= LowBit(i)) {
        count += tree_[i - 1];
    }
    return count;
}

std::size_t LiveSlots::SlotOfRank(std::size_t rank) const {
    // Walks down the tree's powers of two, keeping the prefix whose count stays at most rank.
    std::size_t position = 0;
    std::size_t remaining = rank;
    for (std::size_t step = tree_.empty() ? 0 : std::bit_floor(tree_.size()); step > 0;
         step >>= 1) {
        const std::size_t next = position + step;
        if (next <= tree_.size() && tree_[next - 1] <= remaining) {
            position = next;
            remaining -= tree_[next - 1];
        }
    }
    return position;
}

void LiveSlots::Clear() {
    tree_.clear();
    live_ = 0;
}

}  // namespace tarnwick
