#include "engine/mirror/CrawlReport.h"

#include <array>

#include "model/JsonText.h"

namespace tarnwick {

namespace {

// Enough to find a broken link's pages; a link on every page of a large site is not listed
// thousands of times.
constexpr std::size_t kReferrersKept = 20;

std::string HtmlEscaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string JsonString(std::string_view text) {
    std::string json;
    AppendJsonString(json, text);
    return json;
}

}  // namespace

void CrawlReport::NoteReferrer(const std::string& target, const std::string& page) {
    auto [found, added] = pageIndex_.try_emplace(page, pages_.size());
    if (added) {
        pages_.push_back(page);
    }
    std::vector<std::size_t>& referrers = referrers_[target];
    if (referrers.size() < kReferrersKept &&
        (referrers.empty() || referrers.back() != found->second)) {
        referrers.push_back(found->second);
    }
}

void CrawlReport::NoteStored(const std::string& address, const std::string& storedName) {
    stored_.push_back({address, storedName});
}

void CrawlReport::NoteUnchanged(const std::string& address, const std::string& storedName) {
    unchanged_.push_back({address, storedName});
}

void CrawlReport::NoteFailed(const std::string& address, const std::string& reason) {
    failed_.push_back({address, reason});
}

std::array<CrawlReport::StoredList, 2> CrawlReport::StoredLists() const {
    return {{{&stored_, "Fetched", "fetched"}, {&unchanged_, "Unchanged", "unchanged"}}};
}

std::vector<std::string> CrawlReport::ReferrersOf(const std::string& address) const {
    std::vector<std::string> pages;
    if (const auto found = referrers_.find(address); found != referrers_.end()) {
        for (const std::size_t index : found->second) {
            pages.push_back(pages_[index]);
        }
    }
    return pages;
}

std::string CrawlReport::Html(std::string_view startAddress) const {
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Mirror of " +
                       HtmlEscaped(startAddress) + "</title></head><body>\n<h1>Mirror of " +
                       HtmlEscaped(startAddress) + "</h1>\n";
    html += "<p>" + std::to_string(stored_.size()) + " fetched, " +
            std::to_string(unchanged_.size()) + " unchanged, " + std::to_string(failed_.size()) +
            " failed.</p>\n<h2>Broken links</h2>\n<ul>\n";
    for (const Entry& failed : failed_) {
        html += "<li><a href=\"" + HtmlEscaped(failed.address) + "\">" +
                HtmlEscaped(failed.address) + "</a>: " + HtmlEscaped(failed.detail) + "<ul>\n";
        for (const std::string& page : ReferrersOf(failed.address)) {
            html += "<li>" + HtmlEscaped(page) + "</li>\n";
        }
        html += "</ul></li>\n";
    }
    html += "</ul>\n";
    for (const StoredList& list : StoredLists()) {
        html += "<h2>" + std::string(list.title) + "</h2>\n<ul>\n";
        for (const Entry& stored : *list.entries) {
            html += "<li><a href=\"" + HtmlEscaped(stored.detail) + "\">" +
                    HtmlEscaped(stored.address) + "</a></li>\n";
        }
        html += "</ul>\n";
    }
    return html + "</body></html>\n";
}

std::string CrawlReport::Json(std::string_view startAddress) const {
    std::string json = "{\n  \"start\": " + JsonString(startAddress);
    for (const StoredList& list : StoredLists()) {
        json += ",\n  \"" + std::string(list.key) + "\": [";
        for (std::size_t i = 0; i < list.entries->size(); ++i) {
            const Entry& stored = (*list.entries)[i];
            json += (i ? ",\n    " : "\n    ") + std::string("{\"url\": ") +
                    JsonString(stored.address) + ", \"file\": " + JsonString(stored.detail) + "}";
        }
        json += "\n  ]";
    }
    json += ",\n  \"failed\": [";
    for (std::size_t i = 0; i < failed_.size(); ++i) {
        json += (i ? ",\n    " : "\n    ") + std::string("{\"url\": ") +
                JsonString(failed_[i].address) + ", \"reason\": " + JsonString(failed_[i].detail) +
                ", \"referrers\": [";
        const std::vector<std::string> pages = ReferrersOf(failed_[i].address);
        for (std::size_t j = 0; j < pages.size(); ++j) {
            json += (j ? ", " : "") + JsonString(pages[j]);
        }
        json += "]}";
    }
    return json + "\n  ]\n}\n";
}

}  // namespace tarnwick
