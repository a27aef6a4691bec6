#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace tarnwick {

// The number a whole text spells in decimal digits: nothing for an empty text, a sign, any
// other character or a value beyond the type, so a hand-edited or torn text is never half read.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    if (text.empty() || text.front() == '-' || text.front() == '+') {
        return std::nullopt;
    }
    const auto [last, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || last != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tarnwick
