#include "engine/SiteFolder.h"

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

// Opens the folder, making it first if it is missing; a symbolic link in its place is refused.
int OpenOrMakeFolder(int parentFd, const char* name) {
    const int fd = ::openat(parentFd, name, kFolderFlags);
    if (fd >= 0 || errno != ENOENT) {
        return fd;
    }
    if (::mkdirat(parentFd, name, 0755) != 0 && errno != EEXIST) {
        return -1;
    }
    return ::openat(parentFd, name, kFolderFlags);
}

}  // namespace

SiteFolder::SiteFolder(const std::filesystem::path& workingDirectory,
                       std::string_view projectName) {
    const std::string folderName = FolderName(projectName);
    relativePath_ = "WebSites/" + folderName;
    absolutePath_ = (workingDirectory / relativePath_).string();

    const int workingFd = ::open(workingDirectory.c_str(), kFolderFlags & ~O_NOFOLLOW);
    if (workingFd < 0) {
        return;
    }
    const int webSitesFd = OpenOrMakeFolder(workingFd, "WebSites");
    ::close(workingFd);
    if (webSitesFd < 0) {
        return;
    }
    fd_ = OpenOrMakeFolder(webSitesFd, folderName.c_str());
    ::close(webSitesFd);
}

SiteFolder::~SiteFolder() {
    for (const auto& [path, fd] : openFolders_) {
        ::close(fd);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
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
    if (localName.size() >= PATH_MAX ||
        localName.substr(0, relativePath_.size()) != relativePath_) {
        return std::nullopt;
    }
    std::string_view rest = localName.substr(relativePath_.size());
    if (rest.empty() || (rest.front() != '/' && rest.front() != '\\')) {
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
    for (const char c : rest.substr(1)) {
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

int SiteFolder::OpenFolder(const std::vector<std::string>& segments, std::size_t count) {
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
        const int childFd = OpenOrMakeFolder(folderFd, segments[i].c_str());
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

OutputFile SiteFolder::CreateFile(std::string_view localName) {
    const auto segments = SegmentsBelow(localName);
    if (fd_ < 0 || !segments) {
        return OutputFile();
    }
    const int folderFd = OpenFolder(*segments, segments->size() - 1);
    if (folderFd < 0) {
        return OutputFile();
    }
    // O_NONBLOCK: a fifo planted under the name must not hang the crawl.
    const int fd =
        ::openat(folderFd, segments->back().c_str(),
                 O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return OutputFile();
    }
    return OutputFile(fd);
}

}  // namespace tarnwick
