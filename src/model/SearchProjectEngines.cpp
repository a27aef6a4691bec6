#include "model/SearchProjectEngines.h"

#include <system_error>

#include "model/IniLines.h"
#include "model/SmallTextFile.h"

namespace tarnwick {

namespace {

constexpr const char* kHeader = "# Tarnwick search project engines, version 1\n";

}  // namespace

SearchProjectEngines ParseSearchProjectEngines(std::string_view text) {
    SearchProjectEngines engines;
    std::vector<std::string>* current = nullptr;
    ForEachIniLine(text, [&](const IniLine& line) {
        if (line.isSection) {
            current = &engines[std::string(line.name)];
        } else if (current != nullptr && line.name == "engine" && !line.value.empty()) {
            current->emplace_back(line.value);
        }
    });
    std::erase_if(engines, [](const auto& entry) { return entry.second.empty(); });
    return engines;
}

std::string RenderSearchProjectEngines(const std::vector<const SearchProject*>& projects) {
    std::string text;
    for (const SearchProject* project : projects) {
        if (project->otherEngines.empty()) {
            continue;
        }
        text += "\n[" + project->name + "]\n";
        for (const std::string& engine : project->otherEngines) {
            text += "engine=" + engine + "\n";
        }
    }
    return text.empty() ? text : kHeader + text;
}

void AttachSearchProjectEngines(const std::filesystem::path& folder,
                                std::vector<SearchProject*>& projects) {
    const std::optional<std::string> text =
        ReadSmallTextFile(folder / kSearchProjectEnginesFileName);
    if (!text) {
        return;
    }
    const SearchProjectEngines engines = ParseSearchProjectEngines(*text);
    for (SearchProject* project : projects) {
        const auto found = engines.find(project->name);
        if (found != engines.end()) {
            project->otherEngines = found->second;
        }
    }
}

bool SaveSearchProjectEngines(const std::filesystem::path& folder, const std::string& text,
                              SaveSteps& steps) {
    const std::filesystem::path path = folder / kSearchProjectEnginesFileName;
    if (text.empty()) {
        std::error_code error;  // a file that is already gone is fine
        std::filesystem::remove(path, error);
        return !error;
    }
    return WriteFileAtomically(path, text, steps);
}

}  // namespace tarnwick
