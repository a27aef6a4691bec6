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

void JobGate::Discard() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        discarded_ = true;
    }
    changed_.notify_all();
}

bool JobGate::WaitWhilePaused() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !paused_ || cancelled_; });
    return !cancelled_;
}

JobGate::PauseWait JobGate::WaitWhilePausedFor(std::chrono::steady_clock::duration limit) {
    std::unique_lock lock(mutex_);
    if (cancelled_) {
        return PauseWait::Cancelled;
    }
    if (!paused_) {
        return PauseWait::Open;
    }
    changed_.wait_for(lock, limit, [this] { return !paused_ || cancelled_; });
    if (cancelled_) {
        return PauseWait::Cancelled;
    }
    return paused_ ? PauseWait::StillPaused : PauseWait::Resumed;
}

bool JobGate::SleepFor(std::chrono::steady_clock::duration duration) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, duration, [this] { return cancelled_; });
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

bool JobGate::IsDiscarded() const {
    std::lock_guard lock(mutex_);
    return discarded_;
}

}  // namespace tarnwick
