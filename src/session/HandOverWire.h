#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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

// The window's answer to an order: whether it was carried out, and what to tell the user.
struct HandOverAnswer {
    enum class Verdict {
        CarriedOut,
        BadRequest,  // the order named what the lists do not hold
        Refused,     // the window could not take it
    };
    Verdict verdict = Verdict::Refused;
    std::string text;
};

namespace wire {
inline constexpr std::string_view kCarriedOut = "ok: ";
inline constexpr std::string_view kBadRequest = "unknown: ";
inline constexpr std::string_view kRefused = "error: ";
}  // namespace wire

// On the wire an answer reads "<verdict>: text".
inline std::string EncodeAnswer(const HandOverAnswer& answer) {
    using enum HandOverAnswer::Verdict;
    const std::string_view verdict = answer.verdict == CarriedOut   ? wire::kCarriedOut
                                     : answer.verdict == BadRequest ? wire::kBadRequest
                                                                    : wire::kRefused;
    return std::string(verdict) + answer.text;
}

// Anything that is not a well-formed answer counts as refused, its bytes the text.
inline HandOverAnswer DecodeAnswer(std::string_view message) {
    using enum HandOverAnswer::Verdict;
    for (const auto& [verdict, prefix] :
         {std::pair{CarriedOut, wire::kCarriedOut}, std::pair{BadRequest, wire::kBadRequest},
          std::pair{Refused, wire::kRefused}}) {
        if (message.starts_with(prefix)) {
            return {verdict, std::string(message.substr(prefix.size()))};
        }
    }
    return {Refused, std::string(message)};
}

}  // namespace tarnwick
