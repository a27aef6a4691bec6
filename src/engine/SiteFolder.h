#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/OutputFile.h"

namespace tarnwick {

// The folder a crawl mirrors a site into, WebSites/<site folder name> below the working
// directory, and the only way the crawl creates folders and files. Local names come from
// remote input, so each is checked lexically to stay inside, and folders and files are
// opened relative to the site folder without following symbolic links: neither a ".."
// segment nor a link planted in the tree leads out.
class SiteFolder {
public:
    SiteFolder(const std::filesystem::path& workingDirectory, std::string_view projectName);
    ~SiteFolder();
    SiteFolder(const SiteFolder&) = delete;
    SiteFolder& operator=(const SiteFolder&) = delete;

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
    OutputFile CreateFile(std::string_view localName);

private:
    // The folder of the given segments below the site folder, made where missing; -1 when
    // it cannot be made or a symbolic link stands in its place. The folder stays open.
    int OpenFolder(const std::vector<std::string>& segments, std::size_t count);

    std::string relativePath_;
    std::string absolutePath_;
    int fd_ = -1;  // the site folder itself, -1 when it could not be made
    // The folders used last, most recent first: a crawl stores runs of files in one folder,
    // and each folder walked again costs a system call per level.
    std::vector<std::pair<std::string, int>> openFolders_;
};

}  // namespace tarnwick
