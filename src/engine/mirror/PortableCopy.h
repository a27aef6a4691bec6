#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/mirror/CrawlReport.h"
#include "engine/mirror/MirrorLinks.h"
#include "engine/mirror/MirrorState.h"
#include "engine/mirror/SiteFolder.h"
#include "engine/mirror/StoredNames.h"

namespace tarnwick {

// The part of a crawl that makes a portable copy: it finds the links of each page and style
// sheet as it arrives, names what is stored, and once everything is fetched rewrites the
// stored pages and style sheets so their links lead to the stored files (or, for what was
// not fetched, to the server), then writes the run's report. What the run before stored and
// the server says has not changed is kept as it is, bytes and time, and its links are
// followed from what that run kept of them.
class PortableCopy {
public:
    // Pages and style sheets are read whole for their links up to this size.
    static constexpr std::size_t kScanLimit = 32u << 20;

    PortableCopy(WebProject project, const WebProjectOptions& options, SiteFolder& folder);

    MirrorLinks& Links() { return links_; }
    const MirrorLinks& Links() const { return links_; }
    CrawlReport& Report() { return report_; }

    // What an answer of 200 is, from the link that led to it and the body's first bytes.
    static StoredKind KindOf(const MirrorTarget& target, std::string_view firstBytes);
    // The local name (starting with the site folder's relative path) it is stored under.
    std::string LocalNameOf(const MirrorTarget& target, StoredKind kind) const;

    // What the run before kept of an address whose stored file is still there: its validators
    // make the request conditional.
    const StoredRecord* Previous(const std::string& address) const;

    // A page or style sheet that arrived whole: its links are offered to the queue.
    void Scan(const MirrorTarget& target, StoredKind kind, std::string_view body);
    void NoteStored(const MirrorTarget& target, StoredKind kind, const std::string& localName,
                    Validators validators);
    // The server said the Previous() file has not changed: it stays, and its links are offered.
    // Returns its local name.
    std::string NoteUnchanged(const MirrorTarget& target);
    // Links to an address that redirects on the site lead to where it redirects; a redirect
    // that closes a loop fails every address on the loop.
    void NoteRedirect(const std::string& from, const std::string& to);

    // Rewrites the links of what was stored, writes the report and what the next run needs;
    // false when a file could not be read or written again.
    bool Finish();

private:
    struct Document {
        std::string url;
        std::string storedName;
        StoredKind kind;
    };

    void Offer(const MirrorTarget& from, const Url& link, LinkUse use);
    const std::string* StoredNameFor(const std::string& address) const;
    std::optional<std::string> Mapped(const Document& document, const Url& base,
                                      std::string_view link) const;
    bool Rewrite(const Document& document);

    SiteFolder& folder_;
    MirrorLinks links_;
    CrawlReport report_;
    std::vector<Document> documents_;                           // pages and style sheets
    std::unordered_map<std::string, std::string> storedNames_;  // address -> stored name
    std::unordered_map<std::string, std::string> redirects_;    // address -> its target
    MirrorState previous_;                                      // of the run before
    MirrorState next_;                                          // for the run after
};

}  // namespace tarnwick
