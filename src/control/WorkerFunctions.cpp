#include "control/WorkerFunctions.h"

#include "engine/crawl/SiteCrawlWorker.h"
#include "engine/files/FileWorkers.h"
#include "engine/search/SearchWorker.h"

namespace tarnwick {

WorkerFunctions RealWorkers() {
    return WorkerFunctions{RunFileDownload, RunFtpDownload, RunSiteCrawl, RunSearchProject};
}

}  // namespace tarnwick
