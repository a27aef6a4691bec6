#include "control/LocalCopies.h"

#include "engine/files/PartialProgress.h"
#include "engine/mirror/SiteFolder.h"
#include "engine/mirror/StoredNames.h"
#include "engine/net/Url.h"
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

}  // namespace tarnwick
