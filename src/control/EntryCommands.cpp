#include "control/EntryCommands.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "control/JobKind.h"
#include "control/WorkOrderTaking.h"
#include "engine/files/PartialProgress.h"
#include "model/CompletedFileUrl.h"
#include "model/JobGate.h"
#include "model/UrlsInText.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

namespace {

constexpr const char* kReady = "Ready for download";

// Row texts are read with room for 79 characters, like a name field.
std::string RowTextAsName(SharedState& state, int row, int column) {
    return FittedText(state.ui.RowText(row, column), kNameWidth);
}

ListCategory CurrentCategoryOf(SharedState& state) {
    std::lock_guard lock(state.mutex);
    return state.CurrentCategory;
}

// Ends the worker of the entry at this index, paused, queued or running, so that it stops
// writing and a later entry of the same key starts afresh instead of resuming it. A requested
// file's partial download goes with the entry: its worker removes it once it has ended, or
// it goes here when no worker runs. Call with the mutex held.
template <typename Record>
void EndJobOf(SharedState& state, const EntryList<Record>& list, int index,
              const DownloadFolder& downloads) {
    const Record* entry = list.GetAt(index);
    if (entry == nullptr) {
        return;
    }
    RunningJobTable& jobs = JobKind<Record>::Jobs(state);
    const int job = jobs.FindByName(KeyOf(*entry));
    if (const RunningJob* running = jobs.GetAt(job)) {
        if (running->thread) {
            running->thread->Discard();
        }
        jobs.RemoveAt(job);
    } else if constexpr (std::is_same_v<Record, FileEntry>) {
        DiscardPartial(downloads, entry->url);
    }
}

// The entry a dialog was opened for, found again after the dialog closed: at the same
// index if it still holds the same key, else the first entry with that key.
template <typename List>
auto* FindAgain(List& list, int index, const std::string& key) {
    auto* entry = list.GetAt(index);
    if (entry != nullptr && EqualsIgnoreCase(KeyOf(*entry), key)) {
        return entry;
    }
    return list.GetAt(list.FindByName(key));
}

// Opens an editor on the entry of a row and, on OK, stores the edited entry in place and
// shows its new name in the row. The list is not locked while the editor is open. Returns
// the entry as stored, nothing when it was not.
template <typename List, typename Locate, typename Edit>
auto EditEntryOfRow(SharedState& state, List& list, int row, Locate locate, Edit edit) {
    using Record = std::remove_cvref_t<decltype(*list.GetAt(0))>;
    Record entry;
    int index = -1;
    {
        std::lock_guard lock(state.mutex);
        index = locate(list);
        const Record* found = list.GetAt(index);
        if (found == nullptr) {
            return std::optional<Record>();
        }
        entry = *found;
    }
    const std::string key = KeyOf(entry);
    if (!edit(entry)) {
        return std::optional<Record>();
    }
    FitFields(entry);
    {
        std::lock_guard lock(state.mutex);
        Record* target = FindAgain(list, index, key);
        if (target == nullptr) {
            return std::optional<Record>();
        }
        *target = entry;
        list.SetModified(1);
    }
    state.ui.SetRowProject(row, KeyOf(entry));
    return std::optional<Record>(entry);
}

}  // namespace

void EntryCommands::OnAddFiles() {
    std::string text;
    FileRequestOptions options;
    if (!editors_.AskFileUrl(text, options)) {
        return;
    }
    AddFileUrls(UrlLines(text), options);
}

void EntryCommands::AddFileUrls(const std::vector<std::string>& addresses,
                                const FileRequestOptions& options) {
    std::vector<std::string> added;
    std::vector<std::string> refused;
    for (const std::string& address : addresses) {
        const std::string url = FittedText(CompletedFileUrl(address), kUrlWidth);
        bool requested = false;
        {
            std::lock_guard lock(state_.mutex);
            requested = state_.RequestedFiles.FindByName(url) >= 0;
        }
        if (requested) {
            if (std::find(refused.begin(), refused.end(), url) == refused.end()) {
                refused.push_back(url);
            }
            continue;
        }
        if (!AppendRequested(state_, FileEntry{url, kReady})) {
            break;  // the panel refused the row and said so
        }
        added.push_back(url);
    }
    if (!added.empty() && options != FileRequestOptions{} &&
        !KeepFileOptions(state_, workingDirectory_, added, options)) {
        state_.ui.ShowMessage(kFileOptionsNotSaved);
    }
    if (!refused.empty()) {
        std::string names;
        for (const std::string& url : refused) {
            names += "\n" + url;
        }
        state_.ui.ShowMessage((refused.size() == 1 ? "Already requested, not added again:"
                                                   : "Already requested, not added again (" +
                                                         std::to_string(refused.size()) + "):") +
                              names);
    }
}

void EntryCommands::OnAddWebSite() {
    WebProject project = BlankWebProject();
    // A new project makes a portable copy; it never takes the options of one before it.
    WebProjectOptions options = NewWebProjectOptions(LoadSettings(workingDirectory_));
    if (!editors_.EditWebProject(project, options, "Add New Web Project") || project.name.empty()) {
        return;
    }
    bool exists = false;
    {
        std::lock_guard lock(state_.mutex);
        exists = state_.RequestedWebSites.FindByName(project.name) >= 0;
    }
    if (exists) {
        state_.ui.ShowMessage("A project with that name already exists!");
        return;
    }
    if (project.runWhenRequested == 1) {
        project.startMinute = 0;
        project.startHour = 0;
    }
    if (project.stopWhenRequested == 1) {
        project.stopMinute = 0;
        project.stopHour = 0;
    }
    project.reserved = 0;
    project.status = kReady;
    const std::string name = project.name;
    if (AppendRequested(state_, std::move(project))) {
        KeepWebOptions({}, name, options);
    }
}

void EntryCommands::KeepWebOptions(const std::string& formerName, const std::string& name,
                                   const WebProjectOptions& options) {
    // Options go by name: a renamed project takes its own along.
    bool stored = true;
    if (!formerName.empty() && formerName != name) {
        stored = StoreWebProjectOptions(workingDirectory_, formerName, std::nullopt);
    }
    if (!StoreWebProjectOptions(workingDirectory_, name, options) || !stored) {
        state_.ui.ShowMessage("Error saving the web project options");
    }
}

void EntryCommands::OnAddSearchProject() {
    SearchProject project;
    if (!editors_.EditSearchProject(project)) {
        return;
    }
    project.reservedText1.clear();
    project.reservedText2.clear();
    project.status = kReady;
    AppendRequested(state_, std::move(project));
}

void EntryCommands::OnDeleteEntry() {
    const ListCategory category = CurrentCategoryOf(state_);
    if (category != ListCategory::RequestedFiles && category != ListCategory::RequestedWebSites &&
        category != ListCategory::SearchProjects) {
        state_.ui.ShowMessage("You are not alowed to delete entries in this panel");
        return;
    }
    const int selected = state_.ui.SelectedCount();
    if (selected == 0) {
        return;
    }
    if (!state_.ui.AskYesNo(selected == 1 ? "Are you sure you want to delete that entry?"
                                          : "Are you sure you want to delete those entries?")) {
        return;
    }
    const int toDelete = state_.ui.SelectedCount();
    const DownloadFolder downloads =
        DownloadFolder::Of(workingDirectory_, LoadSettings(workingDirectory_));
    for (int n = 0; n < toDelete; ++n) {
        int count = 0;
        {
            std::lock_guard lock(state_.mutex);
            count = WithCategoryList(state_, category, [](auto& list) { return list.GetCount(); });
        }
        int row = 0;
        while (row < count && !state_.ui.IsRowSelected(row)) {
            ++row;
        }
        if (row >= count) {
            return;
        }
        state_.ui.DeleteRow(row);
        std::lock_guard lock(state_.mutex);
        WithCategoryList(state_, category, [this, row, &downloads](auto& list) {
            const int index = IndexOfRow(list.GetCount(), row);
            EndJobOf(state_, list, index, downloads);
            list.RemoveAt(index);
        });
    }
}

void EntryCommands::OnProperties(CommandSource source) {
    const ListCategory category = CurrentCategoryOf(state_);
    if ((category != ListCategory::RequestedWebSites && category != ListCategory::SearchProjects) ||
        state_.ui.SelectedCount() == 0) {
        return;
    }
    const int rows = state_.ui.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (!state_.ui.IsRowSelected(row)) {
            continue;
        }
        if (category == ListCategory::RequestedWebSites) {
            EditWebProjectRow(row, source);
        } else {
            EditSearchProjectRow(row);
        }
    }
}

void EntryCommands::EditWebProjectRow(int row, CommandSource source) {
    const std::string rowName = RowTextAsName(state_, row, 0);
    std::string formerName;
    WebProjectOptions options;
    const std::optional<WebProject> edited = EditEntryOfRow(
        state_, state_.RequestedWebSites, row,
        // The panel takes the entry by position, the main window by the row's name.
        [&](const WebProjectList& list) {
            return source == CommandSource::ListPanel ? IndexOfRow(list.GetCount(), row)
                                                      : list.FindByName(rowName);
        },
        [&](WebProject& project) {
            formerName = project.name;
            options = LoadWebProjectOptions(workingDirectory_, project.name);
            if (!editors_.EditWebProject(project, options, "Web Project Properties")) {
                return false;
            }
            project.reserved = 0;
            project.status = kReady;
            return true;
        });
    if (edited) {
        KeepWebOptions(formerName, edited->name, options);
    }
}

void EntryCommands::EditSearchProjectRow(int row) {
    const std::string rowName = RowTextAsName(state_, row, 0);
    EditEntryOfRow(
        state_, state_.SearchProjects, row,
        [&](const SearchProjectList& list) { return list.FindByName(rowName); },
        [this](SearchProject& project) {
            if (!editors_.EditSearchProject(project)) {
                return false;
            }
            project.reservedText1.clear();
            project.reservedText2.clear();
            project.status = kReady;
            return true;
        });
}

void EntryCommands::OnSendToRequestedFiles() {
    if (CurrentCategoryOf(state_) != ListCategory::SearchResults ||
        state_.ui.SelectedCount() == 0) {
        return;
    }
    const int rows = state_.ui.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (!state_.ui.IsRowSelected(row)) {
            continue;
        }
        const std::string url = state_.ui.RowText(row, 0);
        if (!url.empty() && url.back() == '/') {
            return;
        }
        std::lock_guard lock(state_.mutex);
        state_.RequestedFiles.Append(FileEntry{url, "Ready for donwload"});
    }
}

void EntryCommands::OnSendToRequestedWebSites(CommandSource source) {
    if (CurrentCategoryOf(state_) != ListCategory::SearchResults ||
        state_.ui.SelectedCount() == 0) {
        return;
    }
    const bool fromPanel = source == CommandSource::ListPanel;
    WebProject& staging = fromPanel ? listPanelStaging_ : mainWindowStaging_;
    const int rows = state_.ui.RowCount();
    for (int row = 0; row < rows; ++row) {
        if (!state_.ui.IsRowSelected(row)) {
            continue;
        }
        if (fromPanel) {
            staging = WebProject();
        }
        staging.startUrl = RowTextAsName(state_, row, 0);
        staging.name = RowTextAsName(state_, row, 1);
        if (!fromPanel) {
            staging.runWhenRequested = 1;
            staging.stopWhenRequested = 1;
        }
        WebProjectOptions options = NewWebProjectOptions(LoadSettings(workingDirectory_));
        if (!editors_.EditWebProject(staging, options,
                                     fromPanel ? "New Web Project " : "Web Project Properties")) {
            continue;
        }
        staging.reserved = 0;
        staging.status = kReady;
        bool named = false;
        {
            std::lock_guard lock(state_.mutex);
            // The options of a project of that name already listed stay its own.
            named = !staging.name.empty() && state_.RequestedWebSites.FindByName(staging.name) < 0;
            state_.RequestedWebSites.Append(staging);
        }
        if (named) {
            KeepWebOptions({}, staging.name, options);
        }
    }
}

void EntryCommands::OnDeleteAllLists() {
    const DownloadFolder downloads =
        DownloadFolder::Of(workingDirectory_, LoadSettings(workingDirectory_));
    {
        std::lock_guard lock(state_.mutex);
        for (ListCategory category : {ListCategory::RequestedFiles, ListCategory::RequestedWebSites,
                                      ListCategory::DownloadedFiles, ListCategory::DownloadedSites,
                                      ListCategory::SearchProjects, ListCategory::SearchResults}) {
            const bool requested =
                std::find(kRequestedCategories.begin(), kRequestedCategories.end(), category) !=
                kRequestedCategories.end();
            WithCategoryList(state_, category, [this, requested, &downloads](auto& list) {
                for (int index = list.GetCount() - 1; index >= 0; --index) {
                    if (requested) {
                        EndJobOf(state_, list, index, downloads);
                    }
                    list.RemoveAt(index);
                }
            });
        }
    }
    state_.ui.DeleteAllRows();
}

void EntryCommands::RunStartDialog() {
    switch (editors_.AskStartChoice()) {
        case 2:
            OnAddWebSite();
            break;
        case 3:
            OnAddSearchProject();
            break;
        default:
            break;
    }
}

}  // namespace tarnwick
