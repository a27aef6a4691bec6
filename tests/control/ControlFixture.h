#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FakeWorkers.h"
#include "control/DownloadControl.h"
#include "model/SharedState.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// A search project run and stopped on request only.
inline SearchProject OnRequestSearch(const std::string& name) {
    SearchProject project;
    project.name = name;
    project.runWhenRequested = 1;
    project.stopWhenRequested = 1;
    project.status = "Ready";
    return project;
}

// A control driven by fake workers, a recording list panel and a pause that only counts.
class ControlFixture : public ::testing::Test {
protected:
    ControlFixture() { ui.AttachTo(state.ui); }

    // Shows a category the way the entry list panel does: newest entry in row 0.
    void Show(ListCategory category) { ui.Show(state, category); }

    // Download > Selected Projects and Stop Downloading on the rows selected in the list shown.
    void DownloadSelected() { control.StartSelected(ui.Shown(), ui.SelectedIds()); }
    void StopSelected() { control.StopSelected(ui.Shown(), ui.SelectedIds()); }

    // The gate of the job of the entry with this key, null when there is none.
    std::shared_ptr<JobGate> GateOf(const RunningJobTable& jobs, const std::string& key) {
        std::lock_guard lock(state.mutex);
        for (const auto& [id, job] : jobs.WithIds()) {
            if (EqualsIgnoreCase(job.name, key)) {
                return job.thread;
            }
        }
        return nullptr;
    }

    int JobCount(const RunningJobTable& jobs) {
        std::lock_guard lock(state.mutex);
        return jobs.GetCount();
    }

    template <typename Record>
    std::string StatusOf(const EntryList<Record>& list, int index) {
        std::lock_guard lock(state.mutex);
        return list.GetAt(index)->status;
    }

    EntryId Followed() {
        std::lock_guard lock(state.mutex);
        return state.FollowedEntry;
    }

    std::string RowStatus(int row) { return ui.RowText(row, 1); }

    SharedState state;
    RecordingUi ui;
    TempFolder folder;
    FakeWorkers fakes{state};
    int pauses = 0;
    DownloadControl control{state, folder.Path(), fakes.Functions(), [this] { ++pauses; }};
};

}  // namespace tarnwick::testing
