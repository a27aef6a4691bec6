#include "model/WebProjectOptions.h"

#include "model/IniLines.h"
#include "model/SmallTextFile.h"
#include "model/WholeNumber.h"

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

void SetValue(WebProjectOptions& options, std::string_view key, std::string_view value) {
    if (key == "depth" || key == "delay") {
        if (const auto number = WholeNumber<int>(value)) {
            (key == "depth" ? options.maxDepth : options.delayMs) = *number;
        }
    } else if (key == "connections") {
        const auto number = WholeNumber<int>(value);
        if (number && *number >= 1 && *number <= WebProjectOptions::kMaxConnections) {
            options.connections = *number;
        }
    } else if (key == "robots") {
        options.ignoreRobots = value == "ignore";
    } else if (key == "portable" || key == "requisites" || key == "noascend") {
        bool& flag = key == "portable"     ? options.portable
                     : key == "requisites" ? options.requisites
                                           : options.noAscend;
        flag = Flag(value).value_or(flag);
    }
}

}  // namespace

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
            SetValue(*current, line.name, line.value);
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
        text += "\n[" + name + "]\n";
        if (project.maxDepth != 0) {
            text += "depth=" + std::to_string(project.maxDepth) + "\n";
        }
        if (project.portable) {
            text += "portable=1\n";
        }
        if (project.requisites) {
            text += "requisites=1\n";
        }
        if (project.ignoreRobots) {
            text += "robots=ignore\n";
        }
        if (project.noAscend) {
            text += "noascend=1\n";
        }
        if (project.delayMs != 0) {
            text += "delay=" + std::to_string(project.delayMs) + "\n";
        }
        if (project.connections != WebProjectOptions::kDefaultConnections) {
            text += "connections=" + std::to_string(project.connections) + "\n";
        }
    }
    return text;
}

WebProjectOptionsFile LoadWebProjectOptions(const std::filesystem::path& folder) {
    const std::optional<std::string> text = ReadSmallTextFile(folder / kWebProjectOptionsFileName);
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
    SaveSteps steps;
    return WriteFileAtomically(folder / kWebProjectOptionsFileName, RenderWebProjectOptions(all),
                               steps);
}

}  // namespace tarnwick
