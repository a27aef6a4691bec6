#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "engine/Workers.h"

namespace tarnwick {

// What a file worker does to the shared lists and the windows. It keeps only its entry's
// URL and looks the entry up again under the state's mutex for every change, so the entry
// may be deleted or renamed at any time: the job then changes no list.
class FileDownloadJob {
public:
    FileDownloadJob(WorkerContext& context, std::string url);

    const std::string& Url() const { return url_; }

    // Counts a block that arrived; reports progress at most ten times a second. Returns
    // false once the entry has left the requested list.
    bool AddBytes(std::size_t count, bool storeInEntry);
    // The last progress report, if one is still owed.
    void FlushProgress(bool storeInEntry);

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
    bool ReportProgress(bool storeInEntry);

    SharedState& state_;
    std::shared_ptr<JobGate> gate_;
    std::string url_;
    std::uint64_t bytes_ = 0;
    bool progressOwed_ = false;
    std::chrono::steady_clock::time_point lastReport_{};
};

// "Downloading...%.02fk read" for a byte count.
std::string ProgressText(std::uint64_t bytes);

}  // namespace tarnwick
