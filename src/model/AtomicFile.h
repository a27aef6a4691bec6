#pragma once

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace tarnwick {

// The system calls of one atomic file replacement. Tests derive from it to make one step
// fail; the program uses it as it is.
class SaveSteps {
public:
    virtual ~SaveSteps() = default;
    // Creates or truncates the file without following a symbolic link; nullptr on failure.
    virtual std::FILE* Open(const std::filesystem::path& path);
    virtual bool Write(std::FILE* file, std::string_view data);
    virtual bool Flush(std::FILE* file);
    virtual bool Sync(std::FILE* file);
    virtual bool Close(std::FILE* file);
    virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to);
};

// Writes data to a temporary file beside the target, flushes and syncs it, and renames it
// over the target, so a crash at any moment leaves the old or the new content, never a
// torn file. On failure the temporary file is removed, the old file stays and false is
// returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         SaveSteps& steps);

}  // namespace tarnwick
