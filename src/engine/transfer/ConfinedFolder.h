#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/transfer/FileWriter.h"

namespace tarnwick {

// A folder below the working directory that files named from remote input go into
// (Files/, WebSites/<project>/), and the one way the workers make folders and files there.
// Names are checked lexically, and every folder and file is opened relative to this folder
// without following symbolic links, so neither a ".." segment nor a link planted in the tree
// leads out. The working directory itself is the user's choice and may be a link.
class ConfinedFolder {
public:
    // below: the folder's segments below the working directory, e.g. {"Files"}.
    ConfinedFolder(std::filesystem::path workingDirectory, std::vector<std::string> below);
    ~ConfinedFolder();
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    // Not empty, not "." or "..", no '/' or NUL, and short enough for one file name.
    static bool IsPlainName(std::string_view name);
    // The segments of a path relative to the folder ('\' counts as '/', doubled separators
    // name no folder), or nothing when a segment is "." or "..", holds a NUL or is too long,
    // or when the path names no file.
    static std::optional<std::vector<std::string>> SegmentsOf(std::string_view relative);

    // Opens the folder, making it (and those between it and the working directory) when
    // create is set; false when it is missing, cannot be made or a link stands in its place.
    // With no segments below, the working directory itself is the folder, and is made.
    bool Open(bool create);

    // Makes the folders of the segments and creates or truncates the file; a closed writer
    // when a name is refused or anything on the way cannot be made.
    FileWriter CreateFile(const std::vector<std::string>& segments);

    // A plain file of the folder opened for reading and writing, not truncated, made when
    // missing if create is set; -1 when refused (a link or other non-file in its place).
    int OpenFile(const std::string& name, bool create);

    enum class EntryKind { Missing, File, Other };
    EntryKind KindOf(const std::string& name);
    std::optional<std::uint64_t> SizeOf(const std::string& name);
    // A small plain file's bytes; nothing when missing, not a file or longer than limit.
    std::optional<std::string> ReadSmallFile(const std::string& name, std::size_t limit);
    // Replaces the file atomically: a temporary file written, fsynced and renamed over it.
    bool ReplaceFile(const std::string& name, std::string_view data);
    bool Rename(const std::string& from, const std::string& to);
    void Remove(const std::string& name);
    // Makes renames and removals in the folder durable.
    void Sync();

private:
    // The folder of the first count segments, made where missing; -1 when it cannot be made
    // or a symbolic link stands in its place. The folder stays open.
    int OpenSubfolder(const std::vector<std::string>& segments, std::size_t count);

    std::filesystem::path workingDirectory_;
    std::vector<std::string> below_;
    int fd_ = -1;
    // The subfolders used last, most recent first: a crawl stores runs of files in one
    // folder, and each folder walked again costs a system call per level.
    std::vector<std::pair<std::string, int>> openFolders_;
};

}  // namespace tarnwick
