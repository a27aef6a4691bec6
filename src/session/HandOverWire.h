#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/WholeNumber.h"

namespace tarnwick {

// Each way, one message: its length in decimal, a line end, then its bytes.
inline constexpr std::size_t kMaxMessageBytes = 64u << 20;  // far beyond any order a user makes

inline std::string FramedMessage(std::string_view bytes) {
    return std::to_string(bytes.size()) + "\n" + std::string(bytes);
}

// The message once all of it has arrived; nothing while some is missing or it is malformed.
inline std::optional<std::string_view> WholeMessage(std::string_view received) {
    const std::size_t end = received.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const auto length = WholeNumber<std::size_t>(received.substr(0, end));
    if (!length || *length > kMaxMessageBytes || received.size() - end - 1 < *length) {
        return std::nullopt;
    }
    return received.substr(end + 1, *length);
}

}  // namespace tarnwick
