#include "control/WorkOrderTaking.h"

#include "control/JobKind.h"
#include "model/CompletedFileUrl.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {

namespace {

constexpr const char* kReady = "Ready for download";

template <typename Record>
bool AppendShown(SharedState& state, Record record) {
    using Kind = JobKind<Record>;
    bool shown = false;
    {
        std::lock_guard lock(state.mutex);
        shown = state.CurrentCategory == Kind::category;
    }
    if (shown && !state.ui.InsertRowAtTop(KeyOf(record), record.status)) {
        state.ui.ShowMessage("Error adding files to list");
        return false;
    }
    std::lock_guard lock(state.mutex);
    Kind::List(state).Append(std::move(record));
    return true;
}

// The requested entry of this key, or nothing; under the lock.
template <typename Record>
Record* Requested(SharedState& state, const std::string& key) {
    EntryList<Record>& list = JobKind<Record>::List(state);
    return list.GetAt(list.FindByName(key));
}

std::string TakeFile(SharedState& state, const std::string& text) {
    const std::string url = FittedText(CompletedFileUrl(text), kUrlWidth);
    {
        std::lock_guard lock(state.mutex);
        if (const FileEntry* requested = Requested<FileEntry>(state, url)) {
            return requested->url;  // the listed spelling, which look-ups by key find
        }
    }
    AppendRequested(state, FileEntry{url, kReady});
    return url;
}

std::string TakeWebProject(SharedState& state, WebProject project, bool& made) {
    made = false;
    FitFields(project);
    {
        std::lock_guard lock(state.mutex);
        if (WebProject* requested = Requested<WebProject>(state, project.name)) {
            if (requested->startUrl != project.startUrl && !project.startUrl.empty()) {
                requested->startUrl = project.startUrl;
                state.RequestedWebSites.SetModified(1);
            }
            return requested->name;
        }
        const WebProject* mirrored =
            state.DownloadedSites.GetAt(state.DownloadedSites.FindByName(project.name));
        if (mirrored != nullptr) {
            const std::string startUrl = project.startUrl;
            project = *mirrored;
            if (!startUrl.empty()) {
                project.startUrl = startUrl;
            }
        } else {
            made = true;
        }
    }
    project.reserved = 0;
    project.status = kReady;
    const std::string name = project.name;
    AppendRequested(state, std::move(project));
    return name;
}

std::string TakeSearchProject(SharedState& state, SearchProject project) {
    FitFields(project);
    {
        std::lock_guard lock(state.mutex);
        if (SearchProject* requested = Requested<SearchProject>(state, project.name)) {
            if (requested->searchString != project.searchString) {
                requested->searchString = project.searchString;
                state.SearchProjects.SetModified(1);
            }
            // Engines named in the order replace the project's; none named keeps them.
            if (!NamesNoEngine(project)) {
                CopyEngineChoice(project, *requested);
                state.SearchProjects.SetModified(1);
            }
            return requested->name;
        }
    }
    project.status = kReady;
    const std::string name = project.name;
    AppendRequested(state, std::move(project));
    return name;
}

// Every requested entry, or those matching the names, oldest first.
void FindRunTargets(SharedState& state, const WorkOrder& order, TakenOrder& taken) {
    std::lock_guard lock(state.mutex);
    auto collect = [&](const auto& list, std::vector<std::string>& keys) {
        for (const auto& entry : list.Entries()) {
            keys.push_back(KeyOf(entry));
        }
    };
    if (order.runAll) {
        collect(state.RequestedFiles, taken.targets.files);
        collect(state.RequestedWebSites, taken.targets.webProjects);
        collect(state.SearchProjects, taken.targets.searchProjects);
        return;
    }
    for (const std::string& name : order.runNames) {
        if (const FileEntry* file = Requested<FileEntry>(state, name)) {
            taken.targets.files.push_back(file->url);
        } else if (const WebProject* web = Requested<WebProject>(state, name)) {
            taken.targets.webProjects.push_back(web->name);
        } else if (const SearchProject* search = Requested<SearchProject>(state, name)) {
            taken.targets.searchProjects.push_back(search->name);
        } else {
            taken.unknownNames.push_back(name);
        }
    }
}

}  // namespace

bool AppendRequested(SharedState& state, FileEntry entry) {
    return AppendShown(state, std::move(entry));
}
bool AppendRequested(SharedState& state, WebProject project) {
    return AppendShown(state, std::move(project));
}
bool AppendRequested(SharedState& state, SearchProject project) {
    return AppendShown(state, std::move(project));
}

TakenOrder TakeWorkOrder(SharedState& state, const WorkOrder& order) {
    TakenOrder taken;
    for (const std::string& url : order.fileUrls) {
        taken.targets.files.push_back(TakeFile(state, url));
    }
    for (const WebProject& project : order.webProjects) {
        bool made = false;
        taken.targets.webProjects.push_back(TakeWebProject(state, project, made));
        if (made) {
            taken.newWebProjects.push_back(taken.targets.webProjects.back());
        }
    }
    for (const SearchProject& project : order.searchProjects) {
        taken.targets.searchProjects.push_back(TakeSearchProject(state, project));
    }
    FindRunTargets(state, order, taken);
    return taken;
}

bool KeepFileOptions(SharedState& state, const std::filesystem::path& folder,
                     const std::vector<std::string>& urls, const FileRequestOptions& options) {
    FileRequestOptionsFile all = LoadFileRequestOptions(folder);
    for (const std::string& url : urls) {
        all[url] = options;
    }
    {
        // Options of entries no longer requested would only pile up.
        std::lock_guard lock(state.mutex);
        std::erase_if(all, [&state](const auto& entry) {
            return state.RequestedFiles.FindByName(entry.first) < 0;
        });
    }
    return StoreFileRequestOptions(folder, all);
}

}  // namespace tarnwick
