#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search/SearchEngineQuery.h"

namespace tarnwick {

// The search engines of `searchengines.conf` in the working folder, one INI section each:
//   [Name]
//   url=https://host/path?q={query}&first={start}
//   results=<a class="result" href="([^"]+)"
//   pages=3      step=10      first=0      wait_ms=1000      timeout_ms=20000      decode=url
// An entry that cannot be used is left out and described in `problems`, with its line; the
// others are kept in the file's order.
struct SearchEngineCatalog {
    std::vector<SearchEngineQuery> engines;
    std::vector<std::string> problems;

    // The engine of this name, letter case ignored, or of the same project flag ("northernlight"
    // finds [Northern Light]); nullptr when there is none.
    const SearchEngineQuery* Find(std::string_view name) const;
};

inline constexpr const char* kSearchEnginesFileName = "searchengines.conf";

SearchEngineCatalog ParseSearchEngines(std::string_view text);

// Reads the folder's file anew. A missing file is written with the default engines first
// (atomically; when that fails the defaults are still used); a file that cannot be read gives
// no engines and says so in `problems`.
SearchEngineCatalog LoadSearchEngines(const std::filesystem::path& folder);

}  // namespace tarnwick
