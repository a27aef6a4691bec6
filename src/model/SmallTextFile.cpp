#include "model/SmallTextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {

std::optional<std::string> ReadSmallTextFile(const std::filesystem::path& path, bool* missing,
                                             std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (missing != nullptr) {
        *missing = fd < 0 && errno == ENOENT;
    }
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    char buffer[8192];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() <= limit) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (got < 0 || text.size() > limit) {
        return std::nullopt;
    }
    return text;
}

}  // namespace tarnwick
