#pragma once

#include <functional>

#include "engine/job/Workers.h"
#include "model/Records.h"

namespace tarnwick {

// The thread procedures the control starts. The program passes RunFileDownload,
// RunFtpDownload, RunSiteCrawl and RunSearchProject; tests pass stand-ins.
struct WorkerFunctions {
    std::function<int(WorkerContext&, FileEntry)> fileDownload;
    std::function<int(WorkerContext&, FileEntry)> ftpDownload;
    std::function<int(WorkerContext&, WebProject)> siteCrawl;
    std::function<int(WorkerContext&, SearchProject)> searchProject;
};

}  // namespace tarnwick
