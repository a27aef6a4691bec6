#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::testing {

// A scratch folder that is removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Every file and folder below the scratch folder, relative and sorted ("a", "a/b.htm").
    std::vector<std::string> Tree() const;

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace tarnwick::testing
