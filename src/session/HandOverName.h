#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace tarnwick {

// The local socket of the window holding a folder: one per folder and user, named after the
// folder's canonical path (hashed, since socket paths are short) so both programs agree. It
// lives in the user's own runtime folder where there is one, else in the temporary folder.
inline std::string HandOverName(const std::filesystem::path& folder) {
    std::error_code ignored;
    const std::string path = std::filesystem::weakly_canonical(folder, ignored).string();
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a: stable across builds and runs
    for (unsigned char c : path) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    const std::string name = "tarnwick-" + std::to_string(::getuid()) + "-" + hex;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && std::strlen(runtime) < 60) {
        return std::string(runtime) + "/" + name;  // a full path: Qt takes it as it is
    }
    return name;
}

}  // namespace tarnwick
