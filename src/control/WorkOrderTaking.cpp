#include "control/WorkOrderTaking.h"

#include "model/CompletedFileUrl.h"
#include "model/ListChanges.h"
#include "model/SearchEngineChoice.h"

namespace tarnwick {

namespace {

constexpr const char* kReady = "Ready for download";

EntryId TakeFile(SharedState& state, const std::string& text) {
    const std::string url = FittedText(CompletedFileUrl(text), kUrlWidth);
    {
        std::lock_guard lock(state.mutex);
        if (const EntryId requested = state.RequestedFiles.FindIdByName(url);
            requested != kNoEntry) {
            return requested;
        }
    }
    return AppendRequested(state, FileEntry{url, kReady});
}

EntryId TakeWebProject(SharedState& state, WebProject project, bool& made) {
    made = false;
    FitFields(project);
    {
        std::lock_guard lock(state.mutex);
        const EntryId requestedId = state.RequestedWebSites.FindIdByName(project.name);
        if (WebProject* requested = state.RequestedWebSites.Find(requestedId)) {
            if (requested->startUrl != project.startUrl && !project.startUrl.empty()) {
                requested->startUrl = project.startUrl;
                state.RequestedWebSites.SetModified(1);
            }
            return requestedId;
        }
        const WebProject* mirrored =
            state.DownloadedSites.Find(state.DownloadedSites.FindIdByName(project.name));
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
    return AppendRequested(state, std::move(project));
}

EntryId TakeSearchProject(SharedState& state, SearchProject project) {
    FitFields(project);
    {
        std::lock_guard lock(state.mutex);
        const EntryId requestedId = state.SearchProjects.FindIdByName(project.name);
        if (SearchProject* requested = state.SearchProjects.Find(requestedId)) {
            if (requested->searchString != project.searchString) {
                requested->searchString = project.searchString;
                state.SearchProjects.SetModified(1);
            }
            // Engines named in the order replace the project's; none named keeps them.
            if (!NamesNoEngine(project)) {
                CopyEngineChoice(project, *requested);
                state.SearchProjects.SetModified(1);
            }
            return requestedId;
        }
    }
    project.status = kReady;
    return AppendRequested(state, std::move(project));
}

// Every requested entry, or those matching the names, oldest first.
void FindRunTargets(SharedState& state, const WorkOrder& order, TakenOrder& taken) {
    std::lock_guard lock(state.mutex);
    auto collect = [&](const auto& list, std::vector<EntryId>& ids) {
        for (const auto& [id, entry] : list.WithIds()) {
            ids.push_back(id);
        }
    };
    if (order.runAll) {
        collect(state.RequestedFiles, taken.targets.files);
        collect(state.RequestedWebSites, taken.targets.webProjects);
        collect(state.SearchProjects, taken.targets.searchProjects);
        return;
    }
    for (const std::string& name : order.runNames) {
        if (const EntryId file = state.RequestedFiles.FindIdByName(name); file != kNoEntry) {
            taken.targets.files.push_back(file);
        } else if (const EntryId web = state.RequestedWebSites.FindIdByName(name);
                   web != kNoEntry) {
            taken.targets.webProjects.push_back(web);
        } else if (const EntryId search = state.SearchProjects.FindIdByName(name);
                   search != kNoEntry) {
            taken.targets.searchProjects.push_back(search);
        } else {
            taken.unknownNames.push_back(name);
        }
    }
}

}  // namespace

EntryId AppendRequested(SharedState& state, FileEntry entry) {
    return AddEntry(state, ListCategory::RequestedFiles, std::move(entry));
}
EntryId AppendRequested(SharedState& state, WebProject project) {
    return AddEntry(state, ListCategory::RequestedWebSites, std::move(project));
}
EntryId AppendRequested(SharedState& state, SearchProject project) {
    return AddEntry(state, ListCategory::SearchProjects, std::move(project));
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

std::vector<std::string> RequestedKeys(SharedState& state, ListCategory category,
                                       const std::vector<EntryId>& ids) {
    std::lock_guard lock(state.mutex);
    return WithCategoryList(state, category, [&ids](const auto& list) {
        std::vector<std::string> keys;
        for (const EntryId id : ids) {
            if (const auto* entry = list.Find(id)) {
                keys.push_back(KeyOf(*entry));
            }
        }
        return keys;
    });
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
            return state.RequestedFiles.FindIdByName(entry.first) == kNoEntry;
        });
    }
    return StoreFileRequestOptions(folder, all);
}

}  // namespace tarnwick
