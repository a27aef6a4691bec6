#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick {

// What one run of a mirror did, written beside the copy at its end: the addresses stored,
// those the server said had not changed since the run before, those that failed with why, and each
// broken link with the pages that refer to it.
class CrawlReport {
public:
    void NoteReferrer(const std::string& target, const std::string& page);
    void NoteStored(const std::string& address, const std::string& storedName);
    void NoteUnchanged(const std::string& address, const std::string& storedName);
    void NoteFailed(const std::string& address, const std::string& reason);

    std::size_t StoredCount() const { return stored_.size(); }
    std::size_t UnchangedCount() const { return unchanged_.size(); }
    std::size_t FailedCount() const { return failed_.size(); }

    std::string Html(std::string_view startAddress) const;
    std::string Json(std::string_view startAddress) const;

private:
    struct Entry {
        std::string address;
        std::string detail;  // the stored name, or why it failed
    };

    // Fetched and unchanged addresses, listed alike with their stored files.
    struct StoredList {
        const std::vector<Entry>* entries;
        const char* title;  // of the HTML form
        const char* key;    // of the JSON form
    };

    std::array<StoredList, 2> StoredLists() const;
    std::vector<std::string> ReferrersOf(const std::string& address) const;

    std::vector<Entry> stored_;
    std::vector<Entry> unchanged_;
    std::vector<Entry> failed_;
    std::vector<std::string> pages_;  // referring pages, each once
    std::unordered_map<std::string, std::size_t> pageIndex_;
    std::unordered_map<std::string, std::vector<std::size_t>> referrers_;
};

}  // namespace tarnwick
