#include "engine/transfer/SharedRateLimit.h"

#include <algorithm>

namespace tarnwick {

namespace {

constexpr double kBurstSeconds = 0.25;

}  // namespace

void SharedRateLimit::SetBytesPerSecond(std::uint64_t rate) {
    std::lock_guard lock(mutex_);
    rate_ = rate;
    tokens_ = 0;
    refilled_ = std::chrono::steady_clock::now();
}

std::uint64_t SharedRateLimit::BytesPerSecond() const {
    std::lock_guard lock(mutex_);
    return rate_;
}

void SharedRateLimit::RefillLocked(std::chrono::steady_clock::time_point now) {
    const double elapsed = std::chrono::duration<double>(now - refilled_).count();
    refilled_ = now;
    const double burst = static_cast<double>(rate_) * kBurstSeconds;
    tokens_ = std::min(burst, tokens_ + elapsed * static_cast<double>(rate_));
}

std::chrono::nanoseconds SharedRateLimit::Take(std::uint64_t count) {
    std::lock_guard lock(mutex_);
    if (rate_ == 0) {
        return std::chrono::nanoseconds::zero();
    }
    RefillLocked(std::chrono::steady_clock::now());
    tokens_ -= static_cast<double>(count);
    if (tokens_ >= 0) {
        return std::chrono::nanoseconds::zero();
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(-tokens_ / static_cast<double>(rate_)));
}

}  // namespace tarnwick
