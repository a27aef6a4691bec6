#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "control/WorkOrder.h"
#include "model/SharedState.h"

namespace tarnwick {

struct TakenOrder {
    RunTargets targets;
    std::vector<std::string> unknownNames;  // run names that match no requested entry
    std::vector<EntryId> newWebProjects;    // made for the order, reusing none
};

// Adds the order's entries to the requested lists, each told to the front ends at once, and
// finds the entries to run.
// - A URL already requested is not added twice; the entry there is the one run.
// - A web project reuses the requested one of its name (its start address taken from the
//   order), else the mirrored one of that name with its settings, else is added as given.
// - A search project likewise reuses the requested one of its name, its search string
//   taken from the order.
TakenOrder TakeWorkOrder(SharedState& state, const WorkOrder& order);

// Appends a new requested entry; its id.
EntryId AppendRequested(SharedState& state, FileEntry entry);
EntryId AppendRequested(SharedState& state, WebProject project);
EntryId AppendRequested(SharedState& state, SearchProject project);

// Keeps the options for the requested files of these URLs in their file in the folder, for
// their transfers from then on, and drops those of entries no longer requested. False when
// the file could not be written; the front end then shows kFileOptionsNotSaved.
bool KeepFileOptions(SharedState& state, const std::filesystem::path& folder,
                     const std::vector<std::string>& urls, const FileRequestOptions& options);
inline constexpr const char* kFileOptionsNotSaved = "Error saving the requested file options";

// The keys (URLs, project names) of requested entries, those gone left out.
std::vector<std::string> RequestedKeys(SharedState& state, ListCategory category,
                                       const std::vector<EntryId>& ids);

}  // namespace tarnwick
