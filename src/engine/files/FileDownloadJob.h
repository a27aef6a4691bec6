#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/job/EntryReporter.h"
#include "engine/job/WorkerContext.h"
#include "engine/transfer/ResumableTransfer.h"
#include "model/Outcome.h"

namespace tarnwick {

// What a file worker does to the shared lists and the front ends. It keeps only its entry's
// id and finds the entry again under the state's mutex for every change, so the entry may be
// deleted at any time: the job then changes no list.
class FileDownloadJob final : public TransferObserver {
public:
    // keepProgress: the progress text is also kept as the entry's status (HTTP does, FTP not).
    FileDownloadJob(WorkerContext& context, bool keepProgress);

    // A block arrived: keeps the busy clip going and reports progress at most ten times a
    // second. Returns false once the entry has left the requested list.
    bool OnProgress(const TransferSnapshot& progress) override;
    // A retry's announcement, in the entry's status and (followed) the panel.
    void OnRetry(const std::string& text) override;

    // Marks the entry "Downloading in progress...".
    void ShowInProgress();
    // A modal message box; the worker waits for the user.
    void ShowMessage(const std::string& text);

    // The ending for a transfer's outcome: the entry moved to the downloaded files, or left
    // requested with the failure's text; quietly when interrupted or gone. Then the busy clip
    // stops (by the shared rule) and the running-job record goes. Returns the outcome.
    Outcome Conclude(Outcome outcome);
    // An ending that leaves the entry as it is, after a message the user was shown.
    Outcome EndUnchanged(Outcome outcome);

private:
    // The last progress report, if one is still owed.
    void FlushProgress();
    bool ReportProgress();
    void EndJob();

    WorkerContext& context_;
    EntryReporter reporter_;
    bool keepProgress_;
    TransferSnapshot progress_;
    bool progressOwed_ = false;
    std::chrono::steady_clock::time_point lastReport_{};
};

// "Downloading...%.02fk read" for a byte count: the status panel's text, which the lists keep.
std::string ProgressText(std::uint64_t bytes);

}  // namespace tarnwick
