#include <utility>

#include "engine/SiteCrawl.h"
#include "engine/Workers.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

int RunSiteCrawl(WorkerContext& context, WebProject project) {
    const WebProjectOptions options = LoadWebProjectOptions(context.workingDirectory, project.name);
    SiteCrawl crawl(context, std::move(project), options);
    return crawl.Run();
}

}  // namespace tarnwick
