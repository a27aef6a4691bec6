#include "support/TempFolder.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarnwick::testing {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Tree() const {
    std::vector<std::string> entries;
    // Workers may remove files and folders while they are listed: names are made lexically
    // (std::filesystem::relative would resolve them on disk and throw), and a folder gone
    // before it is read ends the listing there, for a poll to look again.
    std::error_code error;
    std::filesystem::recursive_directory_iterator entry(path_, error);
    for (; !error && entry != std::filesystem::recursive_directory_iterator();
         entry.increment(error)) {
        entries.push_back(entry->path().lexically_relative(path_).generic_string());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace tarnwick::testing
