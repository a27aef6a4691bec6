#include "model/ByteRate.h"

#include <cctype>
#include <cmath>

#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr std::uint64_t kKibi = 1024;

std::uint64_t MultiplierOf(char suffix) {
    switch (std::tolower(static_cast<unsigned char>(suffix))) {
        case 'k':
            return kKibi;
        case 'm':
            return kKibi * kKibi;
        case 'g':
            return kKibi * kKibi * kKibi;
        default:
            return 0;
    }
}

}  // namespace

std::optional<std::uint64_t> ParseByteRate(std::string_view text) {
    std::uint64_t multiplier = 1;
    if (!text.empty() && std::isalpha(static_cast<unsigned char>(text.back()))) {
        multiplier = MultiplierOf(text.back());
        text.remove_suffix(1);
        if (multiplier == 0) {
            return std::nullopt;
        }
    }
    const std::size_t point = text.find('.');
    const auto whole = WholeNumber<std::uint64_t>(text.substr(0, point));
    if (!whole) {
        return std::nullopt;
    }
    double fraction = 0;
    if (point != std::string_view::npos) {
        const std::string_view digits = text.substr(point + 1);
        const auto decimals = WholeNumber<std::uint64_t>(digits);
        if (!decimals || digits.size() > 9) {
            return std::nullopt;
        }
        fraction = static_cast<double>(*decimals) / std::pow(10.0, digits.size());
    }
    const long double bytes =
        (static_cast<long double>(*whole) + fraction) * static_cast<long double>(multiplier);
    if (bytes >= 18e18L) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(std::llround(bytes));
}

std::string ByteRateText(std::uint64_t bytesPerSecond) {
    const char* suffixes = "GMk";
    for (std::uint64_t multiplier = kKibi * kKibi * kKibi; multiplier > 1;
         multiplier /= kKibi, ++suffixes) {
        if (bytesPerSecond != 0 && bytesPerSecond % multiplier == 0) {
            return std::to_string(bytesPerSecond / multiplier) + *suffixes;
        }
    }
    return std::to_string(bytesPerSecond);
}

}  // namespace tarnwick
