#pragma once

#include <chrono>
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
    // Cancels for an entry the user deleted: what the worker held of it goes too, once the
    // worker has ended.
    void Discard();

    // Blocks while paused; returns false once the job is cancelled.
    bool WaitWhilePaused();

    // As WaitWhilePaused, but waits at most limit: a transfer that holds a connection lets it
    // go when the pause lasts.
    enum class PauseWait { Open, Resumed, StillPaused, Cancelled };
    PauseWait WaitWhilePausedFor(std::chrono::steady_clock::duration limit);

    // Sleeps for the duration, or less when cancelled meanwhile; false once cancelled. A pause
    // does not cut it short (the caller waits at the gate afterwards).
    bool SleepFor(std::chrono::steady_clock::duration duration);

    bool IsPaused() const;
    bool IsCancelled() const;
    bool IsDiscarded() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool paused_ = false;
    bool cancelled_ = false;
    bool discarded_ = false;
};

}  // namespace tarnwick
