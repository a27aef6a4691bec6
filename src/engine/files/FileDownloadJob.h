#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "engine/job/Workers.h"
#include "engine/transfer/ResumableTransfer.h"
#include "model/UiPort.h"

namespace tarnwick {

// What a file worker does to the shared lists and the windows. It keeps only its entry's
// URL and looks the entry up again under the state's mutex for every change, so the entry
// may be deleted or renamed at any time: the job then changes no list.
class FileDownloadJob final : public TransferObserver {
public:
    // storeInEntry: the progress text is also kept as the entry's status (HTTP does, FTP not).
    FileDownloadJob(WorkerContext& context, std::string url, bool storeInEntry);

    const std::string& Url() const { return url_; }

    // A block arrived: keeps the busy clip going and reports progress at most ten times a
    // second. Returns false once the entry has left the requested list.
    bool OnProgress(const TransferSnapshot& progress) override;
    // A retry's announcement, in the entry's status, its row and (selected) the panel.
    void OnRetry(const std::string& text) override;
    // The last progress report, if one is still owed.
    void FlushProgress();

    // Marks the entry "Downloading in progress..." in the list and its row.
    void ShowInProgress();
    // Moves the entry to the downloaded files and tells the windows.
    void Complete();
    // Leaves the entry requested with this text as its status, shown in its row and panel.
    void Fail(const std::string& text);
    // A modal message box; the worker waits for the user.
    void ShowMessage(const std::string& text);

    // Stops the busy clip (by the shared rule) and removes the running-job record.
    int End(int exitCode);
    // The ending for a transfer's outcome: completion, the failure's text, or quietly.
    int Conclude(const TransferOutcome& outcome);
    // Leaves the entry requested with this status and ends the worker.
    int FailWith(const std::string& text);

private:
    struct Found {
        bool found = false;
        int row = 0;
        bool requestedShown = false;  // the list panel shows the requested files
        bool selected = false;        // row is the selected row
    };
    // Looks the entry up; call with the state's mutex held.
    Found Locate() const;
    // Returns whether the entry is still requested.
    bool ReportProgress();
    // Shows text as the entry's status (kept in it when keep is set).
    Found ShowStatus(const std::string& text, bool keep);

    SharedState& state_;
    std::shared_ptr<JobGate> gate_;
    std::string url_;
    bool storeInEntry_;
    TransferSnapshot progress_;
    bool progressOwed_ = false;
    std::chrono::steady_clock::time_point lastReport_{};
};

// "Downloading...%.02fk read" for a byte count: the status panel's text, which the lists keep.
std::string ProgressText(std::uint64_t bytes);

}  // namespace tarnwick
