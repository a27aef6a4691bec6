#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/Records.h"

namespace tarnwick {

// The search engines a folder's searchengines.conf offers, as the front ends show them.
struct SearchEngineChoices {
    std::vector<std::string> names;     // in the file's order
    std::vector<std::string> problems;  // each entry that cannot be used, with its line
};

// Reads the folder's file; a missing one is written with the default engines first.
SearchEngineChoices SearchEnginesOf(const std::filesystem::path& folder);

// The first engine the projects name that the folder's file lacks; empty when it has them all.
std::string UnknownEngineOf(const std::filesystem::path& folder,
                            const std::vector<SearchProject>& projects);

}  // namespace tarnwick
