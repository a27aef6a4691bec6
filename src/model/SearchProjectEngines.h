#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/Records.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

// The engines each search project asks beyond its seven flags (SearchProject::otherEngines),
// kept in `searchprojects.ini` beside reqsearch.data, which keeps its format:
//   [project name]
//   engine=Mojeek
//   engine=Marginalia
// Unknown keys and malformed lines are passed over; a missing or damaged file reads as none.
inline constexpr const char* kSearchProjectEnginesFileName = "searchprojects.ini";

using SearchProjectEngines = std::map<std::string, std::vector<std::string>>;

SearchProjectEngines ParseSearchProjectEngines(std::string_view text);
// The file's text for these projects; empty when none of them asks another engine.
std::string RenderSearchProjectEngines(const std::vector<const SearchProject*>& projects);

// Gives each project the engines the folder's file keeps under its name.
void AttachSearchProjectEngines(ConfinedFolder& folder, std::vector<SearchProject*>& projects);
// Writes the rendered text as the folder's file atomically, or removes the file when the text
// is empty; false when that fails, the old file then staying.
bool SaveSearchProjectEngines(ConfinedFolder& folder, const std::string& text, SaveSteps& steps);

}  // namespace tarnwick
