#include "engine/search/DefaultSearchEngines.h"

namespace tarnwick {

std::string_view DefaultSearchEnginesText() {
    return R"conf(# Tarnwick search engines, version 1
#
# One section per engine; its name is the one the Add Search Project dialog shows.
#   url=         the result page: {query} is the search text, {start} the page's offset
#   results=     a regular expression (PCRE); its first group is a result link
#   pages=       result pages read at most (1 to 10); reading stops at a page with no new link
#   step=        how far {start} moves from one page to the next
#   first=       {start} of the first page
#   wait_ms=     pause between two requests to the engine
#   timeout_ms=  longest wait for one page
#   decode=url   the links are percent-encoded, as in the engine's redirect links
# These entries are examples that follow the engines' pages as published; when an engine
# changes its pages, its entry stops finding links and can be mended here.

[DuckDuckGo]
url=https://html.duckduckgo.com/html/?q={query}
results=<a[^>]*?\bclass="result__a"[^>]*?\bhref="[^"]*?[?&](?:amp;)?uddg=([^&"]+)
decode=url
pages=1
wait_ms=2000

[Mojeek]
url=https://www.mojeek.com/search?q={query}&s={start}
results=(?|<a[^>]*?\bhref="([^"]+)"[^>]*?\bclass="title"|<a[^>]*?\bclass="title"[^>]*?\bhref="([^"]+)")
pages=3
first=1
step=10
wait_ms=2000

[Marginalia]
url=https://marginalia-search.com/search?query={query}&page={start}
results=<h2[^>]*>\s*<a[^>]*?\bhref="(https?://[^"]+)"
pages=2
first=1
step=1
wait_ms=2000
)conf";
}

}  // namespace tarnwick
