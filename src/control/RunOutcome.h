#pragma once

#include <string>
#include <vector>

#include "control/WorkOrder.h"
#include "model/SharedState.h"

namespace tarnwick {

// How one started entry ended, as a script needs to know it.
enum class Outcome {
    Done,           // the file is downloaded, the site mirrored, the search ran
    NetworkFailed,  // no connection, a timeout, a transfer cut short, or not finished
    ServerRefused,  // the server answered with an error status, or the file is not there
    DiskFailed,     // the local file could not be created or written
};

struct EntryOutcome {
    std::string key;
    Outcome outcome = Outcome::Done;
    std::string text;  // the entry's status: "Success" or the failure's own text
};

// What a failed entry's status text says of its cause.
Outcome OutcomeOfFailure(const std::string& status);

// After the targets' workers ended: a file or web project is done when it has moved to its
// downloaded list; one still requested failed with its status as the reason. A search
// project is done when it is still there (its results are in the search results).
std::vector<EntryOutcome> OutcomesOf(SharedState& state, const RunTargets& targets);

}  // namespace tarnwick
