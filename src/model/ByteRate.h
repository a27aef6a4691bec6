#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// A speed in bytes a second as wget's --limit-rate writes it: a decimal number, a fraction
// allowed, with an optional k, m or g suffix for 1024, 1024² or 1024³ ("500k", "2.5M").
// Nothing for any other text. 0 means no limit.
std::optional<std::uint64_t> ParseByteRate(std::string_view text);

// The rate in the same syntax, with the largest suffix that keeps it whole ("20M", "1536k").
std::string ByteRateText(std::uint64_t bytesPerSecond);

}  // namespace tarnwick
