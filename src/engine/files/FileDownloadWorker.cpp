#include <functional>
#include <string>

#include "engine/files/FileDownloadJob.h"
#include "engine/files/FtpLocation.h"
#include "engine/files/PartialProgress.h"
#include "engine/job/Workers.h"
#include "engine/net/FtpSession.h"
#include "engine/net/HttpSession.h"
#include "engine/net/TransferErrorText.h"
#include "engine/transfer/ResumableTransfer.h"
#include "engine/transfer/RetryPlan.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUrlNotParsed = 1;
constexpr int kExitFileNotFound = 3;

// Runs one of the FTP steps before the transfer, again after a transient failure.
TransferResult WithRetries(RetryPlan& retries, FileDownloadJob& job,
                           const std::function<TransferResult()>& step) {
    while (true) {
        TransferResult result = step();
        if (result.ok || result.cancelled || !result.transient) {
            return result;
        }
        const std::string text = TransferErrorText(result.errorText);
        const auto announce = [&](std::chrono::milliseconds wait, int retry, int total) {
            job.OnRetry("Retrying in " + std::to_string((wait.count() + 999) / 1000) + " s (" +
                        std::to_string(retry) + " of " + std::to_string(total) + "): " + text);
        };
        if (retries.AfterFailure(-1, announce) != RetryPlan::Next::Retry) {
            return result;
        }
    }
}

bool IsCancelled(const WorkerContext& context) {
    return context.gate != nullptr && context.gate->IsCancelled();
}

}  // namespace

int RunFileDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, url, true);
    const std::string name = LocalFileNameFor(url);
    StartBusyAnimation(context.state);
    if (!ConfinedFolder::IsPlainName(name)) {
        return job.FailWith("Error creating " + name);
    }
    ConfinedFolder files(context.downloads.base, context.downloads.below);
    HttpSession session(context.gate, context.caBundlePath);
    RetryPlan retries(context.transfer, context.gate);
    ResumableTransfer transfer(context.transfer, context.fileOptions, context.gate, files, name,
                               url, job, retries);
    return job.Conclude(transfer.RunHttp(session, context.userAgent));
}

int RunFtpDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, url, false);
    FtpLocation location;
    if (!ParseFtpUrl(url, location)) {
        job.ShowMessage("Error parsing url");
        return job.End(kExitUrlNotParsed);
    }
    StartBusyAnimation(context.state);
    FtpSession session(location.host, context.gate);
    RetryPlan retries(context.transfer, context.gate);
    const auto concludeFailed = [&](const TransferResult& result) {
        if (IsCancelled(context)) {
            return job.End(kExitDone);
        }
        return job.FailWith(TransferErrorText(result.errorText));
    };
    if (!location.directory.empty()) {
        const TransferResult changed =
            WithRetries(retries, job, [&] { return session.ChangeDirectory(location.directory); });
        if (!changed.ok) {
            return concludeFailed(changed);
        }
    }
    bool found = false;
    const TransferResult listed =
        WithRetries(retries, job, [&] { return session.FindFile(location.fileName, found); });
    if (!listed.ok) {
        return concludeFailed(listed);
    }
    if (!found) {
        job.ShowMessage("Error finding file");
        return job.End(kExitFileNotFound);
    }
    job.ShowInProgress();
    if (!ConfinedFolder::IsPlainName(location.fileName)) {
        return job.FailWith("Error creating " + location.fileName);
    }
    ConfinedFolder files(context.downloads.base, context.downloads.below);
    ResumableTransfer transfer(context.transfer, context.fileOptions, context.gate, files,
                               location.fileName, url, job, retries);
    return job.Conclude(transfer.RunFtp(session, location.fileName));
}

}  // namespace tarnwick
