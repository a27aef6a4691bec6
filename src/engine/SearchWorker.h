#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SearchEngineQuery.h"
#include "engine/Workers.h"

namespace tarnwick {

// Accepted links kept from one engine's result page; reading stops when they are reached.
inline constexpr std::size_t kMaxSearchResultLinks = 100;

// What QuerySearchEngine answers besides a count of accepted links.
inline constexpr int kSearchFailed = -1;       // the page could not be fetched or read
inline constexpr int kEmptySearchString = -2;  // nothing asked

// One engine pass: sends the search text with its spaces made '+', reads the result page
// line by line up to the engine's line capacity and keeps, in page order, the first link of
// each line that leads away from the engine. Returns the number of links kept in results.
int QuerySearchEngine(WorkerContext& context, const SearchEngineQuery& engine,
                      std::string_view searchString, std::vector<std::string>& results);

}  // namespace tarnwick
