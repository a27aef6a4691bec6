#include "engine/files/FileDownloadJob.h"

#include <cstdio>

#include "model/ProgressText.h"

namespace tarnwick {

namespace {
// The front ends are told at most this often; the entry's own status follows the same beat.
constexpr auto kReportInterval = std::chrono::milliseconds(100);
constexpr const char* kSuccess = "Success";
}  // namespace

std::string ProgressText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "Downloading...%.02fk read",
                  static_cast<double>(bytes) / 1024.0);
    return text;
}

FileDownloadJob::FileDownloadJob(WorkerContext& context, bool keepProgress)
    : context_(context),
      reporter_(context.state, ListCategory::RequestedFiles, context.entry),
      keepProgress_(keepProgress) {}

bool FileDownloadJob::OnProgress(const TransferSnapshot& progress) {
    StartBusyAnimation(context_.state);
    progress_ = progress;
    progressOwed_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport_ < kReportInterval) {
        return true;
    }
    lastReport_ = now;
    return ReportProgress();
}

void FileDownloadJob::FlushProgress() {
    if (progressOwed_) {
        ReportProgress();
    }
}

bool FileDownloadJob::ReportProgress() {
    progressOwed_ = false;
    // The entry's status and the status panel keep the established text, which the lists
    // store; the row shows what a person wants to see of a running transfer.
    const std::string text = ProgressText(progress_.done);
    EntryNews news{
        .status = LiveProgressText(progress_), .panelStatus = text, .progress = progress_};
    if (keepProgress_) {
        news.kept = text;
    }
    return reporter_.Report(news);
}

void FileDownloadJob::ShowInProgress() {
    const std::string text = "Downloading in progress...";
    reporter_.Report({.status = text, .kept = text});
}

void FileDownloadJob::OnRetry(const std::string& text) {
    reporter_.Report({.status = text, .kept = text, .panelStatus = text});
}

void FileDownloadJob::ShowMessage(const std::string& text) {
    context_.state.ui.ShowMessage(text);
}

Outcome FileDownloadJob::Conclude(Outcome outcome) {
    const bool ended =
        outcome.kind != OutcomeKind::Interrupted && outcome.kind != OutcomeKind::Cancelled;
    if (ended) {
        // What has ended has no speed and no time left; its row keeps size and percent.
        progress_.bytesPerSecond = 0;
        progress_.etaSeconds = -1;
        progressOwed_ = true;
        FlushProgress();
    }
    if (outcome.IsDone()) {
        if (!reporter_.MoveTo(ListCategory::DownloadedFiles, kSuccess,
                              {.panelAction = "Download ended", .panelStatus = kSuccess})) {
            outcome = Outcome{OutcomeKind::Cancelled, "Deleted"};
        }
    } else if (ended) {
        reporter_.Report({.status = outcome.text,
                          .kept = outcome.text,
                          .save = true,
                          .panelStatus = outcome.text});
    }
    EndJob();
    return outcome;
}

Outcome FileDownloadJob::EndUnchanged(Outcome outcome) {
    EndJob();
    return outcome;
}

void FileDownloadJob::EndJob() {
    StopBusyAnimation(context_.state);
    RemoveRunningJob(context_.state, context_.state.RunningFileJobs, context_.entry, context_.gate);
}

}  // namespace tarnwick
