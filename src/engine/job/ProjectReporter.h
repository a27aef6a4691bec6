#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "model/ListCategory.h"
#include "model/SharedState.h"

namespace tarnwick {

// Where a running project's row is now.
struct ProjectRow {
    int index = -1;
    int row = -1;
    bool shown = false;     // the entry list shows the project's list
    bool selected = false;  // shown, and the row is SelectedRow
};

// Reports of one running project to the window. Its row is looked up again by name under
// the state's mutex for every report, since other threads add and remove entries meanwhile;
// the window itself is called after the mutex is released. Status panel texts go out only
// for the selected row of the shown list, row texts only while the list is shown.
template <typename List>
class ProjectReporter {
public:
    ProjectReporter(SharedState& state, List SharedState::*list, ListCategory category,
                    std::string name)
        : state_(state), list_(list), category_(category), name_(std::move(name)) {}

    const std::string& Name() const { return name_; }

    // Nothing when the project is no longer in its list. The caller holds the mutex.
    std::optional<ProjectRow> FindRowLocked() const {
        const List& list = state_.*list_;
        const int index = list.FindByName(name_);
        if (index < 0) {
            return std::nullopt;
        }
        ProjectRow found;
        found.index = index;
        found.row = RowOfIndex(list.GetCount(), index);
        found.shown = state_.CurrentCategory == category_;
        found.selected = found.shown && state_.SelectedRow == found.row;
        return found;
    }

    std::optional<ProjectRow> FindRow() const {
        std::lock_guard lock(state_.mutex);
        return FindRowLocked();
    }

    // Each returns false when the project is gone.
    bool EchoStatus(const std::string& text) const {
        return Echo(text, [this](const std::string& t) { state_.ui.SetStatusText(t); });
    }

    bool EchoLastAction(const std::string& text) const {
        return Echo(text, [this](const std::string& t) { state_.ui.SetLastActionText(t); });
    }

    // Column 1 of the row while the list is shown, and Status too when the row is selected.
    bool ShowInRow(const std::string& text, bool alsoAsStatus) const {
        const std::optional<ProjectRow> found = FindRow();
        if (!found) {
            return false;
        }
        if (found->shown) {
            state_.ui.SetRowStatus(found->row, text);
        }
        if (alsoAsStatus && found->selected) {
            state_.ui.SetStatusText(text);
        }
        return true;
    }

private:
    template <typename Show>
    bool Echo(const std::string& text, Show show) const {
        const std::optional<ProjectRow> found = FindRow();
        if (!found) {
            return false;
        }
        if (found->selected) {
            show(text);
        }
        return true;
    }

    SharedState& state_;
    List SharedState::*list_;
    ListCategory category_;
    std::string name_;
};

}  // namespace tarnwick
