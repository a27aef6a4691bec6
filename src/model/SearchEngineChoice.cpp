#include "model/SearchEngineChoice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

constexpr std::array<std::pair<std::string_view, int SearchProject::*>, 7> kFlags = {{
    {"Altavista", &SearchProject::useAltavista},
    {"HotBot", &SearchProject::useHotBot},
    {"Yahoo", &SearchProject::useYahoo},
    {"Northern Light", &SearchProject::useNorthernLight},
    {"WebCrawler", &SearchProject::useWebCrawler},
    {"MSN", &SearchProject::useMsn},
    {"Go2Net", &SearchProject::useGo2Net},
}};

std::string FoldedWithoutBlanks(std::string_view name) {
    std::string folded;
    for (const char c : name) {
        if (c != ' ' && c != '\t') {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return folded;
}

auto FindOther(const SearchProject& project, std::string_view engineName) {
    return std::find_if(
        project.otherEngines.begin(), project.otherEngines.end(),
        [engineName](const std::string& other) { return EqualsIgnoreCase(other, engineName); });
}

}  // namespace

int SearchProject::*EngineFlag(std::string_view engineName) {
    const std::string folded = FoldedWithoutBlanks(engineName);
    for (const auto& [name, flag] : kFlags) {
        if (folded == FoldedWithoutBlanks(name)) {
            return flag;
        }
    }
    return nullptr;
}

bool ChoosesEngine(const SearchProject& project, std::string_view engineName) {
    if (int SearchProject::*flag = EngineFlag(engineName)) {
        return project.*flag != 0;
    }
    return FindOther(project, engineName) != project.otherEngines.end();
}

void ChooseEngine(SearchProject& project, std::string_view engineName, bool chosen) {
    if (int SearchProject::*flag = EngineFlag(engineName)) {
        project.*flag = chosen ? 1 : 0;
        return;
    }
    const auto found = FindOther(project, engineName);
    if (chosen && found == project.otherEngines.end()) {
        project.otherEngines.emplace_back(engineName);
    } else if (!chosen && found != project.otherEngines.end()) {
        project.otherEngines.erase(found);
    }
}

void CopyEngineChoice(const SearchProject& from, SearchProject& to) {
    for (const auto& [name, flag] : kFlags) {
        to.*flag = from.*flag;
    }
    to.otherEngines = from.otherEngines;
}

std::vector<std::string> ChosenEngineNames(const SearchProject& project) {
    std::vector<std::string> names;
    for (const auto& [name, flag] : kFlags) {
        if (project.*flag != 0) {
            names.emplace_back(name);
        }
    }
    names.insert(names.end(), project.otherEngines.begin(), project.otherEngines.end());
    return names;
}

bool NamesNoEngine(const SearchProject& project) {
    return project.otherEngines.empty() &&
           std::none_of(kFlags.begin(), kFlags.end(),
                        [&project](const auto& entry) { return project.*entry.second != 0; });
}

}  // namespace tarnwick
