#pragma once

#include <optional>

#include "model/EntryList.h"
#include "model/ListCategory.h"
#include "model/Records.h"
#include "model/SharedState.h"

namespace tarnwick {

// The three kinds of requested entries that workers serve, told apart by their record:
// each kind has its requested list, its category, its running-job table and its hand-over
// slot.
template <typename Record>
struct JobKind;

template <>
struct JobKind<FileEntry> {
    static constexpr ListCategory category = ListCategory::RequestedFiles;
    static EntryList<FileEntry>& List(SharedState& state) { return state.RequestedFiles; }
    static RunningJobTable& Jobs(SharedState& state) { return state.RunningFileJobs; }
    static std::optional<FileEntry>& Slot(SharedState& state) { return state.CurrentFileEntry; }
};

template <>
struct JobKind<WebProject> {
    static constexpr ListCategory category = ListCategory::RequestedWebSites;
    static EntryList<WebProject>& List(SharedState& state) { return state.RequestedWebSites; }
    static RunningJobTable& Jobs(SharedState& state) { return state.RunningSiteJobs; }
    static std::optional<WebProject>& Slot(SharedState& state) { return state.CurrentWebProject; }
};

template <>
struct JobKind<SearchProject> {
    static constexpr ListCategory category = ListCategory::SearchProjects;
    static EntryList<SearchProject>& List(SharedState& state) { return state.SearchProjects; }
    static RunningJobTable& Jobs(SharedState& state) { return state.RunningSearchJobs; }
    static std::optional<SearchProject>& Slot(SharedState& state) {
        return state.CurrentSearchProject;
    }
};

}  // namespace tarnwick
