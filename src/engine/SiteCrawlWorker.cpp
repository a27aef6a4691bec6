#include <utility>

#include "engine/SiteCrawl.h"
#include "engine/Workers.h"

namespace tarnwick {

int RunSiteCrawl(WorkerContext& context, WebProject project) {
    SiteCrawl crawl(context, std::move(project));
    return crawl.Run();
}

}  // namespace tarnwick
