#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/ScheduleClock.h"
#include "control/TransferSlots.h"
#include "control/WorkOrder.h"
#include "control/WorkOrderTaking.h"
#include "control/WorkerFunctions.h"
#include "control/WorkerThreads.h"
#include "engine/transfer/SharedRateLimit.h"
#include "model/JobGate.h"
#include "model/ListCategory.h"
#include "model/Settings.h"
#include "model/SharedState.h"

namespace tarnwick {

// Starts, pauses and resumes the workers of the requested entries: the Download menu's
// Selected Projects and Stop Downloading, and the minute timer that starts and stops web and
// search projects at their time of day. Every started job ends with one EntryEnded event,
// carrying how its work ended. Runs on the interface thread and reaches the front ends only
// through state.ui, never while holding the state's mutex.
class DownloadControl {
public:
    // Lets a new worker take its hand-over slot before the next start overwrites it.
    static void PauseForHandOver();

    DownloadControl(SharedState& state, std::filesystem::path workingDirectory,
                    WorkerFunctions workers,
                    std::function<void()> pauseAfterStart = PauseForHandOver,
                    WorkerThreads::ThreadStarter threadStarter = WorkerThreads::StartStdThread);

    // Download > Selected Projects on the selected entries of the category shown, top row
    // first: each is started, or resumed when paused; a resume ends the command.
    void StartSelected(ListCategory category, const std::vector<EntryId>& selected);
    // Stop Downloading: pauses the selected entries' jobs.
    void StopSelected(ListCategory category, const std::vector<EntryId>& selected);
    // Starts each entry of the targets, or resumes it when paused; an entry no longer
    // requested is passed over.
    void StartTargets(const RunTargets& targets);
    // Adds the order's entries and, when it asks for it and names no unknown entry, starts
    // them: what both the command line and the window do with an order.
    TakenOrder CarryOut(const WorkOrder& order);
    // The minute timer, given the local time of the tick. Also saves the modified lists.
    void OnScheduleTimer(LocalMinute now);

    // Settings the transfers started from now on follow; the concurrency and the global speed
    // limit change at once for those already running. Read from the folder's file at first.
    void ApplySettings(const Settings& settings);

    // Tells how far earlier runs got with the requested files they left partial, as read from
    // the partial downloads' metadata; for the lists just loaded.
    void ShowHeldPartials();

    // At exit, after state.ui.Close() and before the lists are saved.
    void Shutdown(const std::function<void()>& whileWaiting) { threads_.Shutdown(whileWaiting); }
    WorkerThreads& Threads() { return threads_; }

private:
    // A requested entry as found by its id, with the gate of its job (null when it has none).
    template <typename Record>
    struct Located {
        Record entry;
        EntryId id = kNoEntry;
        std::shared_ptr<JobGate> gate;
    };

    template <typename Record>
    void StartOrResume(const std::vector<EntryId>& ids, bool aResumeEnds);
    template <typename Record>
    void Pause(const std::vector<EntryId>& ids);
    // Keeps the order's options of its web projects and files in their files beside the lists.
    void StoreOptions(const WorkOrder& order, const TakenOrder& taken);
    // Each returns false when a resumed project ended the tick.
    bool RunScheduledMinute(int hour, int minute);
    template <typename Record>
    bool StartDueProjects(int hour, int minute);
    template <typename Record>
    void StopDueProjects(int hour, int minute);

    template <typename Record>
    void StartJob(const Located<Record>& target);
    template <typename Record>
    void ResumeJob(const Located<Record>& target);
    template <typename Record>
    void SuspendJob(const Located<Record>& target);
    template <typename Record>
    void ReportStartFailure(const Located<Record>& target, const std::shared_ptr<JobGate>& gate);
    template <typename Record>
    std::function<void()> WorkerBody(Record entry, EntryId id, std::shared_ptr<JobGate> gate,
                                     bool queued);
    // What a file transfer started now is to do, from the settings and the entry's options.
    WorkerContext ContextFor(const FileEntry& entry, EntryId id, std::shared_ptr<JobGate> gate);
    // Removes the partial download of a deleted entry whose worker has ended.
    void DiscardPartialOfEnded(const std::string& url);
    // A queued file's worker got its slot: the entry says it downloads.
    void ShowTurnCame(EntryId id);

    template <typename Record>
    std::optional<Located<Record>> Locate(EntryId id);
    // Shows the entry's status; kept in the entry too when keep is set.
    template <typename Record>
    void ShowStatus(EntryId id, const std::string& status, bool keep, bool held = false);
    void Follow(EntryId id);

    SharedState& state_;
    std::filesystem::path workingDirectory_;
    WorkerFunctions workers_;
    std::function<void()> pauseAfterStart_;
    ScheduleClock clock_;
    Settings settings_;
    std::shared_ptr<SharedRateLimit> sharedLimit_ = std::make_shared<SharedRateLimit>();
    TransferSlots slots_{Settings{}.maxConcurrent};
    // Last: its destructor joins the workers, which use the members above.
    WorkerThreads threads_;
};

}  // namespace tarnwick
