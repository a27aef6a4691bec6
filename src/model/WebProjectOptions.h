#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "model/Settings.h"

namespace tarnwick {

// A web project's settings beyond its record in reqwebs.data, which keeps its format.
struct WebProjectOptions {
    int maxDepth = 0;  // links away from the start page; 0 sets no limit
    // A portable copy: links found by parsing HTML and CSS, rewritten relative to each page,
    // admission by scheme, host and port, robots.txt, and a report of the run. Projects made
    // before it keep the line scanner's copy, with links to the folder it was made in.
    bool portable = false;
    bool requisites = false;    // keep what pages need to display, whatever its type
    bool ignoreRobots = false;  // of a portable copy
    bool noAscend = false;      // only what lies at or below the start page's folder
    int delayMs = 0;            // between two requests to the site
    // Of a portable copy: requests in flight at once, each connection kept alive; a delay
    // keeps it to one.
    int connections = kDefaultConnections;
    static constexpr int kDefaultConnections = 4;
    static constexpr int kMaxConnections = 16;  // beyond this a crawl is a burden to the site

    bool operator==(const WebProjectOptions&) const = default;
};

// What an order sets of a project's options; what it leaves unset stays as the project has it.
struct WebProjectOptionChanges {
    std::optional<int> maxDepth;
    std::optional<bool> portable;
    std::optional<bool> requisites;
    std::optional<bool> ignoreRobots;
    std::optional<bool> noAscend;
    std::optional<int> delayMs;
    std::optional<int> connections;

    bool Any() const { return *this != WebProjectOptionChanges{}; }
    void ApplyTo(WebProjectOptions& options) const;
    bool operator==(const WebProjectOptionChanges&) const = default;
};

// The changes as lines of the options file below ("depth=3"), and back: nothing when a line
// is not one of them.
std::string RenderWebProjectOptionChanges(const WebProjectOptionChanges& changes);
std::optional<WebProjectOptionChanges> ParseWebProjectOptionChanges(std::string_view text);

// The options a project made now starts with: a portable copy with its requisites, and the
// politeness the settings give new projects.
WebProjectOptions NewWebProjectOptions(const Settings& settings = {});

// The options of every project that has any, by project name, as kept in `webprojects.ini`
// in the working folder:
//   # comment lines and blank lines are ignored
//   [project name]
//   depth=3
//   portable=1
//   requisites=1
//   robots=ignore       (or obey, the default)
//   noascend=1
//   delay=250
//   connections=4
// A missing or unreadable file reads as no options; unknown keys and malformed lines are
// passed over, so a file edited by hand or written by a later version still loads.
using WebProjectOptionsFile = std::map<std::string, WebProjectOptions>;

inline constexpr const char* kWebProjectOptionsFileName = "webprojects.ini";

WebProjectOptionsFile ParseWebProjectOptions(std::string_view text);
std::string RenderWebProjectOptions(const WebProjectOptionsFile& options);

WebProjectOptionsFile LoadWebProjectOptions(const std::filesystem::path& folder);
// The options of one project, defaults when it has none.
WebProjectOptions LoadWebProjectOptions(const std::filesystem::path& folder,
                                        const std::string& projectName);
// Sets one project's options, or removes them when given nothing (defaults are not kept),
// and writes the file atomically; false when it cannot be written, the old file then staying.
bool StoreWebProjectOptions(const std::filesystem::path& folder, const std::string& projectName,
                            const std::optional<WebProjectOptions>& options);

}  // namespace tarnwick
