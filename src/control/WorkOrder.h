#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/EntryId.h"
#include "model/FileRequestOptions.h"
#include "model/Records.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

// Work a front end asks for by value rather than through dialogs: the command line's verbs,
// and the URLs a second program hands to the window. The same order is carried out by the
// command line itself or, while a window holds the folder, by the window.
struct WorkOrder {
    // Start the entries once added (get, mirror, search, run) or only add them (add).
    bool start = false;
    std::vector<std::string> fileUrls;
    // What those files ask more of their transfer: a checksum, a speed limit.
    FileRequestOptions fileOptions;
    std::vector<WebProject> webProjects;
    // What the web projects are to crawl with (depth, requisites, politeness); what it leaves
    // unset a reused project keeps.
    WebProjectOptionChanges webOptions;
    std::vector<SearchProject> searchProjects;
    // Requested entries to start, by URL or project name; runAll starts every one.
    std::vector<std::string> runNames;
    bool runAll = false;
};

// The requested entries an order concerns, by kind.
struct RunTargets {
    std::vector<EntryId> files;
    std::vector<EntryId> webProjects;
    std::vector<EntryId> searchProjects;

    bool Empty() const { return files.empty() && webProjects.empty() && searchProjects.empty(); }
};

}  // namespace tarnwick
