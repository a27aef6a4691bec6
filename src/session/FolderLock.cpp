#include "session/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarnwick {

namespace {

pid_t ReadPid(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return 0;
    }
    return static_cast<pid_t>(std::strtol(text, nullptr, 10));
}

void WritePid(int fd) {
    const std::string text = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t ignored = ::pwrite(fd, text.data(), text.size(), 0);
    }
}

}  // namespace

bool FolderLock::TryAcquire(const std::filesystem::path& folder) {
    return Lock(folder, false);
}

bool FolderLock::Acquire(const std::filesystem::path& folder) {
    return Lock(folder, true);
}

bool FolderLock::Lock(const std::filesystem::path& folder, bool wait) {
    Release();
    error_.clear();
    holder_ = 0;
    inUse_ = false;
    const std::filesystem::path path = folder / kFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error_ = "cannot open " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (locked != 0 && errno == EINTR && wait);
    if (locked != 0) {
        inUse_ = errno == EWOULDBLOCK;
        error_ = inUse_ ? "the folder is in use" : std::strerror(errno);
        holder_ = ReadPid(fd);
        ::close(fd);
        return false;
    }
    WritePid(fd);
    fd_ = fd;
    return true;
}

void FolderLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing drops the flock; the file stays for the next holder
        fd_ = -1;
    }
}

}  // namespace tarnwick
