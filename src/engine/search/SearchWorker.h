#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/job/WorkerContext.h"
#include "engine/search/SearchEngineQuery.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace tarnwick {

// New links kept from one engine pass at most.
inline constexpr std::size_t kMaxSearchResultLinks = 100;
// A result page is read this far; the rest of a longer one is not looked at.
inline constexpr std::size_t kMaxResultPageBytes = 2 << 20;

// What one engine pass found.
struct EnginePass {
    bool answered = false;              // its first page arrived
    int matched = 0;                    // links its pages matched, repeats included
    std::vector<std::string> newLinks;  // absolute, not seen before, in page order
    Outcome unanswered;                 // why the first page did not arrive
};

// One engine pass: reads the engine's result pages for the search text, one after the other
// with the engine's polite wait between them, and keeps the links its pattern matches, decoded
// and made absolute. `seen` holds the links the project has already, and takes the new ones.
// Reading stops after the engine's page count, at a page that gives no new link, at a page
// that fails after the first, or when the link limit is reached. An empty search text asks
// nothing.
EnginePass QuerySearchEngine(WorkerContext& context, const SearchEngineQuery& engine,
                             std::string_view searchString, std::unordered_set<std::string>& seen);

// The thread procedure of a search project: asks the engines it chooses and appends the links
// they find to the search results. Done when every engine answered with links; partly done
// when some did; else the first failure's kind.
Outcome RunSearchProject(WorkerContext& context, SearchProject project);

}  // namespace tarnwick
