#pragma once

#include <string>
#include <string_view>

namespace tarnwick {

// How one search engine is asked: its web host, the path and query the search text goes
// into, how many result lines are read, and the word whose links lead back to the engine.
struct SearchEngineQuery {
    const char* name;          // also the excluded word, and the name in the status texts
    const char* hostVariable;  // environment variable that overrides the host
    const char* defaultHost;
    const char* prefix;       // path and query before the search text
    const char* suffix;       // after the search text
    int lineCapacity;         // result lines read at most
    bool reportsInRowStatus;  // its outcome is shown in the project's row as well

    // "host[:port]": the variable's value when set and not empty, else the default host.
    std::string Host() const;
    // The query URL for a search text whose spaces are already '+'.
    std::string Url(std::string_view encodedText) const;
};

inline constexpr SearchEngineQuery kAltavistaQuery{"Altavista",
                                                   "TARNWICK_ALTAVISTA_HOST",
                                                   "www.altavista.com",
                                                   "/cgi-bin/query?pg=q&kl=XX&stype=stext&q=",
                                                   "&search.x=19&search.y=9",
                                                   10000,
                                                   true};

inline constexpr SearchEngineQuery kYahooQuery{
    "Yahoo", "TARNWICK_YAHOO_HOST", "search.yahoo.com", "/bin/search?p=", "", 2000, false};

}  // namespace tarnwick
