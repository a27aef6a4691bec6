#include "engine/transfer/ConfinedFolder.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarnwick {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr std::size_t kOpenFolderLimit = 64;
constexpr const char* kTemporarySuffix = ".tmp";

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

// Opens a plain file below the folder; O_NONBLOCK so that a fifo planted under the name
// cannot hang the worker, and anything but a regular file is refused.
int OpenPlainFile(int folderFd, const char* name, int flags) {
    const int fd = ::openat(folderFd, name, flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return fd;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

ConfinedFolder::ConfinedFolder(std::filesystem::path workingDirectory,
                               std::vector<std::string> below)
    : workingDirectory_(std::move(workingDirectory)), below_(std::move(below)) {}

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

bool ConfinedFolder::Open(bool create) {
    if (fd_ >= 0) {
        return true;
    }
    if (create && below_.empty()) {
        // The user's own folder, named in the settings: made as `mkdir -p` would.
        std::error_code ignored;
        std::filesystem::create_directories(workingDirectory_, ignored);
    }
    int folderFd = ::open(workingDirectory_.c_str(), kFolderFlags & ~O_NOFOLLOW);
    for (const std::string& segment : below_) {
        if (folderFd < 0) {
            break;
        }
        const int childFd =
            IsPlainName(segment) ? OpenOrMakeFolder(folderFd, segment.c_str(), create) : -1;
        ::close(folderFd);
        folderFd = childFd;
    }
    fd_ = folderFd;
    return fd_ >= 0;
}

int ConfinedFolder::OpenSubfolder(const std::vector<std::string>& segments, std::size_t count) {
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
        const int childFd = OpenOrMakeFolder(folderFd, segments[i].c_str(), true);
        if (folderFd != fd_) {
            ::close(folderFd);
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

FileWriter ConfinedFolder::CreateFile(const std::vector<std::string>& segments) {
    if (segments.empty() || !Open(true)) {
        return FileWriter();
    }
    for (const std::string& segment : segments) {
        if (!IsPlainName(segment)) {
            return FileWriter();
        }
    }
    const int folderFd = OpenSubfolder(segments, segments.size() - 1);
    if (folderFd < 0) {
        return FileWriter();
    }
    const int fd = OpenPlainFile(folderFd, segments.back().c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    return fd >= 0 ? FileWriter(fd) : FileWriter();
}

int ConfinedFolder::OpenFile(const std::string& name, bool create) {
    if (!IsPlainName(name) || !Open(create)) {
        return -1;
    }
    return OpenPlainFile(fd_, name.c_str(), O_RDWR | (create ? O_CREAT : 0));
}

ConfinedFolder::EntryKind ConfinedFolder::KindOf(const std::string& name) {
    if (!IsPlainName(name)) {
        return EntryKind::Other;
    }
    if (!Open(false)) {
        return EntryKind::Missing;  // no folder yet, so nothing in it
    }
    struct stat info {};
    if (::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
    }
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::optional<std::uint64_t> ConfinedFolder::SizeOf(const std::string& name) {
    struct stat info {};
    if (!IsPlainName(name) || !Open(false) ||
        ::fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::string> ConfinedFolder::ReadSmallFile(const std::string& name,
                                                         std::size_t limit) {
    if (!IsPlainName(name) || !Open(false)) {
        return std::nullopt;
    }
    const int fd = OpenPlainFile(fd_, name.c_str(), O_RDONLY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char block[4096];
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

bool ConfinedFolder::ReplaceFile(const std::string& name, std::string_view data) {
    const std::string temporary = name + kTemporarySuffix;
    if (!IsPlainName(temporary) || !Open(true)) {
        return false;
    }
    const int fd = OpenPlainFile(fd_, temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, data) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && ::renameat(fd_, temporary.c_str(), fd_, name.c_str()) == 0) {
        Sync();
        return true;
    }
    ::unlinkat(fd_, temporary.c_str(), 0);
    return false;
}

bool ConfinedFolder::Rename(const std::string& from, const std::string& to) {
    return IsPlainName(from) && IsPlainName(to) && Open(false) &&
           ::renameat(fd_, from.c_str(), fd_, to.c_str()) == 0;
}

void ConfinedFolder::Remove(const std::string& name) {
    if (IsPlainName(name) && Open(false)) {
        ::unlinkat(fd_, name.c_str(), 0);
    }
}

void ConfinedFolder::Sync() {
    if (fd_ >= 0) {
        ::fsync(fd_);
    }
}

}  // namespace tarnwick
