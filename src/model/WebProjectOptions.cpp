#include "model/WebProjectOptions.h"

#include "model/IniLines.h"
#include "model/WholeNumber.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick web project options, version 1\n";

bool IsDefault(const WebProjectOptions& options) {
    return options == WebProjectOptions{};
}

std::optional<bool> Flag(std::string_view value) {
    if (value == "1") {
        return true;
    }
    if (value == "0") {
        return false;
    }
    return std::nullopt;
}

// True when the key is one of the options and the value one it takes.
bool ReadChange(WebProjectOptionChanges& changes, std::string_view key, std::string_view value) {
    const std::optional<int> number = WholeNumber<int>(value);
    if (key == "depth" || key == "delay") {
        (key == "depth" ? changes.maxDepth : changes.delayMs) = number;
        return number.has_value();
    }
    if (key == "connections") {
        const bool valid = number && *number >= 1 && *number <= WebProjectOptions::kMaxConnections;
        if (valid) {
            changes.connections = number;
        }
        return valid;
    }
    if (key == "robots") {
        const bool valid = value == "ignore" || value == "obey";
        if (valid) {
            changes.ignoreRobots = value == "ignore";
        }
        return valid;
    }
    if (key == "portable" || key == "requisites" || key == "noascend") {
        std::optional<bool>& flag = key == "portable"     ? changes.portable
                                    : key == "requisites" ? changes.requisites
                                                          : changes.noAscend;
        flag = Flag(value);
        return flag.has_value();
    }
    return false;
}

// What differs in the options from those of a project that has none.
WebProjectOptionChanges ChangesFromDefaults(const WebProjectOptions& options) {
    const WebProjectOptions defaults;
    WebProjectOptionChanges changes;
    const auto differing = [](auto value, auto unchanged) {
        return value == unchanged ? std::nullopt : std::optional<decltype(value)>(value);
    };
    changes.maxDepth = differing(options.maxDepth, defaults.maxDepth);
    changes.portable = differing(options.portable, defaults.portable);
    changes.requisites = differing(options.requisites, defaults.requisites);
    changes.ignoreRobots = differing(options.ignoreRobots, defaults.ignoreRobots);
    changes.noAscend = differing(options.noAscend, defaults.noAscend);
    changes.delayMs = differing(options.delayMs, defaults.delayMs);
    changes.connections = differing(options.connections, defaults.connections);
    return changes;
}

}  // namespace

void WebProjectOptionChanges::ApplyTo(WebProjectOptions& options) const {
    options.maxDepth = maxDepth.value_or(options.maxDepth);
    options.portable = portable.value_or(options.portable);
    options.requisites = requisites.value_or(options.requisites);
    options.ignoreRobots = ignoreRobots.value_or(options.ignoreRobots);
    options.noAscend = noAscend.value_or(options.noAscend);
    options.delayMs = delayMs.value_or(options.delayMs);
    options.connections = connections.value_or(options.connections);
}

std::string RenderWebProjectOptionChanges(const WebProjectOptionChanges& changes) {
    std::string text;
    const auto line = [&](const char* key, const auto& value, std::string shown) {
        if (value) {
            text.append(key).append("=").append(shown).append("\n");
        }
    };
    const auto number = [](const std::optional<int>& value) {
        return value ? std::to_string(*value) : std::string();
    };
    const auto flag = [](const std::optional<bool>& value) {
        return std::string(value.value_or(false) ? "1" : "0");
    };
    line("depth", changes.maxDepth, number(changes.maxDepth));
    line("portable", changes.portable, flag(changes.portable));
    line("requisites", changes.requisites, flag(changes.requisites));
    line("robots", changes.ignoreRobots, changes.ignoreRobots.value_or(false) ? "ignore" : "obey");
    line("noascend", changes.noAscend, flag(changes.noAscend));
    line("delay", changes.delayMs, number(changes.delayMs));
    line("connections", changes.connections, number(changes.connections));
    return text;
}

std::optional<WebProjectOptionChanges> ParseWebProjectOptionChanges(std::string_view text) {
    WebProjectOptionChanges changes;
    bool refused = false;
    const auto take = [&](const IniLine& line) {
        refused = refused || line.isBare || !ReadChange(changes, line.name, line.value);
    };
    ForEachIniLine(text, take, {.separator = '=', .verbatim = true});
    return refused ? std::nullopt : std::optional(changes);
}

WebProjectOptions NewWebProjectOptions(const Settings& settings) {
    WebProjectOptions options;
    options.portable = true;
    options.requisites = true;
    options.delayMs = settings.webDelayMs;
    options.ignoreRobots = settings.webIgnoreRobots;
    return options;
}

WebProjectOptionsFile ParseWebProjectOptions(std::string_view text) {
    WebProjectOptionsFile options;
    WebProjectOptions* current = nullptr;
    ForEachIniLine(text, [&](const IniLine& line) {
        if (line.isSection) {
            current = &options[std::string(line.name)];
        } else if (current != nullptr) {
            WebProjectOptionChanges change;
            if (ReadChange(change, line.name, line.value)) {
                change.ApplyTo(*current);
            }
        }
    });
    std::erase_if(options, [](const auto& entry) { return IsDefault(entry.second); });
    return options;
}

std::string RenderWebProjectOptions(const WebProjectOptionsFile& options) {
    std::string text = kHeader;
    for (const auto& [name, project] : options) {
        if (IsDefault(project)) {
            continue;
        }
        text += "\n[" + name + "]\n" + RenderWebProjectOptionChanges(ChangesFromDefaults(project));
    }
    return text;
}

WebProjectOptionsFile LoadWebProjectOptions(const std::filesystem::path& folder) {
    const std::optional<std::string> text =
        ConfinedFolder(folder).ReadSmallFile(kWebProjectOptionsFileName);
    return text ? ParseWebProjectOptions(*text) : WebProjectOptionsFile{};
}

WebProjectOptions LoadWebProjectOptions(const std::filesystem::path& folder,
                                        const std::string& projectName) {
    const WebProjectOptionsFile options = LoadWebProjectOptions(folder);
    const auto found = options.find(projectName);
    return found == options.end() ? WebProjectOptions{} : found->second;
}

bool StoreWebProjectOptions(const std::filesystem::path& folder, const std::string& projectName,
                            const std::optional<WebProjectOptions>& options) {
    WebProjectOptionsFile all = LoadWebProjectOptions(folder);
    const bool had = all.contains(projectName);
    if (options && !IsDefault(*options)) {
        all[projectName] = *options;
    } else if (had) {
        all.erase(projectName);
    } else {
        return true;  // nothing to keep and nothing kept: the file stays as it is
    }
    return ConfinedFolder(folder).ReplaceFile(kWebProjectOptionsFileName,
                                              RenderWebProjectOptions(all));
}

}  // namespace tarnwick
