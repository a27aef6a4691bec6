#include "model/SearchProjectEngines.h"

#include "model/IniLines.h"

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

void AttachSearchProjectEngines(ConfinedFolder& folder, std::vector<SearchProject*>& projects) {
    const std::optional<std::string> text = folder.ReadSmallFile(kSearchProjectEnginesFileName);
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

bool SaveSearchProjectEngines(ConfinedFolder& folder, const std::string& text, SaveSteps& steps) {
    if (text.empty()) {
        return folder.Remove(kSearchProjectEnginesFileName);
    }
    return folder.ReplaceFile(kSearchProjectEnginesFileName, text, steps);
}

}  // namespace tarnwick
