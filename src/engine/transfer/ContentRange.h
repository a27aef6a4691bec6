#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnwick {

// A Content-Range header's value: "bytes FIRST-LAST/TOTAL", TOTAL "*" when unknown.
struct ContentRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;   // inclusive
    std::int64_t total = -1;  // -1: "*"
};

// Nothing for another unit, a missing part, LAST before FIRST or LAST not below TOTAL.
std::optional<ContentRange> ParseContentRange(std::string_view value);

}  // namespace tarnwick
