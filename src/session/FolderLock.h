#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace tarnwick {

// The one writer of a working folder's lists: an advisory lock (flock) on `.tarnwick.lock`
// in the folder. The kernel drops it when the process ends, crash or SIGKILL included, so it
// is never left stale. The file keeps the holder's process id for the message of the others.
class FolderLock {
public:
    FolderLock() = default;
    ~FolderLock() { Release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock without waiting; false when another process holds it or the folder
    // cannot hold the lock file (ErrorText says which).
    bool TryAcquire(const std::filesystem::path& folder);
    // Waits until the lock is free; false only when the lock file cannot be opened.
    bool Acquire(const std::filesystem::path& folder);
    void Release();

    bool Held() const { return fd_ >= 0; }
    // After a failed attempt: true when another process holds the lock, false when the lock
    // file itself could not be opened.
    bool InUse() const { return inUse_; }
    // After a failed attempt: the holder's process id as it wrote it, 0 when unknown.
    pid_t HolderPid() const { return holder_; }
    const std::string& ErrorText() const { return error_; }

    static constexpr const char* kFileName = ".tarnwick.lock";

private:
    bool Lock(const std::filesystem::path& folder, bool wait);

    int fd_ = -1;
    pid_t holder_ = 0;
    bool inUse_ = false;
    std::string error_;
};

}  // namespace tarnwick
