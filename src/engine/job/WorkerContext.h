#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "engine/transfer/TransferPolicy.h"
#include "model/DownloadFolder.h"
#include "model/EntryId.h"
#include "model/FileRequestOptions.h"
#include "model/JobGate.h"
#include "model/Settings.h"
#include "model/SharedState.h"

namespace tarnwick {

// What a worker thread is started with. The entry itself is passed by value to the worker;
// `entry` is its id, by which the worker finds it again in its list for every change.
struct WorkerContext {
    SharedState& state;
    std::filesystem::path workingDirectory;  // WebSites/ and, unless told otherwise, Files/
    std::shared_ptr<JobGate> gate;           // pause, resume and cancel at exit
    EntryId entry = kNoEntry;
    std::string caBundlePath;        // empty: the system's trust store; tests set their own
    TransferPolicy transfer;         // retries, stalls and the global speed limit
    FileRequestOptions fileOptions;  // a file worker's checksum and own speed limit
    std::string userAgent = DefaultUserAgent();  // sent with every HTTP request
    DownloadFolder downloads = DownloadFolder::Of(workingDirectory, {});  // a file worker's
};

}  // namespace tarnwick
