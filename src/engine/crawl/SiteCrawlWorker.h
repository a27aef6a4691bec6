#pragma once

#include "engine/job/WorkerContext.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace tarnwick {

// The thread procedure of a web project: crawls it with the options kept for it, and ends
// with the project moved to the downloaded sites or left requested with its errors.
Outcome RunSiteCrawl(WorkerContext& context, WebProject project);

}  // namespace tarnwick
