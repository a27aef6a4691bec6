#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// A file written directly inside one folder, for names that come from remote input. The
// name must be a plain name (checked lexically), and neither the folder nor the file is
// followed through a symbolic link, so nothing is ever written outside the folder.
class LocalFile {
public:
    LocalFile() = default;
    ~LocalFile();
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;

    // Not empty, not "." or "..", no '/' or NUL, and short enough for one file name.
    static bool IsPlainName(std::string_view name);

    // Creates the folder if missing (not its parents), then creates or truncates the file.
    bool Create(const std::filesystem::path& folder, const std::string& name);
    bool Write(std::string_view data);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

private:
    int fd_ = -1;
};

}  // namespace tarnwick
