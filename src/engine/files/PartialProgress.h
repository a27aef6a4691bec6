#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "model/DownloadFolder.h"
#include "model/UiPort.h"

namespace tarnwick {

// The name a requested file is stored under in Files/: for an FTP URL (one holding "ftp://",
// the test that picks the FTP worker) the file name of its path, else everything after the
// URL's last '/', query and all. Empty when an FTP URL cannot be parsed.
std::string LocalFileNameFor(const std::string& url);

// How far an earlier run got with a requested file, from the metadata beside its partial
// file: done (the bytes that a resume keeps) and total (-1 unknown); no speed. Nothing when
// no partial download of this URL is held. For the lists shown at start-up.
std::optional<TransferSnapshot> PartialProgress(const DownloadFolder& folder,
                                                const std::string& url);

// Removes what an earlier run held of this URL's download (its partial file and metadata),
// for an entry the user deleted; nothing when the metadata names another URL.
void DiscardPartial(const DownloadFolder& folder, const std::string& url);

}  // namespace tarnwick
