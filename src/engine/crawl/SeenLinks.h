#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace tarnwick {

// Every URL a crawl has ever queued, compared with ASCII letters folded like the lists'
// look-ups. A hash set, so a crawl of many pages does not slow down with each new link.
class SeenLinks {
public:
    // True when the URL was not there yet.
    bool Add(std::string_view url);
    bool Contains(std::string_view url) const;

private:
    std::unordered_set<std::string> folded_;
};

}  // namespace tarnwick
