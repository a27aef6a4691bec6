#include "model/JobGate.h"

namespace tarnwick {

void JobGate::Pause() {
    std::lock_guard lock(mutex_);
    paused_ = true;
}

void JobGate::Resume() {
    {
        std::lock_guard lock(mutex_);
        paused_ = false;
    }
    changed_.notify_all();
}

void JobGate::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

bool JobGate::WaitWhilePaused() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !paused_ || cancelled_; });
    return !cancelled_;
}

bool JobGate::IsPaused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

bool JobGate::IsCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

}  // namespace tarnwick
