#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/files/FileWorkers.h"
#include "engine/job/WorkerContext.h"
#include "model/SharedState.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// A working folder, shared state and recording windows for running file workers, with
// entries requested the way the download control hands them over.
class FileWorkerHarness {
public:
    FileWorkerHarness() { ui.AttachTo(state.ui); }

    // Appends a requested entry with its running-job record, and shows the list's rows.
    EntryId Request(const std::string& url) {
        EntryId id = kNoEntry;
        {
            std::lock_guard lock(state.mutex);
            id = state.RequestedFiles.Append(FileEntry{url, "Downloading..."});
            state.RunningFileJobs.Adopt(RunningJob{gate, url, 0}, id);
        }
        ids[url] = id;
        ui.Show(state, ListCategory::RequestedFiles);
        return id;
    }

    // The context of the worker of the entry requested for this URL.
    WorkerContext Context(const std::string& url) {
        return WorkerContext{state,        folder.Path(), gate,        ids.at(url),
                             caBundlePath, policy,        fileOptions, userAgent};
    }

    Outcome Run(Outcome (*worker)(WorkerContext&, FileEntry), const std::string& url) {
        WorkerContext context = Context(url);
        return worker(context, FileEntry{url, "Downloading..."});
    }

    // The panel follows the entry requested for this URL.
    void Follow(const std::string& url) {
        std::lock_guard lock(state.mutex);
        state.FollowedEntry = ids.at(url);
    }

    std::vector<FileEntry> Requested() {
        std::lock_guard lock(state.mutex);
        const auto entries = state.RequestedFiles.Entries();
        return std::vector<FileEntry>(entries.begin(), entries.end());
    }
    std::vector<FileEntry> Downloaded() {
        std::lock_guard lock(state.mutex);
        const auto entries = state.DownloadedFiles.Entries();
        return std::vector<FileEntry>(entries.begin(), entries.end());
    }
    int RunningJobs() {
        std::lock_guard lock(state.mutex);
        return state.RunningFileJobs.GetCount();
    }
    std::string LocalFile(const std::string& name) const {
        return ReadFileBytes(folder.Path() / "Files" / name);
    }
    bool LocalFileExists(const std::string& name) const {
        std::error_code error;
        return std::filesystem::exists(folder.Path() / "Files" / name, error);
    }

    // Polls until the condition holds or ten seconds pass.
    static bool WaitUntil(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    SharedState state;
    RecordingUi ui;
    std::map<std::string, EntryId> ids;  // of the entries requested, by their exact URL
    TempFolder folder;
    std::shared_ptr<JobGate> gate = std::make_shared<JobGate>();
    std::string caBundlePath;
    // Retries come quickly in tests; a test that times them sets its own.
    TransferPolicy policy = QuickPolicy();
    FileRequestOptions fileOptions;
    std::string userAgent = DefaultUserAgent();

    static TransferPolicy QuickPolicy() {
        TransferPolicy quick;
        quick.retries = 2;
        quick.firstRetryDelay = std::chrono::milliseconds(5);
        quick.longestRetryDelay = std::chrono::milliseconds(20);
        quick.stallTime = std::chrono::seconds(5);
        quick.connectTimeout = std::chrono::seconds(5);
        return quick;
    }
};

}  // namespace tarnwick::testing
