#pragma once

#include <string_view>

namespace tarnwick {

// The searchengines.conf written when a folder has none: engines that serve their results as
// plain HTML. The patterns follow the pages as they were published; an engine that changes
// its pages breaks its entry, which the user can then mend in the file.
std::string_view DefaultSearchEnginesText();

}  // namespace tarnwick
