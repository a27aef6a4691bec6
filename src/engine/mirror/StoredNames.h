#pragma once

#include <string>
#include <string_view>

#include "engine/net/Url.h"

namespace tarnwick {

// What a fetched file turned out to be; pages and style sheets get the ending a browser
// opening the copy from disk needs to show them.
enum class StoredKind { Page, StyleSheet, Other };

// The files of the copy's own, at the top of the site folder; no address is stored under them.
// The reports of a run:
inline constexpr std::string_view kReportPageName = "tarnwick-report.html";
inline constexpr std::string_view kReportDataName = "tarnwick-report.json";
// What the copy keeps between runs to update itself, beside the reports.
inline constexpr std::string_view kStateFileName = "tarnwick-state.txt";

// The name, below the site folder, a fetched address is stored under: its path decoded, a
// folder's address as index.html, the query kept after '@' ("style.css?v=2" becomes
// "style.css@v=2.css"), and ".html" or ".css" added where the path lacks it.
std::string StoredNameOf(const Url& address, StoredKind kind);

// The link from one stored file to another, both named below the site folder: relative, each
// segment escaped for a URL, with the fragment (without '#', empty for none) kept.
std::string RelativeLink(std::string_view fromName, std::string_view toName, bool hasFragment,
                         std::string_view fragment);

}  // namespace tarnwick
