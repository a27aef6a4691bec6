#include "model/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

std::FILE* SaveSteps::Open(const std::filesystem::path& path) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
}

bool SaveSteps::Write(std::FILE* file, std::string_view data) {
    return std::fwrite(data.data(), 1, data.size(), file) == data.size();
}

bool SaveSteps::Flush(std::FILE* file) {
    return std::fflush(file) == 0;
}

bool SaveSteps::Sync(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

bool SaveSteps::Close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool SaveSteps::Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

namespace {

// Makes the rename itself durable; a failure here loses nothing already renamed.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         SaveSteps& steps) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::FILE* file = steps.Open(temporary);
    if (file == nullptr) {
        return false;
    }
    bool written = steps.Write(file, data) && steps.Flush(file) && steps.Sync(file);
    written = steps.Close(file) && written;
    if (written && steps.Rename(temporary, path)) {
        SyncFolder(path.parent_path());
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

}  // namespace tarnwick
