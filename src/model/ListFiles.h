#pragma once

#include <filesystem>

#include "model/SharedState.h"
#include "storage/SaveSteps.h"

namespace tarnwick {

// Reads the six list files of the folder into the six lists. A missing or unreadable file
// leaves its list as it was, without a message. Each list read is marked unmodified.
void LoadAllLists(SharedState& state, const std::filesystem::path& folder);

// Writes every modified list to its file in the folder, atomically; an empty modified list
// deletes its file. A list that cannot be written keeps its old file and its modified flag,
// and shows its message through the port once: again only after a save of it has succeeded.
// Safe to call at any time: each list is copied under the lock and written outside it.
void SaveAllLists(SharedState& state, const std::filesystem::path& folder);
void SaveAllLists(SharedState& state, const std::filesystem::path& folder, SaveSteps& steps);

}  // namespace tarnwick
