#pragma once

#include "engine/job/WorkerContext.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace tarnwick {

// The thread procedures of a requested file: the FTP one serves a URL that holds "ftp://",
// the other every other URL. Each ends with the entry moved to the downloaded files, or left
// requested with its failure as status, and says how it ended.
Outcome RunFileDownload(WorkerContext& context, FileEntry entry);
Outcome RunFtpDownload(WorkerContext& context, FileEntry entry);

}  // namespace tarnwick
