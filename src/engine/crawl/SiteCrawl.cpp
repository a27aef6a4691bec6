#include "engine/crawl/SiteCrawl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

constexpr long kNotModified = 304;
constexpr std::size_t kRobotsLimit = 512 * 1024;  // RFC 9309 asks for at least this
// Answers held for their turn, per connection: enough to keep every connection busy behind
// a slow one, few enough that the pages they hold stay small.
constexpr std::size_t kAheadPerConnection = 2;
constexpr std::chrono::milliseconds kPumpWait{100};

std::vector<std::string> RequestHeaders(const std::string& userAgent) {
    return {"Accept: */*", "User-Agent: " + userAgent};
}

// Asks for the body only if it changed since the version stored.
void AddValidators(std::vector<std::string>& headers, const Validators& validators) {
    if (!validators.etag.empty()) {
        headers.push_back("If-None-Match: " + validators.etag);
    }
    if (!validators.lastModified.empty()) {
        headers.push_back("If-Modified-Since: " + validators.lastModified);
    }
}

// The product token of a User-Agent ("Tarnwick" of "Tarnwick/1.0.0"): the name robots.txt
// groups are matched on.
std::string_view ProductToken(std::string_view userAgent) {
    return userAgent.substr(0, userAgent.find_first_of("/ "));
}

std::string Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

bool IsRedirect(long responseCode) {
    return responseCode >= 300 && responseCode < 400;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// A URL the crawl can parse as a web address: http or https with a host.
bool IsWebUrl(std::string_view url) {
    for (const std::string_view scheme : {"http://", "https://"}) {
        if (StartsWithIgnoreCase(url, scheme)) {
            return url.size() > scheme.size() && url[scheme.size()] != '/';
        }
    }
    return false;
}

// Local names use '/' only; a '\' from a URL is a separator as well.
std::string Slashed(std::string_view text) {
    std::string slashed(text);
    for (char& c : slashed) {
        if (c == '\\') {
            c = '/';
        }
    }
    return slashed;
}

std::string LinksFoundText(int count) {
    char text[64];
    std::snprintf(text, sizeof text, "%d links found", count);
    return text;
}

std::string BytesReadText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "%.02fk read",
                  static_cast<double>(static_cast<float>(bytes) / 1024.0F));
    return text;
}

}  // namespace

SiteCrawl::SiteCrawl(WorkerContext& context, WebProject project, const WebProjectOptions& options)
    : context_(context),
      state_(context.state),
      project_(std::move(project)),
      reporter_(state_, ListCategory::RequestedWebSites, context.entry),
      keepPages_(project_.downloadAll != 0 || project_.getHtm != 0),
      folder_(context.workingDirectory, project_.name),
      links_(project_, folder_.AbsolutePath(), options.maxDepth),
      delayMs_(options.delayMs),
      // With a delay between requests there is nothing to overlap.
      connections_(options.delayMs > 0 ? 1 : std::max(1, options.connections)),
      readRobots_(options.portable && !options.ignoreRobots),
      session_(context.gate, context.caBundlePath),
      transfers_(context.gate, context.caBundlePath, connections_) {
    progress_.crawl.emplace();
    if (options.portable) {
        copy_.emplace(project_, options, folder_);
    }
}

Outcome SiteCrawl::Run() {
    if (Start()) {
        if (copy_) {
            CrawlPortable();
        } else {
            CrawlByLines();
        }
        EchoProgress(true);
        if (copy_ && !Stopped() && !copy_->Finish()) {
            const std::string text = "Error creating " + folder_.RelativePath();
            tally_.NoteFailure({OutcomeKind::Disk, text}, true);
            NoteGone(reporter_.Report({.status = text, .panelStatus = text}));
        }
        if (!Stopped()) {
            Finish();
        }
    }
    StopBusyAnimation(state_);
    RemoveRunningJob(state_, state_.RunningSiteJobs, context_.entry, context_.gate);
    return Ending();
}

Outcome SiteCrawl::Ending() const {
    if (projectGone_) {
        return {OutcomeKind::Cancelled, "Deleted"};
    }
    if (cancelled_) {
        return {OutcomeKind::Interrupted, {}};
    }
    return tally_.Result();
}

bool SiteCrawl::Start() {
    // A start address that cannot be parsed is tried the old way, which reports it.
    if (copy_ && !copy_->Links().QueueStart(Trimmed(project_.startUrl))) {
        copy_.reset();
    }
    if (!copy_) {
        links_.QueueStart(project_.startUrl);
    }
    if (!reporter_.IsListed()) {
        projectGone_ = true;
        return false;
    }
    state_.ui.CrawlBegan(context_.entry, project_.name);
    StartBusyAnimation(state_);
    if (copy_ && readRobots_) {
        ReadRobots();
    }
    return true;
}

void SiteCrawl::ReadRobots() {
    HttpRequest request;
    request.url = std::string(copy_->Links().Start().Origin()) + "/robots.txt";
    request.headers = RequestHeaders(context_.userAgent);
    std::string text;
    TransferResult result;
    bool ended = false;
    transfers_.Start(
        request,
        [&](const ResponseHead&, std::string_view data) {
            text.append(data.substr(0, kRobotsLimit - std::min(text.size(), kRobotsLimit)));
            return true;
        },
        [&](const TransferResult& outcome, const ResponseHead&) {
            result = outcome;
            ended = true;
        });
    while (!ended) {
        transfers_.Pump(kPumpWait);
    }
    if (result.ok && result.responseCode == 200) {
        copy_->Links().SetRobots(RobotsRules(text, ProductToken(context_.userAgent)));
    }
}

SiteCrawl::UrlFetch SiteCrawl::NextFetch() {
    UrlFetch fetch;
    fetch.isStart = nextIsStart_;
    nextIsStart_ = false;
    if (copy_) {
        fetch.target = copy_->Links().Next();
        fetch.url = fetch.target.url;
    } else {
        fetch.url = Trimmed(links_.Next());
    }
    return fetch;
}

void SiteCrawl::WaitPolitely() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(delayMs_);
    // In short steps, so a cancel at exit is not kept waiting.
    while (!Stopped() && Clock::now() < until) {
        if (context_.gate && context_.gate->IsCancelled()) {
            cancelled_ = true;
            return;
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - Clock::now(), std::chrono::milliseconds(50)));
    }
}

bool SiteCrawl::PassGate() {
    if (context_.gate && !context_.gate->WaitWhilePaused()) {
        cancelled_ = true;
    }
    return !cancelled_;
}

void SiteCrawl::CrawlByLines() {
    while (HasNext() && PassGate() && !Stopped()) {
        UrlFetch fetch = NextFetch();
        if (!fetch.isStart) {
            WaitPolitely();
        }
        Fetch(fetch);
        EchoProgress(false);
        NoteGone(reporter_.IsListed());
    }
}

void SiteCrawl::CrawlPortable() {
    std::deque<std::unique_ptr<UrlFetch>> asked;  // in the order they were asked for
    while (PassGate() && !Stopped()) {
        while (!asked.empty() && asked.front()->ended && !Stopped()) {
            Settle(*asked.front(), asked.front()->result);
            if (asked.front()->claimedName) {
                namesBeingWritten_.erase(asked.front()->localName);
            }
            asked.pop_front();
            EchoProgress(false);
            NoteGone(reporter_.IsListed());
        }
        while (HasNext() && !Stopped() && transfers_.Running() < connections_ &&
               asked.size() < kAheadPerConnection * static_cast<std::size_t>(connections_)) {
            StartNext(asked);
        }
        if (asked.empty() || Stopped()) {
            break;
        }
        if (!asked.front()->ended) {
            transfers_.Pump(kPumpWait);
        }
        if (context_.gate && context_.gate->IsCancelled()) {
            cancelled_ = true;
        }
    }
    transfers_.DropAll();
}

void SiteCrawl::StartNext(std::deque<std::unique_ptr<UrlFetch>>& asked) {
    auto fetch = std::make_unique<UrlFetch>(NextFetch());
    if (!fetch->isStart) {
        WaitPolitely();
    }
    const HttpRequest request = RequestFor(*fetch);
    if (Stopped()) {
        return;
    }
    UrlFetch* started = fetch.get();
    transfers_.Start(
        request,
        [this, started](const ResponseHead& head, std::string_view data) {
            return OnData(*started, head.status, data);
        },
        [started](const TransferResult& result, const ResponseHead& head) {
            started->result = result;
            started->head = head;
            started->ended = true;
        });
    asked.push_back(std::move(fetch));
}

HttpRequest SiteCrawl::RequestFor(UrlFetch& fetch) {
    // The fetch is tried all the same; its outcome tells what became of it.
    if (!IsWebUrl(fetch.url)) {
        NoteGone(reporter_.EchoStatus("Malformed URL : " + fetch.url));
    }
    NoteGone(reporter_.EchoLastAction("Opening " + fetch.url));
    HttpRequest request;
    request.url = fetch.url;
    request.headers = RequestHeaders(context_.userAgent);
    if (const StoredRecord* previous = copy_ ? copy_->Previous(fetch.url) : nullptr) {
        AddValidators(request.headers, previous->validators);
        fetch.revalidating = true;
    }
    return request;
}

void SiteCrawl::Fetch(UrlFetch& fetch) {
    const HttpRequest request = RequestFor(fetch);
    if (Stopped()) {
        return;
    }
    const TransferResult result = session_.Get(request, [&](std::string_view data) {
        return OnData(fetch, session_.ResponseCode(), data);
    });
    if (context_.gate && context_.gate->IsCancelled()) {
        cancelled_ = true;
    }
    Settle(fetch, result);
}

void SiteCrawl::Settle(UrlFetch& fetch, const TransferResult& result) {
    if (Stopped()) {
        return;
    }
    // An answer with no body decides here; one other than 200 is skipped even when its body
    // broke off, as its body was never wanted.
    const bool answered = result.responseCode != 0;
    if (fetch.body == Body::Undecided && (result.ok || (answered && result.responseCode != 200))) {
        Decide(fetch, result.responseCode);
    }
    if (fetch.body == Body::Ignored) {
        NoteAnswer(fetch, result.responseCode);
        return;
    }
    if (fetch.body == Body::Skipped) {
        return;
    }
    if (fetch.body == Body::Refused) {
        RefuseFile(fetch);
        return;
    }
    if (Stopped()) {
        return;
    }
    if (!result.ok && !fetch.writeFailed) {
        EchoLinksFound(true);
        ReportTransferError(fetch, {result.failure, result.errorText});
        return;
    }
    Complete(fetch);
}

bool SiteCrawl::OnData(UrlFetch& fetch, long responseCode, std::string_view data) {
    if (!PassGate()) {
        return false;
    }
    progress_.done += data.size();
    speed_.Add(data.size());
    if (fetch.body == Body::Undecided) {
        Decide(fetch, responseCode, data);
    }
    if (Stopped()) {
        return false;
    }
    switch (fetch.body) {
        case Body::Page:
            return fetch.lines.Feed(data, [&](std::string& line, bool complete) {
                return OnPageLine(fetch, line, complete);
            });
        case Body::File:
            return OnFileBlock(fetch, data);
        case Body::Ignored:
            return true;  // read to its end, so the connection can serve the next URL
        default:
            return false;
    }
}

void SiteCrawl::Decide(UrlFetch& fetch, long responseCode, std::string_view firstBytes) {
    if (responseCode != 200) {
        fetch.body = Body::Ignored;  // noted once read, in the crawl's order
        return;
    }
    NoteGone(reporter_.EchoLastAction("Reading " + fetch.url));
    if (copy_) {
        DecideStored(fetch, firstBytes);
        return;
    }
    LinkExtractor::LocalSubfolder(links_.StartRoot(), fetch.url, fetch.subfolder);
    if (LinkExtractor::IsPageUrl(fetch.url)) {
        DecidePage(fetch);
    } else {
        DecideFile(fetch);
    }
}

void SiteCrawl::NoteAnswer(UrlFetch& fetch, long responseCode) {
    if (fetch.revalidating && responseCode == kNotModified) {
        state_.ui.FileStored(context_.entry, project_.name, copy_->NoteUnchanged(fetch.target));
        tally_.NoteHeld();
        EchoLinksFound(false);
        return;
    }
    if (copy_ && IsRedirect(responseCode) && FollowRedirect(fetch)) {
        return;
    }
    NoteGone(reporter_.EchoStatus(fetch.url + " not found"));
    if (copy_) {
        const bool redirect = IsRedirect(responseCode);
        copy_->Report().NoteFailed(fetch.url,
                                   (redirect ? "redirected, not followed (HTTP " : "HTTP ") +
                                       std::to_string(responseCode) + (redirect ? ")" : ""));
    }
    // Nothing of the site came, so the crawl cannot count as a success.
    if (fetch.isStart) {
        tally_.NoteFailure({OutcomeKind::ServerRefused, fetch.url + " not found"}, true);
    }
}

bool SiteCrawl::FollowRedirect(UrlFetch& fetch) {
    const std::string& location = fetch.head.location;
    const std::optional<Url> from = Url::Parse(fetch.url);
    const std::optional<Url> to =
        from && !location.empty() ? from->Resolve(location) : std::nullopt;
    // One that leaves the site must not lead the crawl.
    if (!to || !copy_->Links().FollowRedirect(fetch.target, *to)) {
        return false;
    }
    copy_->NoteRedirect(fetch.url, to->Text());
    // Where the start address redirects is the start page: it comes next, as the queue held
    // nothing else.
    nextIsStart_ = fetch.isStart;
    return true;
}

void SiteCrawl::DecidePage(UrlFetch& fetch) {
    NoteGone(reporter_.EchoLastAction("Retrieving links..."));
    fetch.localName = PageLocalName(fetch);
    if (keepPages_) {
        fetch.file = folder_.CreateFile(fetch.localName);
        if (!fetch.file.IsOpen()) {
            fetch.body = Body::Refused;
            NoteGone(reporter_.EchoStatus("Error creating " + fetch.localName));
            return;
        }
    }
    fetch.body = Body::Page;
}

std::string SiteCrawl::PageLocalName(const UrlFetch& fetch) {
    const std::string& url = fetch.url;
    const std::string folder = folder_.RelativePath() + Slashed(fetch.subfolder);
    const std::size_t lastSlash = url.rfind('/');
    const std::size_t schemeSlashes = url.find("//");
    const bool bareHost = schemeSlashes != std::string::npos && lastSlash == schemeSlashes + 1;
    if (lastSlash == std::string::npos || bareHost || lastSlash + 1 == url.size()) {
        return folder + "/default.htm";
    }
    if (LinkExtractor::HasIllegalChars(url)) {
        return folder + "/file" + std::to_string(pageNumber_++) + ".htm";
    }
    return folder + "/" + Slashed(std::string_view(url).substr(lastSlash + 1));
}

void SiteCrawl::DecideFile(UrlFetch& fetch) {
    const std::size_t lastSlash = fetch.url.rfind('/');
    const std::string_view name =
        std::string_view(fetch.url).substr(lastSlash == std::string::npos ? 0 : lastSlash + 1);
    fetch.localName = folder_.RelativePath() + Slashed(fetch.subfolder) + "/" + Slashed(name);
    if (LinkExtractor::HasIllegalChars(fetch.localName)) {
        fetch.body = Body::Skipped;
        NoteGone(reporter_.EchoStatus(fetch.localName + " has illegal chars"));
        return;
    }
    fetch.body = Body::Refused;
    fetch.file = folder_.CreateFile(fetch.localName);
    if (!fetch.file.IsOpen()) {
        NoteGone(reporter_.EchoStatus("Error creating " + fetch.localName));
        return;
    }
    fetch.body = Body::File;
    NoteGone(reporter_.EchoLastAction("Dowloading " + fetch.localName + "..."));
}

void SiteCrawl::DecideStored(UrlFetch& fetch, std::string_view firstBytes) {
    fetch.kind = PortableCopy::KindOf(fetch.target, firstBytes);
    fetch.localName = copy_->LocalNameOf(fetch.target, fetch.kind);
    fetch.body = Body::File;
    if (fetch.kind == StoredKind::Page) {
        NoteGone(reporter_.EchoLastAction("Retrieving links..."));
        if (!keepPages_) {
            return;  // read for its links only
        }
    }
    if (!namesBeingWritten_.insert(fetch.localName).second) {
        fetch.nameTaken = true;
        return;
    }
    fetch.claimedName = true;
    fetch.file = folder_.CreateFile(fetch.localName);
    if (!fetch.file.IsOpen()) {
        fetch.body = Body::Refused;
        NoteGone(reporter_.EchoStatus("Error creating " + fetch.localName));
        return;
    }
    NoteGone(reporter_.EchoLastAction("Dowloading " + fetch.localName + "..."));
}

bool SiteCrawl::OnPageLine(UrlFetch& fetch, std::string& line, bool complete) {
    if (!PassGate()) {
        return false;
    }
    StartBusyAnimation(state_);
    if (links_.ScanLine(line, fetch.url, fetch.subfolder) > 0) {
        EchoLinksFound(false);
    }
    if (keepPages_ && (!fetch.file.Write(line) || (complete && !fetch.file.Write("\n")))) {
        fetch.writeFailed = true;
        return false;
    }
    return !Stopped();
}

bool SiteCrawl::OnFileBlock(UrlFetch& fetch, std::string_view block) {
    StartBusyAnimation(state_);
    if (fetch.kind != StoredKind::Other) {
        const std::size_t room = PortableCopy::kScanLimit - fetch.text.size();
        fetch.text.append(block.substr(0, std::min(room, block.size())));
    }
    const bool keep = !fetch.nameTaken && (fetch.kind != StoredKind::Page || keepPages_);
    if (keep && !fetch.file.Write(block)) {
        fetch.writeFailed = true;
        return false;
    }
    fetch.bytes += block.size();
    if (bytesThrottle_.ShouldReport()) {
        EchoBytesRead(fetch);
    }
    return !Stopped();
}

void SiteCrawl::EchoLinksFound(bool onlyHeldBack) {
    const bool due = onlyHeldBack ? linksThrottle_.TakeHeldBack() : linksThrottle_.ShouldReport();
    if (due) {
        NoteGone(reporter_.EchoStatus(LinksFoundText(LinksFound())));
    }
}

void SiteCrawl::EchoBytesRead(const UrlFetch& fetch) {
    NoteGone(reporter_.EchoStatus(BytesReadText(fetch.bytes)));
}

void SiteCrawl::EchoProgress(bool ended) {
    progress_.bytesPerSecond = ended ? 0 : speed_.BytesPerSecond();
    progress_.crawl->queued = LinksQueued();
    if (ended || progressThrottle_.ShouldReport()) {
        reporter_.Report({.progress = progress_});
    }
}

void SiteCrawl::Complete(UrlFetch& fetch) {
    if (fetch.body == Body::Page) {
        if (!fetch.writeFailed) {
            fetch.lines.Finish([&](std::string& line, bool complete) {
                return OnPageLine(fetch, line, complete);
            });
        }
        EchoLinksFound(true);
    } else if (bytesThrottle_.TakeHeldBack()) {
        EchoBytesRead(fetch);
    }
    const bool page = fetch.kind == StoredKind::Page || fetch.body == Body::Page;
    if (Stopped()) {
        return;
    }
    if (page && !keepPages_) {
        ++progress_.crawl->pages;  // read for its links only
        tally_.NoteHeld();
        if (copy_) {
            ScanWhole(fetch);
        }
        return;
    }
    if (fetch.nameTaken) {
        tally_.NoteHeld();
        const ResponseHead& head = fetch.head;
        copy_->NoteStored(fetch.target, fetch.kind, fetch.localName,
                          {head.etag, head.lastModified});
        ScanWhole(fetch);
        return;
    }
    // A file that could not be written whole is lost data, not a success.
    if (!fetch.file.Close() || fetch.writeFailed) {
        ReportTransferError(fetch, {OutcomeKind::Disk, "Error creating " + fetch.localName});
        return;
    }
    ++(page ? progress_.crawl->pages : progress_.crawl->files);
    tally_.NoteHeld();
    state_.ui.FileStored(context_.entry, project_.name, fetch.localName);
    if (copy_) {
        const ResponseHead& head = fetch.head;
        copy_->NoteStored(fetch.target, fetch.kind, fetch.localName,
                          {head.etag, head.lastModified});
        ScanWhole(fetch);
    }
}

void SiteCrawl::ScanWhole(UrlFetch& fetch) {
    if (fetch.kind == StoredKind::Other) {
        return;
    }
    const int before = LinksFound();
    copy_->Scan(fetch.target, fetch.kind, fetch.text);
    fetch.text = {};
    if (LinksFound() > before) {
        EchoLinksFound(false);
    }
    EchoLinksFound(true);
}

void SiteCrawl::ReportTransferError(UrlFetch& fetch, const Outcome& failure) {
    fetch.file.Close();  // what was written stays on disk
    tally_.NoteFailure(failure, true);
    if (copy_) {
        copy_->Report().NoteFailed(fetch.url, failure.text);
    }
    NoteGone(reporter_.Report({.status = failure.text, .panelStatus = failure.text}));
}

void SiteCrawl::RefuseFile(UrlFetch& fetch) {
    const std::string text = "Error creating " + fetch.localName;
    // The line scanner passes over a file it cannot make, as it always has; a portable copy
    // without it is not the copy asked for. Either way the crawl did not get all of it.
    tally_.NoteFailure({OutcomeKind::Disk, text}, copy_.has_value());
    if (copy_) {
        copy_->Report().NoteFailed(fetch.url, text);
    }
}

void SiteCrawl::Finish() {
    const std::string kSomeErrors = "Some errors occurred";
    if (tally_.KeepsRequested()) {
        NoteGone(reporter_.Report({.status = kSomeErrors,
                                   .kept = kSomeErrors,
                                   .save = true,
                                   .panelAction = "Download completed",
                                   .panelStatus = kSomeErrors}));
        return;
    }
    NoteGone(reporter_.MoveTo(ListCategory::DownloadedSites, "Success",
                              {.panelAction = "Download completed", .panelStatus = "Success"}));
}

}  // namespace tarnwick
