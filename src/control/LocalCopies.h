#pragma once

#include <filesystem>
#include <string>

#include "engine/files/DownloadFolder.h"
#include "model/Records.h"

namespace tarnwick {

// Where a downloaded file lies, under the name its transfer stored it by: in the download
// folder the settings name, or, when it is not there, in Files/ where it went before a
// folder was chosen.
std::filesystem::path DownloadedFilePath(const std::filesystem::path& workingDirectory,
                                         const Settings& settings, const std::string& url);

// A site's start page in its copy: the stored name of its start address for a portable copy,
// default.htm for one of the line scanner.
std::filesystem::path SiteStartPage(const std::filesystem::path& workingDirectory,
                                    const WebProject& project);

// The report the last run of a portable copy wrote beside it; it may not exist yet.
std::filesystem::path SiteReportPage(const std::filesystem::path& workingDirectory,
                                     const std::string& projectName);

}  // namespace tarnwick
