#pragma once

#include <chrono>

namespace tarnwick {

// Turns SIGTERM, SIGINT and SIGHUP into bytes on a pipe, so that an event loop (the window's
// socket notifier) or a poll (the command line) ends the program as Exit does, outside the
// signal handler. One instance per process; it restores the default handlers when destroyed.
class StopSignals {
public:
    // What a second SIGINT does: nothing more than the first, or end the process at once
    // with the interrupted exit code, without saving anything half-written.
    enum class SecondInterrupt { LikeTheFirst, EndsAtOnce };

    explicit StopSignals(SecondInterrupt second);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Becomes readable when a signal has arrived; Drain empties it.
    int ReadableFd() const;
    void Drain();
    // The last signal caught, 0 before any.
    int Caught() const;
    // Waits at most this long for a signal, waking as one arrives; true when one has arrived.
    bool CaughtWithin(std::chrono::milliseconds wait) const;

    // The exit code a program ended by a signal reports: 128 + its number, as shells do.
    static constexpr int ExitCodeFor(int signal) { return 128 + signal; }
};

}  // namespace tarnwick
