#include "model/Settings.h"

#include <optional>

#include "model/AtomicFile.h"
#include "model/ByteRate.h"
#include "model/IniLines.h"
#include "model/SmallTextFile.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick settings, version 1\n";
constexpr std::string_view kTransfers = "transfers";

// A whole number within [lowest, highest]; nothing otherwise.
std::optional<int> NumberWithin(std::string_view text, int lowest, int highest) {
    const std::optional<int> number = WholeNumber<int>(text);
    if (!number || *number < lowest || *number > highest) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

Settings ParseSettings(std::string_view text) {
    const Settings defaults;
    Settings settings;
    std::string_view section;
    ForEachIniLine(text, [&](const IniLine& value) {
        if (value.isSection) {
            section = value.name;
            return;
        }
        if (section != kTransfers) {
            return;
        }
        if (value.name == "max-concurrent") {
            settings.maxConcurrent =
                NumberWithin(value.value, 1, 100).value_or(defaults.maxConcurrent);
        } else if (value.name == "limit-rate") {
            settings.limitBytesPerSecond =
                ParseByteRate(value.value).value_or(defaults.limitBytesPerSecond);
        } else if (value.name == "retries") {
            settings.retries = NumberWithin(value.value, 0, 100).value_or(defaults.retries);
        } else if (value.name == "stall-timeout") {
            settings.stallSeconds =
                NumberWithin(value.value, 1, 3600).value_or(defaults.stallSeconds);
        }
    });
    return settings;
}

std::string RenderSettings(const Settings& settings) {
    std::string text = kHeader;
    text += "\n[transfers]\n";
    text += "max-concurrent=" + std::to_string(settings.maxConcurrent) + "\n";
    text += "limit-rate=" + ByteRateText(settings.limitBytesPerSecond) + "\n";
    text += "retries=" + std::to_string(settings.retries) + "\n";
    text += "stall-timeout=" + std::to_string(settings.stallSeconds) + "\n";
    return text;
}

Settings LoadSettings(const std::filesystem::path& folder) {
    const std::optional<std::string> text = ReadSmallTextFile(folder / kSettingsFileName);
    return text ? ParseSettings(*text) : Settings{};
}

bool StoreSettings(const std::filesystem::path& folder, const Settings& settings) {
    SaveSteps steps;
    return WriteFileAtomically(folder / kSettingsFileName, RenderSettings(settings), steps);
}

}  // namespace tarnwick
