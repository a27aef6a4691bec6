#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/transfer/SharedRateLimit.h"

namespace tarnwick {

// How a transfer behaves when the network does not: retries, stall detection, speed limits.
// The control fills it from the settings file; tests set their own.
struct TransferPolicy {
    int retries = 5;  // further attempts after the first, each continuing with a range
    std::chrono::milliseconds firstRetryDelay{1000};  // doubled each retry, with jitter
    std::chrono::milliseconds longestRetryDelay{60000};
    std::uint64_t stallBytesPerSecond = 1024;  // slower than this for stallTime: retried
    std::chrono::seconds stallTime{30};
    std::chrono::seconds connectTimeout{30};
    std::shared_ptr<SharedRateLimit> sharedLimit;  // the global speed limit; null: none
    // A pause longer than this closes the connection (a server would drop it anyway); the
    // resume reconnects with a range.
    std::chrono::milliseconds pauseKeepsConnection{20000};
};

}  // namespace tarnwick
