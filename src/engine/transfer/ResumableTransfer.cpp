#include "engine/transfer/ResumableTransfer.h"

#include <algorithm>
#include <cstring>

#include "engine/net/TransferErrorText.h"
#include "engine/transfer/ContentRange.h"

namespace tarnwick {

namespace {

constexpr long kFirstErrorStatus = 400;
constexpr long kRangeNotSatisfiable = 416;
constexpr int kMostStartOvers = 2;  // a server whose answers never fit is then a failure
// A global limit shared by this many transfers still leaves each above the stall limit.
constexpr std::uint64_t kSharedLimitSplit = 64;

// 408 and 429 ask to come back later; 5xx is the server's own trouble.
bool IsTransientStatus(long status) {
    return status == 408 || status == 429 || (status >= 500 && status < 600);
}

std::string StatusText(long status) {
    return "The requested URL returned error: " + std::to_string(status);
}

// ETags compare by their opaque part: "W/" says only how the server made it.
std::string_view OpaqueTag(std::string_view tag) {
    if (tag.starts_with("W/")) {
        tag.remove_prefix(2);
    }
    return tag;
}

std::string RetryText(std::chrono::milliseconds wait, int retry, int retries,
                      const std::string& reason) {
    const auto seconds = (wait.count() + 999) / 1000;
    return "Retrying in " + std::to_string(seconds) + " s (" + std::to_string(retry) + " of " +
           std::to_string(retries) + "): " + reason;
}

}  // namespace

ResumableTransfer::ResumableTransfer(const TransferPolicy& policy,
                                     const FileRequestOptions& options,
                                     std::shared_ptr<JobGate> gate, ConfinedFolder& folder,
                                     std::string name, std::string url, TransferObserver& observer,
                                     RetryPlan& retries)
    : policy_(policy),
      options_(options),
      gate_(std::move(gate)),
      name_(std::move(name)),
      url_(std::move(url)),
      observer_(observer),
      retries_(retries),
      checksum_(options.checksum.empty() ? std::nullopt : ParseChecksum(options.checksum)),
      checksumRefused_(!options.checksum.empty() && !checksum_),
      part_(folder, name_, url_, checksum_) {
    ownLimit_.SetBytesPerSecond(options.limitBytesPerSecond);
}

bool ResumableTransfer::Cancelled() const {
    return gate_ != nullptr && gate_->IsCancelled();
}

std::optional<Outcome> ResumableTransfer::Prepare() {
    if (checksumRefused_) {
        return Outcome{OutcomeKind::BadRequest, "Not a checksum: " + options_.checksum};
    }
    part_.Load();
    total_ = part_.Metadata().length;
    mostHeld_ = part_.Held();
    // A link or folder planted under one of the names is never written through or replaced.
    if (!part_.TargetIsReplaceable()) {
        return Outcome{OutcomeKind::Disk, "Error creating " + name_};
    }
    return std::nullopt;
}

TransferLimits ResumableTransfer::Limits() const {
    TransferLimits limits;
    std::uint64_t stall = policy_.stallBytesPerSecond;
    // A speed limit below the stall limit must not make a limited transfer look stalled.
    if (options_.limitBytesPerSecond > 0) {
        stall = std::min(stall, options_.limitBytesPerSecond / 2);
    }
    if (policy_.sharedLimit != nullptr && policy_.sharedLimit->BytesPerSecond() > 0) {
        stall = std::min(stall, policy_.sharedLimit->BytesPerSecond() / kSharedLimitSplit);
    }
    limits.lowSpeedBytesPerSecond = std::max<std::uint64_t>(stall, 1);
    limits.lowSpeedTime = policy_.stallTime;
    limits.connectTimeout = policy_.connectTimeout;
    limits.maxBytesPerSecond = options_.limitBytesPerSecond;
    limits.holdWhilePaused = policy_.pauseKeepsConnection;
    return limits;
}

TransferSnapshot ResumableTransfer::Snapshot() const {
    TransferSnapshot snapshot;
    snapshot.done = part_.Held();
    snapshot.total = total_;
    snapshot.bytesPerSecond = speed_.BytesPerSecond();
    if (total_ >= 0) {
        const auto total = static_cast<std::uint64_t>(total_);
        snapshot.etaSeconds = speed_.SecondsFor(total > snapshot.done ? total - snapshot.done : 0);
    }
    return snapshot;
}

bool ResumableTransfer::Receive(std::string_view data) {
    if (expectedEnd_ >= 0 &&
        part_.Held() + data.size() > static_cast<std::uint64_t>(expectedEnd_)) {
        verdict_ = Verdict::Mismatch;  // more than the answer announced: not the file we hold
        return false;
    }
    if (!part_.Append(data)) {
        verdict_ = part_.CreateFailed() ? Verdict::CreateFailed : Verdict::WriteFailed;
        return false;
    }
    speed_.Add(data.size());
    if (!observer_.OnProgress(Snapshot())) {
        verdict_ = Verdict::Gone;
        return false;
    }
    part_.CommitIfDue();
    // Waiting here holds libcurl back, and TCP then holds the server back.
    std::chrono::nanoseconds wait = ownLimit_.Take(data.size());
    if (policy_.sharedLimit != nullptr) {
        wait = std::max(wait, policy_.sharedLimit->Take(data.size()));
    }
    if (wait.count() > 0 && gate_ != nullptr && !gate_->SleepFor(wait)) {
        verdict_ = Verdict::Cancelled;
        return false;
    }
    return true;
}

std::optional<ResumableTransfer::Step> ResumableTransfer::StepForVerdict() {
    if (Cancelled() || verdict_ == Verdict::Cancelled) {
        part_.Commit();
        return End(OutcomeKind::Interrupted);
    }
    switch (verdict_) {
        case Verdict::Gone:
            part_.Commit();
            return End(OutcomeKind::Cancelled);
        case Verdict::CreateFailed:
            return End(OutcomeKind::Disk, "Error creating " + name_);
        case Verdict::WriteFailed:
            part_.Commit();
            return End(OutcomeKind::Disk, "Error writing " + name_ + ": " +
                                              std::strerror(part_.ErrorNumber()) +
                                              " (the partial download is kept)");
        case Verdict::Mismatch:
            return StartOver("the server's answer does not fit the bytes held");
        default:
            return std::nullopt;
    }
}

ResumableTransfer::Step ResumableTransfer::StartOver(const std::string& reason) {
    // Ranges from this server are not to be trusted again in this run: the whole file is
    // asked for, so two versions are never spliced.
    rangesAllowed_ = false;
    if (!part_.Restart()) {
        return End(OutcomeKind::Disk,
                   "Error writing " + name_ + ": " + std::strerror(part_.ErrorNumber()));
    }
    total_ = -1;
    if (++startOvers_ > kMostStartOvers) {
        return Retry(Outcome{OutcomeKind::Mismatch, reason}, -1, false);
    }
    return Again();
}

ResumableTransfer::Step ResumableTransfer::Retry(const Outcome& failure,
                                                 std::int64_t retryAfterSeconds, bool wasPaused) {
    part_.Commit();
    if (part_.Held() > mostHeld_) {
        mostHeld_ = part_.Held();
        retries_.NoteProgress();
    }
    // The connection died while the user held the transfer: not the network's failure.
    if (wasPaused) {
        return Again();
    }
    const auto announce = [&](std::chrono::milliseconds wait, int retry, int retries) {
        observer_.OnRetry(RetryText(wait, retry, retries, failure.text));
    };
    switch (retries_.AfterFailure(retryAfterSeconds, announce)) {
        case RetryPlan::Next::Retry:
            return Again();
        case RetryPlan::Next::Cancelled:
            return End(OutcomeKind::Interrupted);
        case RetryPlan::Next::GiveUp:
            break;
    }
    return Step{false, failure};
}

ResumableTransfer::Step ResumableTransfer::AfterFailedRequest(const TransferResult& result) {
    const Outcome failure{result.failure, TransferErrorText(result.errorText)};
    if (result.transient || result.wasPaused) {
        return Retry(failure, -1, result.wasPaused);
    }
    return Step{false, failure};
}

ResumableTransfer::Step ResumableTransfer::AfterLongPause() {
    part_.Commit();
    if (gate_ != nullptr && !gate_->WaitWhilePaused()) {
        return End(OutcomeKind::Interrupted);
    }
    return Again();
}

ResumableTransfer::Step ResumableTransfer::Finish() {
    switch (part_.Finish()) {
        case PartialFile::Finished::Done:
            return End(OutcomeKind::Done, "Success");
        case PartialFile::Finished::CreateFailed:
            return End(OutcomeKind::Disk, "Error creating " + name_);
        case PartialFile::Finished::WriteFailed:
            return End(OutcomeKind::Disk, "Error writing " + name_ + ": " +
                                              std::strerror(part_.ErrorNumber()) +
                                              " (the partial download is kept)");
        case PartialFile::Finished::ChecksumMismatch:
            break;
    }
    return End(OutcomeKind::Mismatch, "Checksum mismatch: " + part_.MismatchText() + "; kept as " +
                                          PartialNamesFor(name_).data);
}

// ---- HTTP ----

Outcome ResumableTransfer::RunHttp(HttpSession& session, const std::string& userAgent) {
    userAgent_ = userAgent;
    if (auto refused = Prepare()) {
        return *refused;
    }
    while (true) {
        if (gate_ != nullptr && !gate_->WaitWhilePaused()) {
            part_.Commit();
            return Outcome{OutcomeKind::Interrupted, {}};
        }
        // Every byte is held already: the server is asked whether they are still the file.
        const bool complete =
            part_.Held() > 0 && total_ >= 0 && part_.Held() == static_cast<std::uint64_t>(total_);
        Step step = complete && rangesAllowed_ ? ConfirmComplete(session) : HttpAttempt(session);
        if (!step.again) {
            return step.outcome;
        }
    }
}

ResumableTransfer::Verdict ResumableTransfer::DecideHttp(const ResponseHead& head,
                                                         std::uint64_t offset, bool ranged) {
    const TransferMetadata& held = part_.Metadata();
    if (head.status == 206) {
        const std::optional<ContentRange> range = ParseContentRange(head.contentRange);
        if (!ranged || !range || range->first != offset) {
            return Verdict::Mismatch;
        }
        const std::int64_t total = range->total >= 0 ? range->total : held.length;
        const bool lengthChanged =
            held.length >= 0 && range->total >= 0 && range->total != held.length;
        const bool wrongLength =
            head.contentLength >= 0 &&
            static_cast<std::uint64_t>(head.contentLength) != range->last - range->first + 1;
        const bool tagChanged = !held.etag.empty() && !head.etag.empty() &&
                                OpaqueTag(held.etag) != OpaqueTag(head.etag);
        if (lengthChanged || wrongLength || tagChanged) {
            return Verdict::Mismatch;
        }
        expectedEnd_ = static_cast<std::int64_t>(range->last + 1);
        total_ = total;
        return Verdict::Accepted;
    }
    if (head.status >= 200 && head.status < 300) {
        // The whole file: the server ignores ranges, or the file changed since the bytes held
        // came. Either way it starts over from its first byte.
        if (offset > 0 && !part_.Restart()) {
            return Verdict::WriteFailed;
        }
        total_ = head.contentLength;
        expectedEnd_ = head.contentLength;
        part_.SetRemote(head.contentLength, head.etag, head.lastModified, -1);
        return Verdict::Accepted;
    }
    return Verdict::Refused;
}

HttpRequest ResumableTransfer::NewHttpRequest() const {
    HttpRequest request;
    request.url = url_;
    request.headers.push_back("User-Agent: " + userAgent_);
    request.followRedirects = true;
    request.limits = Limits();
    return request;
}

ResumableTransfer::Step ResumableTransfer::HttpAttempt(HttpSession& session) {
    const std::uint64_t offset = part_.Held();
    const bool ranged = offset > 0 && rangesAllowed_;
    HttpRequest request = NewHttpRequest();
    if (ranged) {
        request.range = std::to_string(offset) + "-";
        const std::string validator = IfRangeValidator(part_.Metadata());
        if (!validator.empty()) {
            request.headers.push_back("If-Range: " + validator);
        }
    }
    verdict_ = Verdict::None;
    expectedEnd_ = -1;
    const TransferResult result = session.Get(
        request,
        [&](std::string_view data) {
            if (verdict_ == Verdict::None) {
                verdict_ = DecideHttp(session.Head(), offset, ranged);
            }
            return verdict_ == Verdict::Accepted && Receive(data);
        },
        [this] { part_.CommitIfDue(); });
    const ResponseHead& head = session.Head();
    if (verdict_ == Verdict::None && result.ok) {
        verdict_ = DecideHttp(head, offset, ranged);  // an answer without a body
    }
    if (auto step = StepForVerdict()) {
        return *step;
    }
    if (result.pausedTooLong) {
        return AfterLongPause();
    }
    if (verdict_ == Verdict::Refused) {
        if (head.status == kRangeNotSatisfiable) {
            return ConfirmComplete(session);
        }
        if (head.status >= kFirstErrorStatus && IsTransientStatus(head.status)) {
            return Retry(Outcome{OutcomeKind::ServerRefused, StatusText(head.status)},
                         head.retryAfterSeconds, result.wasPaused);
        }
        if (head.status >= kFirstErrorStatus) {
            return End(OutcomeKind::ServerRefused, StatusText(head.status));
        }
        // A 304 to a request that named no version, or a 1xx or 3xx left over: no file came.
        return End(OutcomeKind::ServerRefused, "Unexpected answer " + std::to_string(head.status));
    }
    if (!result.ok) {
        return AfterFailedRequest(result);
    }
    const std::uint64_t held = part_.Held();
    if (expectedEnd_ >= 0 && held < static_cast<std::uint64_t>(expectedEnd_)) {
        return Retry(
            Outcome{OutcomeKind::Network,
                    "The transfer ended " + std::to_string(expectedEnd_ - held) + " bytes short"},
            -1, result.wasPaused);
    }
    if (total_ >= 0 && held < static_cast<std::uint64_t>(total_)) {
        // A server may answer a range with less than was asked: ask for the rest.
        if (held > mostHeld_) {
            mostHeld_ = held;
            retries_.NoteProgress();
            return Again();
        }
        return Retry(Outcome{OutcomeKind::Network, "The server sent nothing more of the file"}, -1,
                     false);
    }
    return Finish();
}

// The server has no bytes past those held (a 416, or all were held already): a HEAD says
// whether they are still the whole file, so that completeness is checked, not assumed.
ResumableTransfer::Step ResumableTransfer::ConfirmComplete(HttpSession& session) {
    const std::uint64_t held = part_.Held();
    HttpRequest request = NewHttpRequest();
    request.headOnly = true;
    const TransferResult result = session.Get(request, [](std::string_view) { return true; });
    if (Cancelled()) {
        return End(OutcomeKind::Interrupted);
    }
    if (result.pausedTooLong) {
        return AfterLongPause();
    }
    const ResponseHead& head = session.Head();
    if (!result.ok) {
        return AfterFailedRequest(result);
    }
    if (IsTransientStatus(head.status)) {
        return Retry(Outcome{OutcomeKind::ServerRefused, StatusText(head.status)},
                     head.retryAfterSeconds, result.wasPaused);
    }
    const TransferMetadata& known = part_.Metadata();
    const bool sameTag =
        known.etag.empty() || head.etag.empty() || OpaqueTag(known.etag) == OpaqueTag(head.etag);
    const bool sameDate = !known.etag.empty() || known.lastModified.empty() ||
                          head.lastModified.empty() || known.lastModified == head.lastModified;
    if (head.status == 200 && held > 0 && head.contentLength >= 0 &&
        static_cast<std::uint64_t>(head.contentLength) == held && sameTag && sameDate) {
        total_ = head.contentLength;
        return Finish();
    }
    return StartOver("the file on the server is not the one held");
}

// ---- FTP ----

Outcome ResumableTransfer::RunFtp(FtpSession& session, const std::string& remoteName) {
    if (auto refused = Prepare()) {
        return *refused;
    }
    while (true) {
        if (gate_ != nullptr && !gate_->WaitWhilePaused()) {
            part_.Commit();
            return Outcome{OutcomeKind::Interrupted, {}};
        }
        Step step = FtpAttempt(session, remoteName);
        if (!step.again) {
            return step.outcome;
        }
    }
}

ResumableTransfer::Step ResumableTransfer::FtpAttempt(FtpSession& session,
                                                      const std::string& remoteName) {
    FtpFileFacts facts;
    const TransferResult asked = session.Facts(remoteName, facts);
    if (Cancelled()) {
        return End(OutcomeKind::Interrupted);
    }
    if (!asked.ok) {
        return AfterFailedRequest(asked);
    }
    // REST continues only bytes that SIZE and MDTM vouch for: a file whose size or time
    // changed, or that the server will not describe, starts over.
    const TransferMetadata& known = part_.Metadata();
    const bool described = facts.size >= 0;
    const bool changed =
        known.length != facts.size ||
        (known.modified >= 0 && facts.modified >= 0 && known.modified != facts.modified) ||
        (known.modified < 0) != (facts.modified < 0);
    if (part_.Held() > 0 && (!described || changed)) {
        if (!part_.Restart()) {
            return End(OutcomeKind::Disk,
                       "Error writing " + name_ + ": " + std::strerror(part_.ErrorNumber()));
        }
    }
    part_.SetRemote(facts.size, {}, {}, facts.modified);
    total_ = facts.size;
    expectedEnd_ = facts.size;
    const std::uint64_t offset = part_.Held();
    if (described && offset == static_cast<std::uint64_t>(facts.size) && offset > 0) {
        return Finish();
    }
    verdict_ = Verdict::None;
    const TransferResult result = session.Retrieve(
        remoteName,
        [&](std::string_view data) {
            verdict_ = Verdict::Accepted;
            return Receive(data);
        },
        offset, Limits(), [this] { part_.CommitIfDue(); });
    if (auto step = StepForVerdict()) {
        return *step;
    }
    if (result.pausedTooLong) {
        return AfterLongPause();
    }
    if (!result.ok) {
        return AfterFailedRequest(result);
    }
    const std::uint64_t held = part_.Held();
    if (described && held < static_cast<std::uint64_t>(facts.size)) {
        return Retry(Outcome{OutcomeKind::Network,
                             "The transfer ended " +
                                 std::to_string(facts.size - static_cast<std::int64_t>(held)) +
                                 " bytes short"},
                     -1, result.wasPaused);
    }
    return Finish();
}

}  // namespace tarnwick
