#include "engine/mirror/SiteFolder.h"

namespace tarnwick {

namespace {
constexpr const char* kWebSitesFolder = "WebSites";
}

SiteFolder::SiteFolder(const std::filesystem::path& workingDirectory, std::string_view projectName)
    : relativePath_(std::string(kWebSitesFolder) + "/" + FolderName(projectName)),
      absolutePath_((workingDirectory / relativePath_).string()),
      folder_(workingDirectory, {kWebSitesFolder, FolderName(projectName)}) {
    folder_.Open(true);
}

std::string SiteFolder::FolderName(std::string_view projectName) {
    if (projectName.empty() || projectName == "." || projectName == "..") {
        return "_";
    }
    std::string name(projectName);
    for (char& c : name) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    return name;
}

std::optional<std::vector<std::string>> SiteFolder::SegmentsBelow(
    std::string_view localName) const {
    if (localName.substr(0, relativePath_.size()) != relativePath_) {
        return std::nullopt;
    }
    const std::string_view rest = localName.substr(relativePath_.size());
    if (rest.empty() || (rest.front() != '/' && rest.front() != '\\')) {
        return std::nullopt;
    }
    return ConfinedFolder::SegmentsOf(rest.substr(1));
}

FileWriter SiteFolder::CreateFile(std::string_view localName) {
    const auto segments = SegmentsBelow(localName);
    if (!segments) {
        return FileWriter();
    }
    return folder_.CreateFile(*segments);
}

}  // namespace tarnwick
