#include "storage/SaveSteps.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include "storage/ConfinedFolder.h"

namespace tarnwick {

std::FILE* SaveSteps::Open(int folderFd, const std::string& name) {
    // A leftover of a save that died, or a link planted under the name, is removed (a link
    // alone, never what it points to), and the file is made afresh.
    ::unlinkat(folderFd, name.c_str(), 0);
    const int fd = ConfinedFolder::OpenPlainFile(folderFd, name, O_WRONLY | O_CREAT | O_EXCL);
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

bool SaveSteps::Rename(int folderFd, const std::string& from, const std::string& to) {
    return ::renameat(folderFd, from.c_str(), folderFd, to.c_str()) == 0;
}

SaveSteps& SaveSteps::System() {
    static SaveSteps steps;
    return steps;
}

}  // namespace tarnwick
