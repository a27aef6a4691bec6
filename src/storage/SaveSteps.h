#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarnwick {

// The system calls of one atomic file replacement (see ConfinedFolder::ReplaceFile), each
// relative to an opened folder. Tests derive from it to make one step fail; the program uses
// it as it is.
class SaveSteps {
public:
    virtual ~SaveSteps() = default;
    // Makes the temporary file in the folder afresh, never through a symbolic link; nullptr
    // when it cannot be made.
    virtual std::FILE* Open(int folderFd, const std::string& name);
    virtual bool Write(std::FILE* file, std::string_view data);
    virtual bool Flush(std::FILE* file);
    virtual bool Sync(std::FILE* file);
    virtual bool Close(std::FILE* file);
    virtual bool Rename(int folderFd, const std::string& from, const std::string& to);

    // The steps as the system takes them, for every caller that has no others.
    static SaveSteps& System();
};

}  // namespace tarnwick
