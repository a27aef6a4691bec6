#include <functional>
#include <string>

#include "engine/files/FileDownloadJob.h"
#include "engine/files/FileWorkers.h"
#include "engine/files/FtpLocation.h"
#include "engine/files/PartialProgress.h"
#include "engine/net/FtpSession.h"
#include "engine/net/HttpSession.h"
#include "engine/net/TransferErrorText.h"
#include "engine/transfer/ResumableTransfer.h"
#include "engine/transfer/RetryPlan.h"
#include "storage/ConfinedFolder.h"

namespace tarnwick {

namespace {

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

Outcome RunFileDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, true);
    const std::string name = LocalFileNameFor(url);
    StartBusyAnimation(context.state);
    if (!ConfinedFolder::IsPlainName(name)) {
        return job.Conclude({OutcomeKind::Disk, "Error creating " + name});
    }
    ConfinedFolder files(context.downloads.base, context.downloads.below);
    HttpSession session(context.gate, context.caBundlePath);
    RetryPlan retries(context.transfer, context.gate);
    ResumableTransfer transfer(context.transfer, context.fileOptions, context.gate, files, name,
                               url, job, retries);
    return job.Conclude(transfer.RunHttp(session, context.userAgent));
}

Outcome RunFtpDownload(WorkerContext& context, FileEntry entry) {
    const std::string url = entry.url;
    FileDownloadJob job(context, false);
    FtpLocation location;
    if (!ParseFtpUrl(url, location)) {
        job.ShowMessage("Error parsing url");
        return job.EndUnchanged({OutcomeKind::BadRequest, "Error parsing url"});
    }
    StartBusyAnimation(context.state);
    FtpSession session(location.host, context.gate);
    RetryPlan retries(context.transfer, context.gate);
    const auto concludeFailed = [&](const TransferResult& result) {
        if (IsCancelled(context)) {
            return job.Conclude({OutcomeKind::Interrupted, {}});
        }
        return job.Conclude({result.failure, TransferErrorText(result.errorText)});
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
        return job.EndUnchanged({OutcomeKind::ServerRefused, "Error finding file"});
    }
    job.ShowInProgress();
    if (!ConfinedFolder::IsPlainName(location.fileName)) {
        return job.Conclude({OutcomeKind::Disk, "Error creating " + location.fileName});
    }
    ConfinedFolder files(context.downloads.base, context.downloads.below);
    ResumableTransfer transfer(context.transfer, context.fileOptions, context.gate, files,
                               location.fileName, url, job, retries);
    return job.Conclude(transfer.RunFtp(session, location.fileName));
}

}  // namespace tarnwick
