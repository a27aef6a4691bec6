#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "model/EntryId.h"
#include "model/EntryList.h"
#include "model/ListCategory.h"
#include "model/Records.h"
#include "model/UiPort.h"

namespace tarnwick {

// Everything the interface thread, the download control and the workers share. The app
// owns one; each test makes its own. Every list operation, and every walk that spans
// several operations (look up, then edit), runs under `mutex`. Nobody keeps a pointer into
// a list across an unlock: keep the entry's id and look it up again. `ui` has no part in
// the mutex and must never be called while holding it.
struct SharedState {
    SharedState();

    std::mutex mutex;

    FileEntryList RequestedFiles;
    WebProjectList RequestedWebSites;
    FileEntryList DownloadedFiles;
    WebProjectList DownloadedSites;
    SearchProjectList SearchProjects;
    FileEntryList SearchResults;

    // The jobs of the running entries, each listed under its entry's id.
    RunningJobTable RunningFileJobs;
    RunningJobTable RunningSiteJobs;
    RunningJobTable RunningSearchJobs;

    // The list the window shows; the status panel follows an entry only while its list is the
    // one shown. The command line shows none and leaves it as it starts.
    ListCategory CurrentCategory = ListCategory::RequestedFiles;
    // The entry whose work the status panel follows: the one the user selected last, or the
    // one started or resumed last.
    EntryId FollowedEntry = kNoEntry;
    int BusyAnimationRunning = 0;

    // Hand-over slots: the entry the next started worker of each kind serves.
    std::optional<FileEntry> CurrentFileEntry;
    std::optional<WebProject> CurrentWebProject;
    std::optional<SearchProject> CurrentSearchProject;

    UiPort ui;

    // Serialises whole saves, so a timed save and the save at exit never interleave.
    std::mutex saveMutex;
    // Per list file, indexed by its ListCategory less one: a failed save has shown its message
    // and no save of that file has succeeded since, so the minute's saves stay quiet. Guarded
    // by saveMutex.
    std::array<bool, 6> saveFailureShown{};
    // The bad entries of searchengines.conf already shown, so each is reported once.
    // Guarded by mutex.
    std::set<std::string> engineProblemsShown;

private:
    // Every list gives its entries' ids from here, so no id is given twice.
    EntryId nextEntryId_ = 1;
};

// Calls fn with the list of the category (a FileEntryList, WebProjectList or
// SearchProjectList); fn must give the same result type for each. Callers hold the lock.
template <typename Fn>
decltype(auto) WithCategoryList(SharedState& state, ListCategory category, Fn&& fn) {
    switch (category) {
        case ListCategory::RequestedWebSites:
            return fn(state.RequestedWebSites);
        case ListCategory::DownloadedFiles:
            return fn(state.DownloadedFiles);
        case ListCategory::DownloadedSites:
            return fn(state.DownloadedSites);
        case ListCategory::SearchProjects:
            return fn(state.SearchProjects);
        case ListCategory::SearchResults:
            return fn(state.SearchResults);
        case ListCategory::RequestedFiles:
            break;
    }
    return fn(state.RequestedFiles);
}

// The busy clip rule: play only when not running, stop only when running. Each takes the
// mutex for the flag and calls the port after releasing it.
void StartBusyAnimation(SharedState& state);
void StopBusyAnimation(SharedState& state);

// Whether the status panel follows this entry of this list now. The caller holds the lock.
bool IsFollowed(const SharedState& state, ListCategory list, EntryId entry);

// Removes the entry's job from the table if it is the one of this gate, so a worker ending
// late never takes the record of a later job; nothing if there is none.
void RemoveRunningJob(SharedState& state, RunningJobTable& table, EntryId entry,
                      const std::shared_ptr<JobGate>& gate);

// The gate of the entry's job, null when it has none. The caller holds the lock.
std::shared_ptr<JobGate> GateOf(const RunningJobTable& table, EntryId entry);

// Empties the hand-over slots, as the program does at exit.
void ClearHandOverSlots(SharedState& state);

}  // namespace tarnwick
