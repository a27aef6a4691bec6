#pragma once

#include <condition_variable>
#include <mutex>

namespace tarnwick {

// The pause switch of one worker. The worker calls WaitWhilePaused between blocks and
// lines (and from libcurl's progress callback), so a paused transfer stops at once and
// keeps its connection; Cancel, used only at exit, wakes it and makes it end quietly.
class JobGate {
public:
    void Pause();
    void Resume();
    void Cancel();

    // Blocks while paused; returns false once the job is cancelled.
    bool WaitWhilePaused();

    bool IsPaused() const;
    bool IsCancelled() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool paused_ = false;
    bool cancelled_ = false;
};

}  // namespace tarnwick
