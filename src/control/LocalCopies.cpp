#include "control/LocalCopies.h"

#include "engine/files/PartialProgress.h"
#include "engine/mirror/SiteFolder.h"
#include "engine/mirror/StoredNames.h"
#include "engine/net/Url.h"
#include "model/ListChanges.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

namespace {

std::filesystem::path SiteFolderPath(const std::filesystem::path& workingDirectory,
                                     const std::string& projectName) {
    return workingDirectory / "WebSites" / SiteFolder::FolderName(projectName);
}

}  // namespace

std::filesystem::path DownloadedFilePath(const std::filesystem::path& workingDirectory,
                                         const Settings& settings, const std::string& url) {
    const std::string name = LocalFileNameFor(url);
    const std::filesystem::path chosen =
        DownloadFolder::Of(workingDirectory, settings).Path() / name;
    const std::filesystem::path files = DownloadFolder::Of(workingDirectory, {}).Path() / name;
    std::error_code ignored;
    return std::filesystem::exists(chosen, ignored) || !std::filesystem::exists(files, ignored)
               ? chosen
               : files;
}

std::filesystem::path SiteStartPage(const std::filesystem::path& workingDirectory,
                                    const WebProject& project) {
    const std::filesystem::path folder = SiteFolderPath(workingDirectory, project.name);
    if (LoadWebProjectOptions(workingDirectory, project.name).portable) {
        if (const std::optional<Url> start = Url::Parse(project.startUrl);
            start && start->IsWeb()) {
            return folder / StoredNameOf(*start, StoredKind::Page);
        }
    }
    return folder / "default.htm";
}

std::filesystem::path SiteReportPage(const std::filesystem::path& workingDirectory,
                                     const std::string& projectName) {
    return SiteFolderPath(workingDirectory, projectName) / std::string(kReportPageName);
}

std::vector<std::filesystem::path> LocalCopiesOf(SharedState& state,
                                                 const std::filesystem::path& workingDirectory,
                                                 const Settings& settings, ListCategory category,
                                                 const std::vector<EntryId>& selected,
                                                 LocalCopy what) {
    const bool sites =
        category == ListCategory::DownloadedSites || category == ListCategory::RequestedWebSites;
    std::vector<std::string> urls;
    std::vector<WebProject> projects;
    {
        std::lock_guard lock(state.mutex);
        for (const EntryId id : selected) {
            if (sites) {
                if (const WebProject* project = ListOf<WebProject>(state, category)->Find(id)) {
                    projects.push_back(*project);
                }
            } else if (const EntryList<FileEntry>* files = ListOf<FileEntry>(state, category)) {
                if (const FileEntry* file = files->Find(id)) {
                    urls.push_back(file->url);
                }
            }
        }
    }
    std::vector<std::filesystem::path> paths;
    for (const std::string& url : urls) {
        paths.push_back(DownloadedFilePath(workingDirectory, settings, url));
    }
    for (const WebProject& project : projects) {
        paths.push_back(what == LocalCopy::Report ? SiteReportPage(workingDirectory, project.name)
                                                  : SiteStartPage(workingDirectory, project));
    }
    if (what == LocalCopy::ContainingFolder) {
        for (std::filesystem::path& path : paths) {
            path = path.parent_path();
        }
    }
    return paths;
}

}  // namespace tarnwick
