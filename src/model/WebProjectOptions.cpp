#include "model/WebProjectOptions.h"

#include <fstream>
#include <sstream>

#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick web project options, version 1\n";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsDefault(const WebProjectOptions& options) {
    return options.maxDepth == 0;
}

}  // namespace

WebProjectOptionsFile ParseWebProjectOptions(std::string_view text) {
    WebProjectOptionsFile options;
    WebProjectOptions* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            current = &options[std::string(line.substr(1, line.size() - 2))];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos ||
            Trimmed(line.substr(0, equals)) != "depth") {
            continue;
        }
        if (const auto depth = WholeNumber<int>(Trimmed(line.substr(equals + 1)))) {
            current->maxDepth = *depth;
        }
    }
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
        text += "depth=" + std::to_string(project.maxDepth) + "\n";
    }
    return text;
}

WebProjectOptionsFile LoadWebProjectOptions(const std::filesystem::path& folder) {
    std::ifstream file(folder / kWebProjectOptionsFileName, std::ios::binary);
    if (!file) {
        return {};
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseWebProjectOptions(text.str());
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
