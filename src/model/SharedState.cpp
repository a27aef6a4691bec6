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

void RemoveRunningJob(SharedState& state, RunningJobTable& table, const std::string& key) {
    std::lock_guard lock(state.mutex);
    table.RemoveAt(table.FindByName(key));
}

void ClearHandOverSlots(SharedState& state) {
    std::lock_guard lock(state.mutex);
    state.CurrentFileEntry.reset();
    state.CurrentWebProject.reset();
    state.CurrentSearchProject.reset();
}

}  // namespace tarnwick
