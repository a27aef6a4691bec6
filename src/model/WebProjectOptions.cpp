#include "model/WebProjectOptions.h"

#include "model/IniLines.h"
#include "model/SmallTextFile.h"
#include "model/WholeNumber.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick web project options, version 1\n";

bool IsDefault(const WebProjectOptions& options) {
    return options.maxDepth == 0;
}

}  // namespace

WebProjectOptionsFile ParseWebProjectOptions(std::string_view text) {
    WebProjectOptionsFile options;
    WebProjectOptions* current = nullptr;
    ForEachIniLine(text, [&](const IniLine& line) {
        if (line.isSection) {
            current = &options[std::string(line.name)];
        } else if (current != nullptr && line.name == "depth") {
            if (const auto depth = WholeNumber<int>(line.value)) {
                current->maxDepth = *depth;
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
        text += "\n[" + name + "]\n";
        text += "depth=" + std::to_string(project.maxDepth) + "\n";
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
