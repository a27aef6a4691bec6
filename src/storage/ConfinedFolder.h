#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/FileWriter.h"
#include "storage/SaveSteps.h"

namespace tarnwick {

// A folder the program writes into, and the one way it makes folders and files there: the
// working folder with the lists and settings beside them, Files/ (or the download folder the
// settings name) and WebSites/<project>/. Names are checked lexically, and every folder and
// file is opened relative to this folder without following symbolic links, so neither a ".."
// segment nor a link planted in the tree leads out. The base folder itself is the user's
// choice and may be a link.
class ConfinedFolder {
public:
    // below: the folder's segments below the base folder, e.g. {"Files"}; none for the base
    // folder itself.
    explicit ConfinedFolder(std::filesystem::path base, std::vector<std::string> below = {});
    ~ConfinedFolder();
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    // The files beside the lists are read whole; one larger than this is not one of them.
    static constexpr std::size_t kSmallFileLimit = 1 << 20;

    // Not empty, not "." or "..", no '/' or NUL, and short enough for one file name.
    static bool IsPlainName(std::string_view name);
    // The segments of a path relative to the folder ('\' counts as '/', doubled separators
    // name no folder), or nothing when a segment is "." or "..", holds a NUL or is too long,
    // or when the path names no file.
    static std::optional<std::vector<std::string>> SegmentsOf(std::string_view relative);
    // The name itself when it has room for a suffix of that length, else a cut of it told
    // apart from other cuts by a hash of the whole name.
    static std::string StemWithRoomFor(const std::string& name, std::size_t suffixLength);
    // Opens a plain file of an opened folder without following a link; -1 when anything but a
    // regular file stands under the name (a fifo planted there cannot make the caller hang).
    static int OpenPlainFile(int folderFd, const std::string& name, int flags);

    // Opens the folder, making it (and those between it and the base folder) when create is
    // set; false when it is missing, cannot be made or a link stands in its place.
    bool Open(bool create);

    // Makes the folders of the segments and creates or truncates the file, for data streamed
    // into it; a closed writer when a name is refused or anything on the way cannot be made.
    FileWriter CreateFile(const std::vector<std::string>& segments);

    // A plain file of the folder opened for reading and writing, not truncated, made when
    // missing if create is set; -1 when refused (a link or other non-file in its place).
    int OpenFile(const std::string& name, bool create);
    // A plain file of the folder opened for reading only; -1 when missing or refused.
    int OpenFileToRead(const std::string& name);

    enum class EntryKind { Missing, File, Other };
    EntryKind KindOf(const std::string& name);
    EntryKind KindOf(const std::vector<std::string>& segments);
    std::optional<std::uint64_t> SizeOf(const std::string& name);
    std::optional<std::uint64_t> SizeOf(const std::vector<std::string>& segments);
    // A small plain file's bytes; nothing when missing, not a file or longer than limit.
    // missing, when given, tells whether nothing at all is there under the name.
    std::optional<std::string> ReadSmallFile(const std::string& name,
                                             std::size_t limit = kSmallFileLimit,
                                             bool* missing = nullptr);
    std::optional<std::string> ReadSmallFile(const std::vector<std::string>& segments,
                                             std::size_t limit, bool* missing = nullptr);

    // Replaces a small file of the folder atomically: a temporary file beside it written,
    // flushed, fsynced and renamed over it, then the folder synced, so a crash at any moment
    // leaves the old or the new content, never a torn file. On failure the temporary file is
    // removed, the old file stays and false is returned.
    bool ReplaceFile(const std::string& name, std::string_view data,
                     SaveSteps& steps = SaveSteps::System());

    bool Rename(const std::string& from, const std::string& to);
    // True once nothing is left under the name, whether it was removed or never there.
    bool Remove(const std::string& name);
    // Makes renames and removals in the folder durable.
    void Sync();

private:
    // The folder of the first count segments (which must be plain names), made where missing
    // if create is set; -1 when it is missing or cannot be made or a symbolic link stands in
    // its place, errno telling which. The folder stays open.
    int OpenSubfolder(const std::vector<std::string>& segments, std::size_t count, bool create);
    // The opened folder that holds the last segment; -1 when a segment is no plain name or a
    // folder on the way cannot be opened (errno tells why).
    int FolderOf(const std::vector<std::string>& segments, bool create);

    std::filesystem::path base_;
    std::vector<std::string> below_;
    int fd_ = -1;
    // The subfolders used last, most recent first: a crawl stores runs of files in one
    // folder, and each folder walked again costs a system call per level.
    std::vector<std::pair<std::string, int>> openFolders_;
};

}  // namespace tarnwick
