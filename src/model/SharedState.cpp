#include "model/SharedState.h"

namespace tarnwick {

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

void RemoveRunningJob(SharedState& state, RunningJobTable& table, const std::string& key,
                      const std::shared_ptr<JobGate>& gate) {
    std::lock_guard lock(state.mutex);
    if (!gate) {
        table.RemoveAt(table.FindByName(key));
        return;
    }
    for (int index = 0; index < table.GetCount(); ++index) {
        const RunningJob* job = table.GetAt(index);
        if (job->thread == gate) {
            table.RemoveAt(index);
            return;
        }
    }
}

void ClearHandOverSlots(SharedState& state) {
    std::lock_guard lock(state.mutex);
    state.CurrentFileEntry.reset();
    state.CurrentWebProject.reset();
    state.CurrentSearchProject.reset();
}

}  // namespace tarnwick
