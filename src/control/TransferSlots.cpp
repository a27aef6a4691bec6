#include "control/TransferSlots.h"

#include <algorithm>
#include <chrono>

namespace tarnwick {

namespace {

// Pausing and resuming a waiter happen on its gate, which does not tell the line; the line
// looks again this often.
constexpr std::chrono::milliseconds kGateLook{100};

}  // namespace

void TransferSlots::SetCount(int count) {
    {
        std::lock_guard lock(mutex_);
        count_ = count;
    }
    changed_.notify_all();
}

bool TransferSlots::Reserve(const std::shared_ptr<JobGate>& gate) {
    std::lock_guard lock(mutex_);
    if (waiting_.empty() && busy_ < count_) {
        ++busy_;
        return true;
    }
    waiting_.push_back(gate);
    return false;
}

const JobGate* TransferSlots::NextLocked() const {
    if (busy_ >= count_) {
        return nullptr;
    }
    const auto next = std::find_if(waiting_.begin(), waiting_.end(), [](const auto& waiter) {
        return !waiter->IsPaused() && !waiter->IsCancelled();
    });
    return next == waiting_.end() ? nullptr : next->get();
}

bool TransferSlots::WaitForTurn(const std::shared_ptr<JobGate>& gate) {
    std::unique_lock lock(mutex_);
    while (!gate->IsCancelled() && NextLocked() != gate.get()) {
        changed_.wait_for(lock, kGateLook);
    }
    std::erase(waiting_, gate);
    if (gate->IsCancelled()) {
        lock.unlock();
        changed_.notify_all();  // it may have been the one the others waited behind
        return false;
    }
    ++busy_;
    return true;
}

void TransferSlots::Leave(const std::shared_ptr<JobGate>& gate) {
    {
        std::lock_guard lock(mutex_);
        const auto place = std::find(waiting_.begin(), waiting_.end(), gate);
        if (place != waiting_.end()) {
            waiting_.erase(place);
        } else {
            --busy_;
        }
    }
    changed_.notify_all();
}

bool TransferSlots::IsWaiting(const std::shared_ptr<JobGate>& gate) const {
    std::lock_guard lock(mutex_);
    return std::find(waiting_.begin(), waiting_.end(), gate) != waiting_.end();
}

}  // namespace tarnwick
