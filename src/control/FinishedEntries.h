#pragma once

#include <vector>

#include "control/RunOutcome.h"
#include "model/SharedState.h"

namespace tarnwick {

// Tells which file transfers and site crawls ended since it was last asked, and how: the
// window polls it to raise a notice for each. A completion is an entry that arrived in the
// downloaded files or sites, however short its transfer was; a failure is an entry whose job
// ended while the entry stayed requested. A paused or queued job has not ended. The first
// poll only takes note of what is there.
class FinishedEntries {
public:
    std::vector<EntryOutcome> Poll(SharedState& state);
    // The entries with a job at the last poll.
    const RunTargets& Running() const { return running_; }

private:
    bool primed_ = false;
    int downloadedFiles_ = 0;
    int downloadedSites_ = 0;
    RunTargets running_;
};

}  // namespace tarnwick
