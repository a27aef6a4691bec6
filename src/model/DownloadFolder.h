#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/Settings.h"

namespace tarnwick {

// Where requested files are downloaded: Files/ below the working directory, or the folder
// the settings name. The transfers confine every file to it (see ConfinedFolder): the chosen
// folder may be a link, as the working directory may; a link in place of Files/ is refused.
struct DownloadFolder {
    std::filesystem::path base;      // the working directory, or the chosen folder
    std::vector<std::string> below;  // {"Files"}, or nothing

    static DownloadFolder Of(const std::filesystem::path& workingDirectory,
                             const Settings& settings);
    std::filesystem::path Path() const;
};

}  // namespace tarnwick
