#include "engine/transfer/RetryPlan.h"

#include <algorithm>
#include <thread>

namespace tarnwick {

namespace {
// A server may ask for more, but a download manager that sleeps for hours looks dead.
constexpr std::chrono::milliseconds kLongestRetryAfter = std::chrono::minutes(5);
}  // namespace

RetryPlan::RetryPlan(const TransferPolicy& policy, std::shared_ptr<JobGate> gate)
    : policy_(policy), gate_(std::move(gate)), random_(std::random_device{}()) {}

std::chrono::milliseconds RetryPlan::DelayBefore(int retry, const TransferPolicy& policy,
                                                 std::int64_t retryAfterSeconds, double jitter) {
    using std::chrono::milliseconds;
    const milliseconds longest = std::max(policy.longestRetryDelay, milliseconds::zero());
    milliseconds delay = std::max(policy.firstRetryDelay, milliseconds::zero());
    for (int i = 1; i < retry && delay < longest; ++i) {
        delay *= 2;
    }
    delay = std::min(delay, longest);
    delay -= milliseconds(static_cast<std::int64_t>(static_cast<double>(delay.count()) *
                                                    std::clamp(jitter, 0.0, 1.0) / 2.0));
    if (retryAfterSeconds > 0) {
        const milliseconds cap = std::max(longest, kLongestRetryAfter);
        const milliseconds asked =
            retryAfterSeconds >= cap.count() / 1000 ? cap : milliseconds(retryAfterSeconds * 1000);
        delay = std::max(delay, asked);
    }
    return delay;
}

RetryPlan::Next RetryPlan::AfterFailure(std::int64_t retryAfterSeconds, const Announce& announce) {
    if (gate_ != nullptr && gate_->IsCancelled()) {
        return Next::Cancelled;
    }
    if (failures_ >= policy_.retries) {
        return Next::GiveUp;
    }
    ++failures_;
    const double jitter = std::uniform_real_distribution<double>(0.0, 1.0)(random_);
    const std::chrono::milliseconds wait =
        DelayBefore(failures_, policy_, retryAfterSeconds, jitter);
    if (announce) {
        announce(wait, failures_, policy_.retries);
    }
    if (gate_ == nullptr) {
        std::this_thread::sleep_for(wait);
        return Next::Retry;
    }
    if (!gate_->SleepFor(wait) || !gate_->WaitWhilePaused()) {
        return Next::Cancelled;
    }
    return Next::Retry;
}

}  // namespace tarnwick
