#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace tarnwick {

// One speed limit shared by every transfer that uses it: a token bucket refilled at the set
// rate and holding at most a quarter second of it, so the average holds over any few seconds
// while no transfer can burst far ahead. A new rate takes effect at once.
class SharedRateLimit {
public:
    // 0: unlimited.
    void SetBytesPerSecond(std::uint64_t rate);
    std::uint64_t BytesPerSecond() const;

    // Takes count bytes from the bucket and answers how long the caller must wait before
    // it takes more; zero when unlimited or when the bucket held them.
    std::chrono::nanoseconds Take(std::uint64_t count);

private:
    void RefillLocked(std::chrono::steady_clock::time_point now);

    mutable std::mutex mutex_;
    std::uint64_t rate_ = 0;
    double tokens_ = 0;  // may go negative: a debt the caller waits off
    std::chrono::steady_clock::time_point refilled_{};
};

}  // namespace tarnwick
