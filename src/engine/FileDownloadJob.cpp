#include "engine/FileDownloadJob.h"

#include <cstdio>

namespace tarnwick {

namespace {
// The windows are echoed at most this often; the entry's own status follows the same beat.
constexpr auto kReportInterval = std::chrono::milliseconds(100);
constexpr const char* kSuccess = "Success";
}  // namespace

std::string ProgressText(std::uint64_t bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "Downloading...%.02fk read",
                  static_cast<double>(bytes) / 1024.0);
    return text;
}

FileDownloadJob::FileDownloadJob(WorkerContext& context, std::string url)
    : state_(context.state), gate_(context.gate), url_(std::move(url)) {}

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

bool FileDownloadJob::AddBytes(std::size_t count, bool storeInEntry) {
    bytes_ += count;
    progressOwed_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport_ < kReportInterval) {
        return true;
    }
    lastReport_ = now;
    return ReportProgress(storeInEntry);
}

void FileDownloadJob::FlushProgress(bool storeInEntry) {
    if (progressOwed_) {
        ReportProgress(storeInEntry);
    }
}

bool FileDownloadJob::ReportProgress(bool storeInEntry) {
    progressOwed_ = false;
    const std::string text = ProgressText(bytes_);
    Found found;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (found.found && storeInEntry) {
            state_.RequestedFiles.GetAt(state_.RequestedFiles.FindByName(url_))->status = text;
        }
    }
    if (found.selected) {
        state_.ui.SetStatusText(text);
    }
    if (found.found) {
        state_.ui.ShowTransferProgress(url_, TransferSnapshot{.done = bytes_});
    }
    return found.found;
}

void FileDownloadJob::ShowInProgress() {
    const std::string text = "Downloading in progress...";
    Found found;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (found.found) {
            state_.RequestedFiles.GetAt(state_.RequestedFiles.FindByName(url_))->status = text;
        }
    }
    if (found.requestedShown && found.found) {
        state_.ui.SetRowStatus(found.row, text);
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
    Found found;
    {
        std::lock_guard lock(state_.mutex);
        found = Locate();
        if (!found.found) {
            return;
        }
        FileEntry* entry = state_.RequestedFiles.GetAt(state_.RequestedFiles.FindByName(url_));
        entry->status = FittedText(text, kFileStatusWidth);
        state_.RequestedFiles.SetModified(1);
    }
    if (found.requestedShown) {
        state_.ui.SetRowStatus(found.row, text);
    }
    if (found.selected) {
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

}  // namespace tarnwick
