#include "engine/crawl/SiteCrawlWorker.h"

#include <utility>

#include "engine/crawl/SiteCrawl.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

Outcome RunSiteCrawl(WorkerContext& context, WebProject project) {
    const WebProjectOptions options = LoadWebProjectOptions(context.workingDirectory, project.name);
    SiteCrawl crawl(context, std::move(project), options);
    return crawl.Run();
}

}  // namespace tarnwick
