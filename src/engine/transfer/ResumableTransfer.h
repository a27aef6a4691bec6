#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/net/FtpSession.h"
#include "engine/net/HttpSession.h"
#include "engine/transfer/PartialFile.h"
#include "engine/transfer/RetryPlan.h"
#include "engine/transfer/SpeedMeter.h"
#include "engine/transfer/TransferPolicy.h"
#include "model/EntryEvents.h"
#include "model/FileRequestOptions.h"
#include "model/JobGate.h"
#include "model/Outcome.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

// What a transfer tells the worker that runs it.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // Progress, with every block that arrives; false stops the transfer (its entry is gone).
    virtual bool OnProgress(const TransferSnapshot& progress) = 0;
    // A transient failure, and the wait before the next attempt.
    virtual void OnRetry(const std::string& text) = 0;
};

// One file fetched over HTTP(S) or FTP into Files/ so that it finishes whatever happens:
// the bytes go to a partial file with metadata beside it; each attempt continues where the
// last stopped (a Range with If-Range, or FTP's REST checked against SIZE and MDTM) and an
// answer that does not fit what is held starts the file over, never splicing two versions;
// transient failures are retried by the RetryPlan; the speed limits and stall detection of
// the policy hold; a long pause lets the connection go and the resume reconnects. It ends
// Done with the file in place, Interrupted when the job's gate was cancelled (exit),
// Cancelled when the observer said stop, or failed with the failure's own kind and text (what
// was received stays as the partial file).
class ResumableTransfer {
public:
    ResumableTransfer(const TransferPolicy& policy, const FileRequestOptions& options,
                      std::shared_ptr<JobGate> gate, ConfinedFolder& folder, std::string name,
                      std::string url, TransferObserver& observer, RetryPlan& retries);

    // userAgent: sent with every request, as the crawler sends it.
    Outcome RunHttp(HttpSession& session, const std::string& userAgent);
    // remoteName: the file in the session's current directory.
    Outcome RunFtp(FtpSession& session, const std::string& remoteName);

private:
    // What became of the answer being received.
    enum class Verdict {
        None,
        Accepted,
        Refused,
        Mismatch,
        CreateFailed,
        WriteFailed,
        Gone,
        Cancelled
    };
    // What the run does after an attempt.
    struct Step {
        bool again = false;
        Outcome outcome;
    };

    std::optional<Outcome> Prepare();
    HttpRequest NewHttpRequest() const;
    Step HttpAttempt(HttpSession& session);
    Step ConfirmComplete(HttpSession& session);
    Step FtpAttempt(FtpSession& session, const std::string& remoteName);
    Verdict DecideHttp(const ResponseHead& head, std::uint64_t offset, bool ranged);
    bool Receive(std::string_view data);
    // The outcome of a verdict that ends the attempt whatever the network said, if any.
    std::optional<Step> StepForVerdict();
    Step StartOver(const std::string& reason);
    // A failure another attempt may not meet is retried while the plan allows; then it ends
    // the transfer with its kind.
    Step Retry(const Outcome& failure, std::int64_t retryAfterSeconds, bool wasPaused);
    // What a failed request of the libcurl layer leads to: a retry when it may pass, else the
    // end.
    Step AfterFailedRequest(const TransferResult& result);
    Step AfterLongPause();
    Step Finish();
    TransferLimits Limits() const;
    TransferSnapshot Snapshot() const;
    bool Cancelled() const;
    static Step Again() { return Step{true, {}}; }
    static Step End(OutcomeKind kind, std::string text = {}) {
        return Step{false, Outcome{kind, std::move(text)}};
    }

    const TransferPolicy& policy_;
    const FileRequestOptions& options_;
    std::shared_ptr<JobGate> gate_;
    std::string name_;
    std::string url_;
    std::string userAgent_;
    TransferObserver& observer_;
    RetryPlan& retries_;
    std::optional<Checksum> checksum_;
    bool checksumRefused_ = false;
    PartialFile part_;
    // The entry's own limit, kept here as well as by libcurl, whose limit lets FTP through.
    SharedRateLimit ownLimit_;
    SpeedMeter speed_;
    Verdict verdict_ = Verdict::None;
    std::int64_t total_ = -1;        // the whole file's length, -1 unknown
    std::int64_t expectedEnd_ = -1;  // where the current answer's body ends, -1 unknown
    bool rangesAllowed_ = true;      // off once the server's ranges proved wrong
    int startOvers_ = 0;
    std::uint64_t mostHeld_ = 0;  // the most bytes any attempt got to, start-overs included
};

}  // namespace tarnwick
