#include "model/SharedState.h"

namespace tarnwick {

SharedState::SharedState() {
    for (auto* list : {&RequestedFiles, &DownloadedFiles, &SearchResults}) {
        list->ShareIdsWith(nextEntryId_);
    }
    for (auto* list : {&RequestedWebSites, &DownloadedSites}) {
        list->ShareIdsWith(nextEntryId_);
    }
    SearchProjects.ShareIdsWith(nextEntryId_);
    for (auto* table : {&RunningFileJobs, &RunningSiteJobs, &RunningSearchJobs}) {
        table->ShareIdsWith(nextEntryId_);
    }
}

void StartBusyAnimation(SharedState& state) {
    {
        std::lock_guard lock(state.mutex);
        if (state.BusyAnimationRunning != 0) {
            return;
        }
        state.BusyAnimationRunning = 1;
    }
    state.ui.PlayBusyAnimation();
}

void StopBusyAnimation(SharedState& state) {
    {
        std::lock_guard lock(state.mutex);
        if (state.BusyAnimationRunning == 0) {
            return;
        }
        state.BusyAnimationRunning = 0;
    }
    state.ui.StopBusyAnimation();
}

bool IsFollowed(const SharedState& state, ListCategory list, EntryId entry) {
    return state.FollowedEntry == entry && state.CurrentCategory == list;
}

void RemoveRunningJob(SharedState& state, RunningJobTable& table, EntryId entry,
                      const std::shared_ptr<JobGate>& gate) {
    std::lock_guard lock(state.mutex);
    const RunningJob* job = table.Find(entry);
    if (job != nullptr && job->thread == gate) {
        table.Remove(entry);
    }
}

std::shared_ptr<JobGate> GateOf(const RunningJobTable& table, EntryId entry) {
    const RunningJob* job = table.Find(entry);
    return job != nullptr ? job->thread : nullptr;
}

void ClearHandOverSlots(SharedState& state) {
    std::lock_guard lock(state.mutex);
    state.CurrentFileEntry.reset();
    state.CurrentWebProject.reset();
    state.CurrentSearchProject.reset();
}

}  // namespace tarnwick
