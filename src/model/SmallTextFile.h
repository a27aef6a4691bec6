#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick {

// The settings files beside the lists are read whole; one larger than this is not one of them.
inline constexpr std::size_t kSmallTextFileLimit = 1 << 20;

// The text of a small file, read without following a symbolic link; nothing when it cannot be
// read or is larger than the limit. `missing` is set when the file is not there at all.
std::optional<std::string> ReadSmallTextFile(const std::filesystem::path& path,
                                             bool* missing = nullptr,
                                             std::size_t limit = kSmallTextFileLimit);

}  // namespace tarnwick
