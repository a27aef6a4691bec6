#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "model/JobGate.h"

namespace tarnwick {

// The file transfers that may run at once. A start beyond the limit waits in line, first come
// first served; a waiter that is paused lets the next one go ahead, and one that is cancelled
// leaves the line. Starts reserve on the interface thread, so the row can say at once whether
// the entry runs or waits; the worker thread then waits for its turn.
class TransferSlots {
public:
    explicit TransferSlots(int count) : count_(count) {}

    // A new limit takes effect at once: more slots start waiters, fewer let running
    // transfers finish.
    void SetCount(int count);

    // True when the job holds a slot now; false when it was put in line.
    bool Reserve(const std::shared_ptr<JobGate>& gate);
    // For a job put in line: waits until a slot is its own; false when cancelled first.
    bool WaitForTurn(const std::shared_ptr<JobGate>& gate);
    // The job's slot is free again, or its place in line when it never got one.
    void Leave(const std::shared_ptr<JobGate>& gate);

    bool IsWaiting(const std::shared_ptr<JobGate>& gate) const;

private:
    // The first waiter neither paused nor cancelled, when a slot is free; null otherwise.
    const JobGate* NextLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int count_;
    int busy_ = 0;
    std::deque<std::shared_ptr<JobGate>> waiting_;
};

}  // namespace tarnwick
