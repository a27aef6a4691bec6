#pragma once

#include <filesystem>
#include <string>

#include "engine/DownloadFolder.h"
#include "model/Records.h"

namespace tarnwick {

// Where a downloaded file lies: in the download folder under the name its transfer stored it
// by.
std::filesystem::path DownloadedFilePath(const DownloadFolder& folder, const std::string& url);

// A site's start page in its copy: the stored name of its start address for a portable copy,
// default.htm for one of the line scanner.
std::filesystem::path SiteStartPage(const std::filesystem::path& workingDirectory,
                                    const WebProject& project);

// The report the last run of a portable copy wrote beside it; it may not exist yet.
std::filesystem::path SiteReportPage(const std::filesystem::path& workingDirectory,
                                     const std::string& projectName);

}  // namespace tarnwick
