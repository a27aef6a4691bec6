#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/DownloadFolder.h"
#include "model/Records.h"
#include "model/SharedState.h"

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

// What Open shows of an entry: the file or the site's start page, the folder it lies in, or
// the site's report.
enum class LocalCopy { Entry, ContainingFolder, Report };

// The paths on disk of the selected entries of the category: files of the file lists, start
// pages or reports of the site lists; folders for ContainingFolder. Nothing for the others.
std::vector<std::filesystem::path> LocalCopiesOf(SharedState& state,
                                                 const std::filesystem::path& workingDirectory,
                                                 const Settings& settings, ListCategory category,
                                                 const std::vector<EntryId>& selected,
                                                 LocalCopy what);

}  // namespace tarnwick
