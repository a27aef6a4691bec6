#pragma once

#include <chrono>

namespace tarnwick {

// Lets a worker echo progress at most every interval: each echo to the window waits for the
// interface thread. A report held back is remembered, so the last one can still be shown.
class ProgressThrottle {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressThrottle(Clock::duration interval = std::chrono::milliseconds(100))
        : interval_(interval) {}

    // True when a report may go out now; otherwise it is remembered as held back.
    bool ShouldReport() {
        const Clock::time_point now = Clock::now();
        if (reported_ && now - lastReport_ < interval_) {
            heldBack_ = true;
            return false;
        }
        reported_ = true;
        heldBack_ = false;
        lastReport_ = now;
        return true;
    }

    // True once if a report was held back since the last one that went out.
    bool TakeHeldBack() {
        const bool heldBack = heldBack_;
        heldBack_ = false;
        return heldBack;
    }

private:
    Clock::duration interval_;
    Clock::time_point lastReport_{};
    bool reported_ = false;
    bool heldBack_ = false;
};

}  // namespace tarnwick
