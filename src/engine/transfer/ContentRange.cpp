#include "engine/transfer/ContentRange.h"

#include "model/WholeNumber.h"

namespace tarnwick {

std::optional<ContentRange> ParseContentRange(std::string_view value) {
    constexpr std::string_view kUnit = "bytes ";
    if (!value.starts_with(kUnit)) {
        return std::nullopt;
    }
    value.remove_prefix(kUnit.size());
    const std::size_t dash = value.find('-');
    const std::size_t slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) {
        return std::nullopt;
    }
    const auto first = WholeNumber<std::uint64_t>(value.substr(0, dash));
    const auto last = WholeNumber<std::uint64_t>(value.substr(dash + 1, slash - dash - 1));
    const std::string_view totalText = value.substr(slash + 1);
    if (!first || !last || *last < *first) {
        return std::nullopt;
    }
    ContentRange range{*first, *last, -1};
    if (totalText != "*") {
        const auto total = WholeNumber<std::int64_t>(totalText);
        if (!total || static_cast<std::uint64_t>(*total) <= *last) {
            return std::nullopt;
        }
        range.total = *total;
    }
    return range;
}

}  // namespace tarnwick
