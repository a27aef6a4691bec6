#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/crawl/CrawlLinks.h"
#include "engine/crawl/CrawlTally.h"
#include "engine/crawl/LineSplitter.h"
#include "engine/crawl/ProgressThrottle.h"
#include "engine/job/EntryReporter.h"
#include "engine/job/WorkerContext.h"
#include "engine/mirror/PortableCopy.h"
#include "engine/mirror/SiteFolder.h"
#include "engine/net/ConcurrentHttp.h"
#include "engine/net/HttpSession.h"
#include "engine/transfer/SpeedMeter.h"
#include "model/Records.h"
#include "model/WebProjectOptions.h"
#include "storage/FileWriter.h"

namespace tarnwick {

// One crawl of a web project: fetches the start URL and every admitted link, stores pages and
// files below the site folder, and at the end moves the project to the downloaded sites or
// leaves it requested with its errors. A project of the line scanner goes depth-first, one
// request at a time over one connection, and rewrites links as it reads each line. A portable
// copy keeps a few requests in flight over kept-alive connections, parses whole pages and style
// sheets, and rewrites them once all is fetched; what each answer brings (links, redirects, the
// report) is taken in the order the requests were made, so the copy is the same as one made a
// request at a time. It works
// from the copy of the project it was given and finds the listed project again by its id for
// every change; when the project is gone it ends quietly.
class SiteCrawl {
public:
    SiteCrawl(WorkerContext& context, WebProject project, const WebProjectOptions& options = {});
    Outcome Run();

private:
    // What the answer to the current URL turned out to be. Skipped: the line scanner's rule
    // keeps no file of such a name; Refused: its file could not be made.
    enum class Body { Undecided, Page, File, Ignored, Skipped, Refused };

    struct UrlFetch {
        std::string url;
        MirrorTarget target;  // of a portable copy
        StoredKind kind = StoredKind::Other;
        std::string text;  // a portable copy's page or style sheet, for its links
        bool isStart = false;
        bool revalidating = false;  // asked only for a change since the stored version
        Body body = Body::Undecided;
        std::string subfolder;
        std::string localName;
        FileWriter file;
        LineSplitter lines;
        std::uint64_t bytes = 0;
        bool writeFailed = false;
        // Another request in flight writes the stored name; this one only reads the links.
        bool nameTaken = false;
        bool claimedName = false;
        bool ended = false;  // of a portable copy's request, which ended with these:
        TransferResult result;
        ResponseHead head;
    };

    bool Start();
    void ReadRobots();
    bool HasNext() const { return copy_ ? !copy_->Links().IsEmpty() : !links_.IsEmpty(); }
    UrlFetch NextFetch();
    void WaitPolitely();
    void CrawlByLines();
    void CrawlPortable();
    // Starts the next request of a portable copy; it joins the back of those asked for.
    void StartNext(std::deque<std::unique_ptr<UrlFetch>>& asked);
    // Says what is opened and builds its request.
    HttpRequest RequestFor(UrlFetch& fetch);
    void Fetch(UrlFetch& fetch);
    // What the request's outcome makes of it, once its body has been read.
    void Settle(UrlFetch& fetch, const TransferResult& result);
    bool OnData(UrlFetch& fetch, long responseCode, std::string_view data);
    void Decide(UrlFetch& fetch, long responseCode, std::string_view firstBytes = {});
    // An answer other than 200: unchanged, a redirect followed, or not found.
    void NoteAnswer(UrlFetch& fetch, long responseCode);
    bool FollowRedirect(UrlFetch& fetch);
    void DecidePage(UrlFetch& fetch);
    void DecideFile(UrlFetch& fetch);
    void DecideStored(UrlFetch& fetch, std::string_view firstBytes);
    int LinksFound() const { return copy_ ? copy_->Links().LinksFound() : links_.LinksFound(); }
    std::string PageLocalName(const UrlFetch& fetch);
    bool OnPageLine(UrlFetch& fetch, std::string& line, bool complete);
    bool OnFileBlock(UrlFetch& fetch, std::string_view block);
    void Complete(UrlFetch& fetch);
    void ScanWhole(UrlFetch& fetch);
    void ReportTransferError(UrlFetch& fetch, const Outcome& failure);
    // The local file of the URL could not be made.
    void RefuseFile(UrlFetch& fetch);
    // onlyHeldBack: show the count only if a report of it was held back.
    void EchoLinksFound(bool onlyHeldBack);
    void EchoBytesRead(const UrlFetch& fetch);
    // The row's progress columns: bytes read, speed, what is stored and what waits. The
    // report at the end always goes out, with no speed.
    void EchoProgress(bool ended);
    int LinksQueued() const { return copy_ ? copy_->Links().QueuedCount() : links_.QueuedCount(); }
    void Finish();
    Outcome Ending() const;

    bool PassGate();
    bool Stopped() const { return cancelled_ || projectGone_; }
    void NoteGone(bool present) { projectGone_ = projectGone_ || !present; }

    WorkerContext& context_;
    SharedState& state_;
    WebProject project_;
    EntryReporter reporter_;
    bool keepPages_;
    SiteFolder folder_;
    CrawlLinks links_;
    std::optional<PortableCopy> copy_;
    int delayMs_ = 0;
    int connections_ = 1;
    bool readRobots_ = false;
    bool nextIsStart_ = true;   // the start address, or where it redirects on the site
    HttpSession session_;       // of the line scanner
    ConcurrentHttp transfers_;  // of a portable copy
    ProgressThrottle linksThrottle_;
    ProgressThrottle bytesThrottle_;
    // Overlapping requests for two addresses of one stored name ("dir/", "dir/index.html"):
    // the first to answer writes it, so no file is written by two at once.
    std::unordered_set<std::string> namesBeingWritten_;
    ProgressThrottle progressThrottle_;
    TransferSnapshot progress_;
    SpeedMeter speed_;
    int pageNumber_ = 0;
    CrawlTally tally_;
    bool cancelled_ = false;
    bool projectGone_ = false;
};

}  // namespace tarnwick
