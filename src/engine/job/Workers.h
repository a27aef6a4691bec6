#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "engine/files/DownloadFolder.h"
#include "engine/transfer/TransferPolicy.h"
#include "model/FileRequestOptions.h"
#include "model/JobGate.h"
#include "model/Records.h"
#include "model/Settings.h"
#include "model/SharedState.h"

namespace tarnwick {

// What a worker thread is started with. The entry itself is passed by value to the worker
// (the hand-over slot is still written by the control, but workers never depend on it).
struct WorkerContext {
    SharedState& state;
    std::filesystem::path workingDirectory;  // WebSites/ and, unless told otherwise, Files/
    std::shared_ptr<JobGate> gate;           // pause, resume and cancel at exit
    std::string caBundlePath;                // empty: the system's trust store; tests set their own
    TransferPolicy transfer;                 // retries, stalls and the global speed limit
    FileRequestOptions fileOptions;          // a file worker's checksum and own speed limit
    std::string userAgent = DefaultUserAgent();  // sent with every HTTP request
    DownloadFolder downloads = DownloadFolder::Of(workingDirectory, {});  // a file worker's
};

// Thread procedures; each returns the worker's exit code.
int RunFileDownload(WorkerContext& context, FileEntry entry);
int RunFtpDownload(WorkerContext& context, FileEntry entry);
int RunSiteCrawl(WorkerContext& context, WebProject project);
int RunSearchProject(WorkerContext& context, SearchProject project);

}  // namespace tarnwick
