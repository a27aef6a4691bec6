#include "engine/search/SearchEngineCatalog.h"

#include <algorithm>
#include <optional>

#include "engine/search/DefaultSearchEngines.h"
#include "model/IniLines.h"
#include "model/Records.h"
#include "model/SearchEngineChoice.h"
#include "model/WholeNumber.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

constexpr int kMaxPages = 10;
constexpr int kMaxWaitMs = 60'000;
constexpr int kMaxTimeoutMs = 300'000;

// One section as written, before it is checked.
struct EngineEntry {
    std::string name;
    int line = 0;
    std::string url;
    std::string results;
    int resultsLine = 0;
    SearchEngineQuery query;
    std::optional<std::string> problem;

    void Fail(int atLine, const std::string& reason) {
        if (!problem) {
            problem = std::string(kSearchEnginesFileName) + " line " + std::to_string(atLine) +
                      ": engine \"" + name + "\" left out: " + reason;
        }
    }
};

// A whole number in [low, high] into target, else the entry fails.
void TakeNumber(EngineEntry& entry, const IniLine& line, int low, int high, int& target) {
    const std::optional<int> number = WholeNumber<int>(line.value);
    if (!number || *number < low || *number > high) {
        entry.Fail(line.number, std::string(line.name) + " must be a whole number from " +
                                    std::to_string(low) + " to " + std::to_string(high));
        return;
    }
    target = *number;
}

void TakeKey(EngineEntry& entry, const IniLine& line) {
    SearchEngineQuery& query = entry.query;
    if (line.name == "url") {
        entry.url = line.value;
    } else if (line.name == "results") {
        entry.results = line.value;
        entry.resultsLine = line.number;
    } else if (line.name == "pages") {
        TakeNumber(entry, line, 1, kMaxPages, query.pages);
    } else if (line.name == "step") {
        TakeNumber(entry, line, 0, 1'000'000, query.step);
    } else if (line.name == "first") {
        TakeNumber(entry, line, 0, 1'000'000, query.first);
    } else if (line.name == "wait_ms") {
        TakeNumber(entry, line, 0, kMaxWaitMs, query.waitMs);
    } else if (line.name == "timeout_ms") {
        TakeNumber(entry, line, 1, kMaxTimeoutMs, query.timeoutMs);
    } else if (line.name == "decode") {
        if (line.value != "url" && line.value != "none") {
            entry.Fail(line.number, "decode must be url or none");
        }
        query.linksEncoded = line.value == "url";
    }
}

// The engine the entry describes, or nothing once it has failed a check.
std::optional<SearchEngineQuery> Checked(EngineEntry& entry) {
    if (entry.name.empty()) {
        entry.Fail(entry.line, "it has no name");
    } else if (entry.url.empty()) {
        entry.Fail(entry.line, "it has no url");
    } else if (!entry.url.starts_with("http://") && !entry.url.starts_with("https://")) {
        entry.Fail(entry.line, "its url is not an http or https address");
    } else if (entry.url.find("{query}") == std::string::npos) {
        entry.Fail(entry.line, "its url has no {query}");
    }
    std::optional<ResultPattern> pattern;
    if (entry.results.empty()) {
        entry.Fail(entry.line, "it has no results pattern");
    } else {
        std::string error;
        pattern = ResultPattern::Compile(entry.results, error);
        if (!pattern) {
            entry.Fail(entry.resultsLine, "its results pattern " + error);
        }
    }
    if (entry.problem) {
        return std::nullopt;
    }
    SearchEngineQuery query = std::move(entry.query);
    query.name = entry.name;
    query.line = entry.line;
    query.url = entry.url;
    query.results = std::move(*pattern);
    return query;
}

}  // namespace

const SearchEngineQuery* SearchEngineCatalog::Find(std::string_view name) const {
    int SearchProject::*const flag = EngineFlag(name);
    for (const SearchEngineQuery& engine : engines) {
        if (EqualsIgnoreCase(engine.name, name) ||
            (flag != nullptr && EngineFlag(engine.name) == flag)) {
            return &engine;
        }
    }
    return nullptr;
}

SearchEngineCatalog ParseSearchEngines(std::string_view text) {
    std::vector<EngineEntry> entries;
    ForEachIniLine(text, [&entries](const IniLine& line) {
        if (line.isSection) {
            entries.emplace_back();
            // Blanks inside the brackets are no part of the name the dialog shows.
            std::string_view name = line.name;
            name.remove_prefix(std::min(name.find_first_not_of(" \t"), name.size()));
            name = name.substr(0, name.find_last_not_of(" \t") + 1);
            entries.back().name = name;
            entries.back().line = line.number;
        } else if (!entries.empty()) {
            TakeKey(entries.back(), line);
        }
    });
    SearchEngineCatalog catalog;
    for (EngineEntry& entry : entries) {
        if (catalog.Find(entry.name) != nullptr) {
            entry.Fail(entry.line, "an engine of that name comes before it");
        }
        if (std::optional<SearchEngineQuery> engine = Checked(entry)) {
            catalog.engines.push_back(std::move(*engine));
        } else {
            catalog.problems.push_back(*entry.problem);
        }
    }
    return catalog;
}

SearchEngineCatalog LoadSearchEngines(const std::filesystem::path& folder) {
    ConfinedFolder working(folder);
    bool missing = false;
    const std::optional<std::string> text =
        working.ReadSmallFile(kSearchEnginesFileName, ConfinedFolder::kSmallFileLimit, &missing);
    if (text) {
        return ParseSearchEngines(*text);
    }
    if (!missing) {
        SearchEngineCatalog unreadable;
        unreadable.problems.push_back(std::string(kSearchEnginesFileName) +
                                      " cannot be read: no search engine is asked");
        return unreadable;
    }
    working.ReplaceFile(kSearchEnginesFileName, DefaultSearchEnginesText());
    return ParseSearchEngines(DefaultSearchEnginesText());
}

}  // namespace tarnwick
