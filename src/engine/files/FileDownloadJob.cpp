#include "engine/files/FileDownloadJob.h"

#include <cstdio>

#include "model/ProgressText.h"

namespace tarnwick {

namespace {
// The windows are echoed at most this often; the entry's own status follows the same beat.
constexpr auto kReportInterval = std::chrono::milliseconds(100);
constexpr const char* kSuccess = "Success";
constexpr int kExitDone = 0;
}  // namespace

std::string ProgressText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "Downloading...%.02fk read",
                  static_cast<double>(bytes) / 1024.0);
    return text;
}

FileDownloadJob::FileDownloadJob(WorkerContext& context, std::string url, bool storeInEntry)
    : state_(context.state),
      gate_(context.gate),
      url_(std::move(url)),
      storeInEntry_(storeInEntry) {}

FileDownloadJob::Found FileDownloadJob::Locate() const {
    Found found;
    const int index = state_.RequestedFiles.FindByName(url_);
    if (index < 0) {
        return found;
    }
    found.found = true;
    found.row = RowOfIndex(state_.RequestedFiles.GetCount(), index);
    found.requestedShown = state_.CurrentCategory == ListCategory::RequestedFiles;
    found.selected = found.requestedShown && found.row == state_.SelectedRow;
    return found;
}

bool FileDownloadJob::OnProgress(const TransferSnapshot& progress) {
    StartBusyAnimation(state_);
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
    Found found;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (found.found && storeInEntry_) {
            state_.RequestedFiles.GetAt(state_.RequestedFiles.FindByName(url_))->status = text;
        }
    }
    if (!found.found) {
        return false;
    }
    if (found.requestedShown) {
        state_.ui.SetRowStatus(found.row, LiveProgressText(progress_));
    }
    if (found.selected) {
        state_.ui.SetStatusText(text);
    }
    state_.ui.ShowTransferProgress(url_, progress_);
    return true;
}

FileDownloadJob::Found FileDownloadJob::ShowStatus(const std::string& text, bool keep) {
    Found found;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (!found.found) {
            return found;
        }
        FileEntry* entry = state_.RequestedFiles.GetAt(state_.RequestedFiles.FindByName(url_));
        entry->status = FittedText(text, kFileStatusWidth);
        if (keep) {
            state_.RequestedFiles.SetModified(1);
        }
    }
    if (found.requestedShown) {
        state_.ui.SetRowStatus(found.row, text);
    }
    return found;
}

void FileDownloadJob::ShowInProgress() {
    ShowStatus("Downloading in progress...", false);
}

void FileDownloadJob::OnRetry(const std::string& text) {
    if (ShowStatus(text, false).selected) {
        state_.ui.SetStatusText(text);
    }
}

void FileDownloadJob::Complete() {
    Found found;
    bool downloadedShown = false;
    std::string url;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (!found.found) {
            return;
        }
        const int index = state_.RequestedFiles.FindByName(url_);
        FileEntry entry = *state_.RequestedFiles.GetAt(index);
        entry.status = kSuccess;
        url = entry.url;
        state_.DownloadedFiles.Append(std::move(entry));
        state_.RequestedFiles.RemoveAt(index);
        downloadedShown = state_.CurrentCategory == ListCategory::DownloadedFiles;
    }
    if (found.requestedShown) {
        state_.ui.DeleteRow(found.row);
    }
    if (downloadedShown) {
        state_.ui.InsertRowAtTop(url, kSuccess);
    }
    if (found.selected) {
        state_.ui.SetLastActionText("Download ended");
        state_.ui.SetStatusText(kSuccess);
    }
}

void FileDownloadJob::Fail(const std::string& text) {
    if (ShowStatus(text, true).selected) {
        state_.ui.SetStatusText(text);
    }
}

void FileDownloadJob::ShowMessage(const std::string& text) {
    state_.ui.ShowMessage(text);
}

int FileDownloadJob::End(int exitCode) {
    StopBusyAnimation(state_);
    RemoveRunningJob(state_, state_.RunningFileJobs, url_, gate_);
    return exitCode;
}

int FileDownloadJob::FailWith(const std::string& text) {
    Fail(text);
    return End(kExitDone);
}

int FileDownloadJob::Conclude(const TransferOutcome& outcome) {
    const bool ended = outcome.kind == TransferOutcome::Kind::Done ||
                       outcome.kind == TransferOutcome::Kind::Failed;
    if (ended) {
        // What has ended has no speed and no time left; its row keeps size and percent.
        progress_.bytesPerSecond = 0;
        progress_.etaSeconds = -1;
        progressOwed_ = true;
        FlushProgress();
    }
    switch (outcome.kind) {
        case TransferOutcome::Kind::Done:
            Complete();
            break;
        case TransferOutcome::Kind::Failed:
            Fail(outcome.text);
            break;
        case TransferOutcome::Kind::Cancelled:
        case TransferOutcome::Kind::Stopped:
            break;
    }
    return End(kExitDone);
}

}  // namespace tarnwick
