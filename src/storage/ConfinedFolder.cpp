#include "storage/ConfinedFolder.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarnwick {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr std::size_t kOpenFolderLimit = 64;
constexpr std::string_view kTemporarySuffix = ".tmp";

// Opens the folder, making it first if it is missing; a symbolic link in its place is refused.
int OpenOrMakeFolder(int parentFd, const char* name, bool create) {
    const int fd = ::openat(parentFd, name, kFolderFlags);
    if (fd >= 0 || errno != ENOENT || !create) {
        return fd;
    }
    if (::mkdirat(parentFd, name, 0755) != 0 && errno != EEXIST) {
        return -1;
    }
    return ::openat(parentFd, name, kFolderFlags);
}

// Closes a descriptor without letting the close change the errno a caller is to read.
void CloseKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

}  // namespace

ConfinedFolder::ConfinedFolder(std::filesystem::path base, std::vector<std::string> below)
    : base_(std::move(base)), below_(std::move(below)) {}

ConfinedFolder::~ConfinedFolder() {
    for (const auto& [path, fd] : openFolders_) {
        ::close(fd);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool ConfinedFolder::IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= NAME_MAX &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::optional<std::vector<std::string>> ConfinedFolder::SegmentsOf(std::string_view relative) {
    if (relative.size() >= PATH_MAX) {
        return std::nullopt;
    }
    std::vector<std::string> segments;
    std::string segment;
    const auto endSegment = [&segments, &segment] {
        if (segment == "." || segment == ".." || segment.size() > NAME_MAX) {
            return false;
        }
        // Doubled separators name no folder of their own.
        if (!segment.empty()) {
            segments.push_back(std::move(segment));
            segment.clear();
        }
        return true;
    };
    for (const char c : relative) {
        if (c == '/' || c == '\\') {
            if (!endSegment()) {
                return std::nullopt;
            }
        } else if (c == '\0') {
            return std::nullopt;
        } else {
            segment.push_back(c);
        }
    }
    if (segment.empty() || !endSegment()) {
        return std::nullopt;
    }
    return segments;
}

std::string ConfinedFolder::StemWithRoomFor(const std::string& name, std::size_t suffixLength) {
    if (name.size() + suffixLength <= NAME_MAX) {
        return name;
    }
    char hash[20];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(Fnv1a(name)));
    return name.substr(0, NAME_MAX - suffixLength - 17) + hash;
}

int ConfinedFolder::OpenPlainFile(int folderFd, const std::string& name, int flags) {
    // O_NONBLOCK only for the open: a fifo would otherwise wait for a peer that never comes.
    const int fd =
        ::openat(folderFd, name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ConfinedFolder::Open(bool create) {
    if (fd_ >= 0) {
        return true;
    }
    if (create && below_.empty()) {
        // The user's own folder, named in the settings: made as `mkdir -p` would.
        std::error_code ignored;
        std::filesystem::create_directories(base_, ignored);
    }
    int folderFd = ::open(base_.c_str(), kFolderFlags & ~O_NOFOLLOW);
    for (const std::string& segment : below_) {
        if (folderFd < 0) {
            break;
        }
        const int childFd =
            IsPlainName(segment) ? OpenOrMakeFolder(folderFd, segment.c_str(), create) : -1;
        CloseKeepingErrno(folderFd);
        folderFd = childFd;
    }
    fd_ = folderFd;
    return fd_ >= 0;
}

int ConfinedFolder::OpenSubfolder(const std::vector<std::string>& segments, std::size_t count,
                                  bool create) {
    if (count == 0) {
        return fd_;
    }
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path += segments[i];
        path += '/';
    }
    for (std::size_t i = 0; i < openFolders_.size(); ++i) {
        if (openFolders_[i].first == path) {
            std::rotate(openFolders_.begin(), openFolders_.begin() + static_cast<long>(i),
                        openFolders_.begin() + static_cast<long>(i) + 1);
            return openFolders_.front().second;
        }
    }
    int folderFd = fd_;
    for (std::size_t i = 0; i < count && folderFd >= 0; ++i) {
        const int childFd = OpenOrMakeFolder(folderFd, segments[i].c_str(), create);
        if (folderFd != fd_) {
            CloseKeepingErrno(folderFd);
        }
        folderFd = childFd;
    }
    if (folderFd < 0) {
        return -1;
    }
    if (openFolders_.size() == kOpenFolderLimit) {
        ::close(openFolders_.back().second);
        openFolders_.pop_back();
    }
    openFolders_.insert(openFolders_.begin(), {std::move(path), folderFd});
    return folderFd;
}

int ConfinedFolder::FolderOf(const std::vector<std::string>& segments, bool create) {
    if (segments.empty() || !std::all_of(segments.begin(), segments.end(),
                                         [](const auto& s) { return IsPlainName(s); })) {
        errno = EINVAL;
        return -1;
    }
    if (!Open(create)) {
        return -1;
    }
    return OpenSubfolder(segments, segments.size() - 1, create);
}

FileWriter ConfinedFolder::CreateFile(const std::vector<std::string>& segments) {
    const int folderFd = FolderOf(segments, true);
    if (folderFd < 0) {
        return FileWriter();
    }
    const int fd = OpenPlainFile(folderFd, segments.back(), O_WRONLY | O_CREAT | O_TRUNC);
    return fd >= 0 ? FileWriter(fd) : FileWriter();
}

int ConfinedFolder::OpenFile(const std::string& name, bool create) {
    if (!IsPlainName(name) || !Open(create)) {
        return -1;
    }
    return OpenPlainFile(fd_, name, O_RDWR | (create ? O_CREAT : 0));
}

int ConfinedFolder::OpenFileToRead(const std::string& name) {
    if (!IsPlainName(name) || !Open(false)) {
        return -1;
    }
    return OpenPlainFile(fd_, name, O_RDONLY);
}

ConfinedFolder::EntryKind ConfinedFolder::KindOf(const std::string& name) {
    return KindOf(std::vector<std::string>{name});
}

ConfinedFolder::EntryKind ConfinedFolder::KindOf(const std::vector<std::string>& segments) {
    const int folderFd = FolderOf(segments, false);
    if (folderFd < 0 && fd_ < 0 && errno != EINVAL) {
        return EntryKind::Missing;  // no folder yet, so nothing in it
    }
    struct stat info {};
    if (folderFd < 0 ||
        ::fstatat(folderFd, segments.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
    }
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::optional<std::uint64_t> ConfinedFolder::SizeOf(const std::string& name) {
    return SizeOf(std::vector<std::string>{name});
}

std::optional<std::uint64_t> ConfinedFolder::SizeOf(const std::vector<std::string>& segments) {
    const int folderFd = FolderOf(segments, false);
    struct stat info {};
    if (folderFd < 0 ||
        ::fstatat(folderFd, segments.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::string> ConfinedFolder::ReadSmallFile(const std::string& name, std::size_t limit,
                                                         bool* missing) {
    return ReadSmallFile(std::vector<std::string>{name}, limit, missing);
}

std::optional<std::string> ConfinedFolder::ReadSmallFile(const std::vector<std::string>& segments,
                                                         std::size_t limit, bool* missing) {
    const int folderFd = FolderOf(segments, false);
    const int fd = folderFd < 0 ? -1 : OpenPlainFile(folderFd, segments.back(), O_RDONLY);
    if (missing != nullptr) {
        *missing = fd < 0 && errno == ENOENT;
    }
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char block[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, block, sizeof block)) > 0 && bytes.size() <= limit) {
        bytes.append(block, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (got < 0 || bytes.size() > limit) {
        return std::nullopt;
    }
    return bytes;
}

bool ConfinedFolder::ReplaceFile(const std::string& name, std::string_view data, SaveSteps& steps) {
    if (!IsPlainName(name) || !Open(false)) {
        return false;
    }
    const std::string temporary =
        StemWithRoomFor(name, kTemporarySuffix.size()) + std::string(kTemporarySuffix);
    std::FILE* file = steps.Open(fd_, temporary);
    if (file == nullptr) {
        return false;
    }
    bool written = steps.Write(file, data) && steps.Flush(file) && steps.Sync(file);
    written = steps.Close(file) && written;
    if (written && steps.Rename(fd_, temporary, name)) {
        Sync();  // the rename itself; a failure here loses nothing renamed
        return true;
    }
    ::unlinkat(fd_, temporary.c_str(), 0);
    return false;
}

bool ConfinedFolder::Rename(const std::string& from, const std::string& to) {
    return IsPlainName(from) && IsPlainName(to) && Open(false) &&
           ::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
}

bool ConfinedFolder::Remove(const std::string& name) {
    if (!IsPlainName(name)) {
        return false;
    }
    if (!Open(false)) {
        return errno == ENOENT;
    }
    return ::unlinkat(fd_, name.c_str(), 0) == 0 || errno == ENOENT;
}

void ConfinedFolder::Sync() {
    if (fd_ >= 0) {
        ::fsync(fd_);
    }
}

}  // namespace tarnwick
