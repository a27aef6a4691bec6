#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "engine/transfer/TransferPolicy.h"
#include "model/JobGate.h"

namespace tarnwick {

// When a transfer that failed for a transient cause tries again: policy.retries more times,
// the first after policy.firstRetryDelay, each later one after twice the wait before, at
// most policy.longestRetryDelay, every wait shortened by a random part of up to half (so
// transfers that failed together do not come back together). A server's Retry-After makes
// the wait at least that long, up to five minutes or the longest delay if that is longer.
// An attempt that received data starts the count afresh.
class RetryPlan {
public:
    RetryPlan(const TransferPolicy& policy, std::shared_ptr<JobGate> gate);

    // The wait before retry number retry (1 for the first); jitter in [0, 1).
    static std::chrono::milliseconds DelayBefore(int retry, const TransferPolicy& policy,
                                                 std::int64_t retryAfterSeconds, double jitter);

    enum class Next { Retry, GiveUp, Cancelled };
    using Announce = std::function<void(std::chrono::milliseconds wait, int retry, int retries)>;
    // Counts a failure. With retries left, announces the wait and sleeps it: a cancel wakes
    // the sleep, and a pause holds the retry until the job is resumed.
    Next AfterFailure(std::int64_t retryAfterSeconds, const Announce& announce);
    // The attempt got somewhere: the next failure is counted as the first again.
    void NoteProgress() { failures_ = 0; }

private:
    TransferPolicy policy_;
    std::shared_ptr<JobGate> gate_;
    int failures_ = 0;
    std::mt19937 random_;
};

}  // namespace tarnwick
