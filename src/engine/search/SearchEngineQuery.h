#pragma once

#include <string>
#include <string_view>

#include "engine/search/ResultPattern.h"

namespace tarnwick {

// How one search engine of searchengines.conf is asked and how its result pages are read.
struct SearchEngineQuery {
    std::string name;  // also the name in the status texts
    int line = 0;      // of its section in the file
    // The page's address: {query} becomes the search text URL-encoded, {start} the offset of
    // the page (first, first + step, ...).
    std::string url;
    ResultPattern results;      // its first group is a result link
    int pages = 1;              // result pages read at most
    int step = 10;              // results per page, as the engine counts its offsets
    int first = 0;              // the offset of the first page
    int waitMs = 1000;          // between two requests to the engine, to be polite
    int timeoutMs = 20000;      // for one page
    bool linksEncoded = false;  // the group is percent-encoded, as in a redirect's parameter

    // The address of the result page with this index (0 for the first).
    std::string PageUrl(std::string_view searchString, int page) const;
};

// The text as a query parameter: unreserved characters kept, a space as '+', the rest %XX.
std::string QueryEncoded(std::string_view text);

}  // namespace tarnwick
