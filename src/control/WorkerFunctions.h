#pragma once

#include <functional>

#include "engine/job/WorkerContext.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace tarnwick {

// The thread procedures the control starts, each ending with how its work ended. The
// programs run the engine's own (RealWorkers); tests pass stand-ins.
struct WorkerFunctions {
    std::function<Outcome(WorkerContext&, FileEntry)> fileDownload;
    std::function<Outcome(WorkerContext&, FileEntry)> ftpDownload;
    std::function<Outcome(WorkerContext&, WebProject)> siteCrawl;
    std::function<Outcome(WorkerContext&, SearchProject)> searchProject;
};

// RunFileDownload, RunFtpDownload, RunSiteCrawl and RunSearchProject.
WorkerFunctions RealWorkers();

}  // namespace tarnwick
