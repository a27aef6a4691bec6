#pragma once

#include <chrono>
#include <cstdint>

namespace tarnwick {

// What one transfer of the libcurl layer may take of the network and of a pause.
struct TransferLimits {
    std::uint64_t lowSpeedBytesPerSecond = 0;  // slower than this for lowSpeedTime: a stall
    std::chrono::seconds lowSpeedTime{0};      // 0: no stall detection
    std::chrono::seconds connectTimeout{0};    // 0: the layer's own (60 s)
    std::uint64_t maxBytesPerSecond = 0;       // this transfer's own speed limit; 0: none
    // A pause longer than this lets the connection go (the transfer ends with pausedTooLong);
    // 0: the connection is held for the whole pause.
    std::chrono::milliseconds holdWhilePaused{0};
};

}  // namespace tarnwick
