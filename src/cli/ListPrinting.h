#pragma once

#include <string>
#include <vector>

#include "model/ListCategory.h"
#include "model/SharedState.h"

namespace tarnwick {

// The list verb's output: per entry "entry<TAB>status" lines, or one JSON array of
// {"list", "entry", "status"} objects.
std::string ListingText(SharedState& state, const std::vector<ListCategory>& lists, bool json);

}  // namespace tarnwick
