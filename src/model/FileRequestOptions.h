#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tarnwick {

// What a requested file asks of its transfer beyond its record in reqfiles.data, which keeps
// its format.
struct FileRequestOptions {
    std::string checksum;                   // "sha256=HEX" or "md5=HEX"; empty: none checked
    std::uint64_t limitBytesPerSecond = 0;  // this entry's own speed limit; 0: none

    bool operator==(const FileRequestOptions&) const = default;
};

// Whether the text names a checksum the transfer can check (see ParseChecksum).
bool IsChecksumText(std::string_view text);

// The options of each requested file that has any, by URL, as kept in `fileoptions.ini` in the
// working folder:
//   [http://host/file.iso]
//   checksum=sha256=9f86d0...
//   limit-rate=500k
// A missing or damaged file reads as no options; unknown keys and bad values are passed over.
using FileRequestOptionsFile = std::map<std::string, FileRequestOptions>;

inline constexpr const char* kFileRequestOptionsFileName = "fileoptions.ini";

FileRequestOptionsFile ParseFileRequestOptions(std::string_view text);
std::string RenderFileRequestOptions(const FileRequestOptionsFile& options);

FileRequestOptionsFile LoadFileRequestOptions(const std::filesystem::path& folder);
// Writes the file atomically, leaving out entries without options; false when it cannot, the
// old file then staying.
bool StoreFileRequestOptions(const std::filesystem::path& folder,
                             const FileRequestOptionsFile& options);

}  // namespace tarnwick
