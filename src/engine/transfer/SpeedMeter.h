#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>

namespace tarnwick {

// A transfer's speed as people expect to read it: an average over the last few seconds
// (exponentially weighted, so one slow block does not make the figure jump), sampled at most
// every quarter second.
class SpeedMeter {
public:
    using Clock = std::chrono::steady_clock;

    // Counts bytes that arrived at now.
    void Add(std::uint64_t bytes, Clock::time_point now = Clock::now()) {
        if (!started_) {
            started_ = true;
            sampleStart_ = now;
        }
        pending_ += bytes;
        const double elapsed = std::chrono::duration<double>(now - sampleStart_).count();
        if (elapsed < kSampleSeconds) {
            return;
        }
        const double rate = static_cast<double>(pending_) / elapsed;
        const double weight = 1.0 - std::exp(-elapsed / kTimeConstantSeconds);
        bytesPerSecond_ = measured_ ? bytesPerSecond_ + weight * (rate - bytesPerSecond_) : rate;
        measured_ = true;
        pending_ = 0;
        sampleStart_ = now;
    }

    // 0 until a first sample is complete.
    double BytesPerSecond() const { return bytesPerSecond_; }

    // Whole seconds until remaining bytes are in at this speed; -1 when it cannot be told.
    std::int64_t SecondsFor(std::uint64_t remaining) const {
        if (bytesPerSecond_ <= 0) {
            return -1;
        }
        return static_cast<std::int64_t>(
            std::ceil(static_cast<double>(remaining) / bytesPerSecond_));
    }

private:
    static constexpr double kSampleSeconds = 0.25;
    static constexpr double kTimeConstantSeconds = 3.0;

    bool started_ = false;
    bool measured_ = false;
    Clock::time_point sampleStart_{};
    std::uint64_t pending_ = 0;
    double bytesPerSecond_ = 0;
};

}  // namespace tarnwick
