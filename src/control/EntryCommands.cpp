#include "control/EntryCommands.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "control/JobKind.h"
#include "control/WorkOrderTaking.h"
#include "engine/files/PartialProgress.h"
#include "model/CompletedFileUrl.h"
#include "model/JobGate.h"
#include "model/ListChanges.h"
#include "model/UrlsInText.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

namespace {

constexpr const char* kReady = "Ready for download";

bool IsRequested(ListCategory category) {
    return std::find(kRequestedCategories.begin(), kRequestedCategories.end(), category) !=
           kRequestedCategories.end();
}

// Ends the entry's worker, paused, queued or running, so that it stops writing and a later
// entry of the same key starts afresh instead of resuming it. A requested file's partial
// download goes with the entry: its worker removes it once it has ended, or it goes here when
// no worker runs. Call with the mutex held.
template <typename Record>
void EndJobOf(SharedState& state, const EntryList<Record>& list, EntryId id,
              const DownloadFolder& downloads) {
    const Record* entry = list.Find(id);
    if (entry == nullptr) {
        return;
    }
    RunningJobTable& jobs = JobKind<Record>::Jobs(state);
    if (const RunningJob* running = jobs.Find(id)) {
        if (running->thread) {
            running->thread->Discard();
        }
        jobs.Remove(id);
    } else if constexpr (std::is_same_v<Record, FileEntry>) {
        DiscardPartial(downloads, entry->url);
    }
}

// Opens an editor on a copy of the entry and, on OK, stores the edited entry in its place and
// tells its new name. The list is not locked while the editor is open. Returns the entry as
// stored, nothing when it was not.
template <typename Record, typename Edit>
std::optional<Record> EditEntry(SharedState& state, ListCategory category, EntryId id, Edit edit) {
    EntryList<Record>& list = *ListOf<Record>(state, category);
    Record entry;
    {
        std::lock_guard lock(state.mutex);
        const Record* found = list.Find(id);
        if (found == nullptr) {
            return std::nullopt;
        }
        entry = *found;
    }
    if (!edit(entry)) {
        return std::nullopt;
    }
    FitFields(entry);
    {
        std::lock_guard lock(state.mutex);
        Record* target = list.Find(id);
        if (target == nullptr) {
            return std::nullopt;
        }
        *target = entry;
        list.SetModified(1);
    }
    state.ui.EntryChanged(
        EntryChange{category, id, KeyOf(entry), std::nullopt, std::nullopt, false});
    return entry;
}

// The entries of the ids, those gone left out; under the lock.
template <typename Record>
std::vector<std::pair<EntryId, Record>> EntriesOf(SharedState& state, ListCategory category,
                                                  const std::vector<EntryId>& ids) {
    std::vector<std::pair<EntryId, Record>> entries;
    std::lock_guard lock(state.mutex);
    const EntryList<Record>& list = *ListOf<Record>(state, category);
    for (const EntryId id : ids) {
        if (const Record* entry = list.Find(id)) {
            entries.emplace_back(id, *entry);
        }
    }
    return entries;
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
            requested = state_.RequestedFiles.FindIdByName(url) != kNoEntry;
        }
        if (requested) {
            if (std::find(refused.begin(), refused.end(), url) == refused.end()) {
                refused.push_back(url);
            }
            continue;
        }
        AppendRequested(state_, FileEntry{url, kReady});
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
        exists = state_.RequestedWebSites.FindIdByName(project.name) != kNoEntry;
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
    AppendRequested(state_, std::move(project));
    KeepWebOptions({}, name, options);
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

void EntryCommands::OnDeleteEntry(ListCategory shown, const std::vector<EntryId>& selected) {
    if (!IsRequested(shown)) {
        state_.ui.ShowMessage("You are not alowed to delete entries in this panel");
        return;
    }
    if (selected.empty()) {
        return;
    }
    if (!state_.ui.AskYesNo(selected.size() == 1
                                ? "Are you sure you want to delete that entry?"
                                : "Are you sure you want to delete those entries?")) {
        return;
    }
    const DownloadFolder downloads =
        DownloadFolder::Of(workingDirectory_, LoadSettings(workingDirectory_));
    for (const EntryId id : selected) {
        bool removed = false;
        {
            std::lock_guard lock(state_.mutex);
            removed = WithCategoryList(state_, shown, [&](auto& list) {
                EndJobOf(state_, list, id, downloads);
                return list.Remove(id);
            });
        }
        if (removed) {
            state_.ui.EntryRemoved(shown, id);
        }
    }
}

void EntryCommands::OnProperties(ListCategory shown, const std::vector<EntryId>& selected,
                                 CommandSource source) {
    if (shown != ListCategory::RequestedWebSites && shown != ListCategory::SearchProjects) {
        return;
    }
    for (const EntryId id : selected) {
        if (shown == ListCategory::RequestedWebSites) {
            EditWebProject(id, source);
        } else {
            EditSearchProject(id);
        }
    }
}

void EntryCommands::EditWebProject(EntryId id, CommandSource source) {
    EntryId editedId = id;
    if (source == CommandSource::MainWindow) {
        // The main window edits the first project of the selected one's name.
        std::lock_guard lock(state_.mutex);
        if (const WebProject* selected = state_.RequestedWebSites.Find(id)) {
            editedId = state_.RequestedWebSites.FindIdByName(selected->name);
        }
    }
    std::string formerName;
    WebProjectOptions options;
    const std::optional<WebProject> edited = EditEntry<WebProject>(
        state_, ListCategory::RequestedWebSites, editedId, [&](WebProject& project) {
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

void EntryCommands::EditSearchProject(EntryId id) {
    EntryId editedId = id;
    {
        // Found by its name: the first project of the selected one's name is edited.
        std::lock_guard lock(state_.mutex);
        if (const SearchProject* selected = state_.SearchProjects.Find(id)) {
            editedId = state_.SearchProjects.FindIdByName(selected->name);
        }
    }
    EditEntry<SearchProject>(state_, ListCategory::SearchProjects, editedId,
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

void EntryCommands::OnSendToRequestedFiles(ListCategory shown,
                                           const std::vector<EntryId>& selected) {
    if (shown != ListCategory::SearchResults) {
        return;
    }
    for (const auto& [id, result] : EntriesOf<FileEntry>(state_, shown, selected)) {
        if (!result.url.empty() && result.url.back() == '/') {
            return;
        }
        AppendRequested(state_, FileEntry{result.url, "Ready for donwload"});
    }
}

void EntryCommands::OnSendToRequestedWebSites(ListCategory shown,
                                              const std::vector<EntryId>& selected,
                                              CommandSource source) {
    if (shown != ListCategory::SearchResults) {
        return;
    }
    const bool fromPanel = source == CommandSource::ListPanel;
    WebProject& staging = fromPanel ? listPanelStaging_ : mainWindowStaging_;
    for (const auto& [id, result] : EntriesOf<FileEntry>(state_, shown, selected)) {
        if (fromPanel) {
            staging = WebProject();
        }
        // A result's status is the name of the project that found it.
        staging.startUrl = FittedText(result.url, kNameWidth);
        staging.name = FittedText(result.status, kNameWidth);
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
            named = !staging.name.empty() &&
                    state_.RequestedWebSites.FindIdByName(staging.name) == kNoEntry;
        }
        AppendRequested(state_, staging);
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
            const bool requested = IsRequested(category);
            WithCategoryList(state_, category, [this, requested, &downloads](auto& list) {
                for (int index = list.GetCount() - 1; index >= 0; --index) {
                    if (requested) {
                        EndJobOf(state_, list, list.IdAt(index), downloads);
                    }
                    list.RemoveAt(index);
                }
            });
        }
    }
    state_.ui.ListsEmptied();
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
