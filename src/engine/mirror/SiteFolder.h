#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/ConfinedFolder.h"
#include "storage/FileWriter.h"

namespace tarnwick {

// The folder a crawl mirrors a site into, WebSites/<site folder name> below the working
// directory, and the only way the crawl creates folders and files. Local names come from
// remote input; the folder is a ConfinedFolder, so each name is checked lexically to stay
// inside and nothing is opened through a symbolic link.
class SiteFolder {
public:
    SiteFolder(const std::filesystem::path& workingDirectory, std::string_view projectName);

    // The project name with '/' and '\' made '_'; an empty, "." or ".." name becomes "_".
    static std::string FolderName(std::string_view projectName);

    // "WebSites/<site folder name>", relative to the working directory: every local name
    // starts with it.
    const std::string& RelativePath() const { return relativePath_; }
    // The working directory, '/' and RelativePath().
    const std::string& AbsolutePath() const { return absolutePath_; }

    // The segments of a local name below the site folder ('\' counts as '/'), or nothing when
    // the name does not start with RelativePath(), has a "." or ".." segment, names no file
    // or has a segment too long for the file system.
    std::optional<std::vector<std::string>> SegmentsBelow(std::string_view localName) const;

    // Creates the folders of the local name and opens it for writing, truncated; a closed
    // file when the name is refused or anything on the way cannot be made.
    FileWriter CreateFile(std::string_view localName);
    // The site folder itself, for the files read back or written whole: the pages a portable
    // copy rewrites, its state and its report.
    ConfinedFolder& Folder() { return folder_; }

private:
    std::string relativePath_;
    std::string absolutePath_;
    ConfinedFolder folder_;
};

}  // namespace tarnwick
