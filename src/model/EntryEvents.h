#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/EntryId.h"
#include "model/ListCategory.h"
#include "model/Outcome.h"

namespace tarnwick {

// How far a site's crawl has come: what it has fetched and how many links wait.
struct CrawlCounts {
    int pages = 0;
    int files = 0;  // everything else stored: style sheets, images, ...
    int queued = 0;
};

// How far one requested file's transfer, or one site's crawl, has come. Unknown values are
// negative.
struct TransferSnapshot {
    std::uint64_t done = 0;            // bytes held, the resumed part included
    std::int64_t total = -1;           // the whole file's length; never known for a crawl
    double bytesPerSecond = 0;         // a smoothed average over the last seconds
    std::int64_t etaSeconds = -1;      // until the whole file is held, at that speed
    std::optional<CrawlCounts> crawl;  // a site's
};

// One entry as a front end shows it.
struct EntryView {
    ListCategory list = ListCategory::RequestedFiles;
    EntryId id = kNoEntry;
    std::string key;     // the URL of a file or a search result, the name of a project
    std::string status;  // its status text
};

// What changed of one entry. The key is always the entry's key as it is now.
struct EntryChange {
    ListCategory list = ListCategory::RequestedFiles;
    EntryId id = kNoEntry;
    std::string key;
    std::optional<std::string> status;         // its new status text, when that changed
    std::optional<TransferSnapshot> progress;  // how far its work has come, when reported
    bool held = false;  // paused: what it holds stays, its speed and time left no longer hold
};

// What happens to the entries of the lists, keyed by entry, as it happens: the window keeps
// its rows by them, the command line its progress lines and exit code, the tray its notices.
// Each call may come from any thread, returns once the subscriber has taken it, and is made
// with no lock of the shared state held. A subscriber overrides what it cares for.
class EntryEvents {
public:
    virtual ~EntryEvents() = default;
    // The entry joined the newest end of its list.
    virtual void EntryAdded(const EntryView& /*entry*/) {}
    virtual void EntryChanged(const EntryChange& /*change*/) {}
    // The entry left its list: deleted, or moved on to the downloaded ones.
    virtual void EntryRemoved(ListCategory /*list*/, EntryId /*id*/) {}
    // Every list was emptied at once.
    virtual void ListsEmptied() {}
    // The worker of the entry ended, so; entry is the entry as it was handed to the worker.
    virtual void EntryEnded(const EntryView& /*entry*/, const Outcome& /*outcome*/) {}
    // A crawl of the project began: what it stores is shown under its name.
    virtual void CrawlBegan(EntryId /*project*/, const std::string& /*name*/) {}
    // The crawl stored a file, named by its path below the working folder.
    virtual void FileStored(EntryId /*project*/, const std::string& /*name*/,
                            const std::string& /*localPath*/) {}
};

}  // namespace tarnwick
