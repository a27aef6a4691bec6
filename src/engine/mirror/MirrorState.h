#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/mirror/LinkSpan.h"
#include "engine/mirror/StoredNames.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

// What identifies the version of a stored address the server sent, as it sent them.
struct Validators {
    std::string etag;
    std::string lastModified;

    bool Any() const { return !etag.empty() || !lastModified.empty(); }
    bool operator==(const Validators&) const = default;
};

// What a portable copy keeps of one stored address to update itself on the next run: where it
// is, the validators the server sent with it, and for a page or style sheet the links on the
// site found in it, so the crawl goes on through it when it has not changed.
struct StoredRecord {
    std::string storedName;  // below the site folder
    StoredKind kind = StoredKind::Other;
    Validators validators;
    std::vector<std::pair<std::string, LinkUse>> links;

    bool operator==(const StoredRecord&) const = default;
};

// The records of every stored address, kept between runs in kStateFileName at the top of the
// site folder, one line a field:
//   # Tarnwick mirror state, version 1
//   url http://example.com/docs/
//   file docs/index.html
//   kind page                         (page, css or other)
//   etag "5f3a"
//   modified Tue, 02 Jan 2024 10:00:00 GMT
//   link res http://example.com/docs/a.png   (nav, frame, css or res)
//   end
// A record counts only once its "end" is read; a file of another version, or none, reads as no
// records, which means a full fetch.
class MirrorState {
public:
    static MirrorState Parse(std::string_view text);
    std::string Render() const;

    static MirrorState Load(ConfinedFolder& siteFolder);
    bool Save(ConfinedFolder& siteFolder) const;

    const StoredRecord* Find(const std::string& address) const;
    StoredRecord* Find(const std::string& address);
    void Put(const std::string& address, StoredRecord record);

private:
    std::unordered_map<std::string, StoredRecord> records_;
    std::vector<std::string> order_;  // addresses as first put, so the file reads in crawl order
};

}  // namespace tarnwick
