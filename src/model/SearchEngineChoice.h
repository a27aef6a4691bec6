#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/Records.h"

namespace tarnwick {

// The project flag an engine of this name has always been chosen by (Altavista, HotBot,
// Yahoo, Northern Light, WebCrawler, MSN, Go2Net; letter case and blanks ignored), or nullptr.
int SearchProject::*EngineFlag(std::string_view engineName);

// Whether the project asks the engine of this name: its flag, or its name among the others.
bool ChoosesEngine(const SearchProject& project, std::string_view engineName);
// Ticks or clears the engine's choice in the project.
void ChooseEngine(SearchProject& project, std::string_view engineName, bool chosen);
// Gives `to` the engine choices of `from`: the seven flags and the other engines.
void CopyEngineChoice(const SearchProject& from, SearchProject& to);
// The engines the project chooses: those of its flags, by their old names, then the others.
std::vector<std::string> ChosenEngineNames(const SearchProject& project);
// True when the project names no engine at all: it then asks every engine of the file.
bool NamesNoEngine(const SearchProject& project);

}  // namespace tarnwick
