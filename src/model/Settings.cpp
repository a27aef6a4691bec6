#include "model/Settings.h"

#include <algorithm>
#include <optional>

#include "model/ByteRate.h"
#include "model/IniLines.h"
#include "model/WholeNumber.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick settings, version 1\n";
constexpr std::string_view kTransfers = "transfers";
constexpr std::string_view kNet = "net";
constexpr std::string_view kWeb = "web";
constexpr std::string_view kWindow = "window";
constexpr std::size_t kLongestUserAgent = 200;
constexpr int kLongestDelayMs = 60000;
constexpr std::size_t kLongestPath = 4096;

bool IsBase64(std::string_view text) {
    for (const char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letter && !(c >= '0' && c <= '9') && c != '+' && c != '/' && c != '=') {
            return false;
        }
    }
    return true;
}

std::optional<bool> Flag(std::string_view text) {
    if (text == "1") {
        return true;
    }
    if (text == "0") {
        return false;
    }
    return std::nullopt;
}

// A whole number within [lowest, highest]; nothing otherwise.
std::optional<int> NumberWithin(std::string_view text, int lowest, int highest) {
    const std::optional<int> number = WholeNumber<int>(text);
    if (!number || *number < lowest || *number > highest) {
        return std::nullopt;
    }
    return number;
}

}  // namespace

bool IsUsableUserAgent(std::string_view text) {
    if (text.empty() || text.size() > kLongestUserAgent || text.front() == ' ') {
        return false;
    }
    for (const char c : text) {
        if (c < 0x20 || c > 0x7e) {
            return false;
        }
    }
    return true;
}

bool IsUsableDownloadFolder(std::string_view path) {
    return path.starts_with('/') && path.size() <= kLongestPath &&
           std::none_of(path.begin(), path.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

std::string DefaultUserAgent() {
    return "Tarnwick/" TARNWICK_VERSION;
}

Settings ParseSettings(std::string_view text) {
    const Settings defaults;
    Settings settings;
    std::string_view section;
    ForEachIniLine(text, [&](const IniLine& value) {
        if (value.isSection) {
            section = value.name;
            return;
        }
        if (section == kNet && value.name == "user-agent") {
            settings.userAgent =
                IsUsableUserAgent(value.value) ? std::string(value.value) : defaults.userAgent;
            return;
        }
        if (section == kWeb) {
            if (value.name == "delay") {
                settings.webDelayMs =
                    NumberWithin(value.value, 0, kLongestDelayMs).value_or(defaults.webDelayMs);
            } else if (value.name == "robots" &&
                       (value.value == "obey" || value.value == "ignore")) {
                settings.webIgnoreRobots = value.value == "ignore";
            }
            return;
        }
        if (section == kWindow) {
            if (value.name == "notify") {
                settings.notify = Flag(value.value).value_or(defaults.notify);
            } else if (value.name == "close-to-tray") {
                settings.closeToTray = Flag(value.value).value_or(defaults.closeToTray);
            } else if (value.name == "column-layout" && IsBase64(value.value)) {
                settings.columnLayout = std::string(value.value);
            }
            return;
        }
        if (section != kTransfers) {
            return;
        }
        if (value.name == "download-folder") {
            settings.downloadFolder =
                IsUsableDownloadFolder(value.value) ? std::string(value.value) : std::string();
        } else if (value.name == "max-concurrent") {
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
    if (IsUsableDownloadFolder(settings.downloadFolder)) {
        text += "download-folder=" + settings.downloadFolder + "\n";
    }
    text += "max-concurrent=" + std::to_string(settings.maxConcurrent) + "\n";
    text += "limit-rate=" + ByteRateText(settings.limitBytesPerSecond) + "\n";
    text += "retries=" + std::to_string(settings.retries) + "\n";
    text += "stall-timeout=" + std::to_string(settings.stallSeconds) + "\n";
    text += "\n[net]\n";
    text += "user-agent=" +
            (IsUsableUserAgent(settings.userAgent) ? settings.userAgent : DefaultUserAgent()) +
            "\n";
    text += "\n[web]\n";
    text += "delay=" + std::to_string(settings.webDelayMs) + "\n";
    text += std::string("robots=") + (settings.webIgnoreRobots ? "ignore" : "obey") + "\n";
    text += "\n[window]\n";
    text += std::string("notify=") + (settings.notify ? "1" : "0") + "\n";
    text += std::string("close-to-tray=") + (settings.closeToTray ? "1" : "0") + "\n";
    if (!settings.columnLayout.empty() && IsBase64(settings.columnLayout)) {
        text += "column-layout=" + settings.columnLayout + "\n";
    }
    return text;
}

Settings LoadSettings(const std::filesystem::path& folder) {
    const std::optional<std::string> text = ConfinedFolder(folder).ReadSmallFile(kSettingsFileName);
    return text ? ParseSettings(*text) : Settings{};
}

bool StoreSettings(const std::filesystem::path& folder, const Settings& settings) {
    return ConfinedFolder(folder).ReplaceFile(kSettingsFileName, RenderSettings(settings));
}

}  // namespace tarnwick
