#include "model/DownloadFolder.h"

namespace tarnwick {

namespace {
constexpr const char* kFilesFolder = "Files";
}

DownloadFolder DownloadFolder::Of(const std::filesystem::path& workingDirectory,
                                  const Settings& settings) {
    if (IsUsableDownloadFolder(settings.downloadFolder)) {
        return {settings.downloadFolder, {}};
    }
    return {workingDirectory, {kFilesFolder}};
}

std::filesystem::path DownloadFolder::Path() const {
    std::filesystem::path path = base;
    for (const std::string& segment : below) {
        path /= segment;
    }
    return path;
}

}  // namespace tarnwick
