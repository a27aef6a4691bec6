#pragma once

#include <vector>

#include "model/Outcome.h"
#include "session/HandOverWire.h"

namespace tarnwick {

// tarnwick-cli's exit codes, as its --help, its man page and the README list them.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitSomeFailed = 1,  // failures of different kinds, or the window refused the work
    kExitUsage = 2,
    kExitNetwork = 3,
    kExitServerRefused = 4,
    kExitDisk = 5,
    kExitFolderInUse = 6,
    kExitMismatch = 7,
    kExitPartlyDone = 8,
};

// The exit code of one entry's outcome.
int ExitCodeOf(OutcomeKind kind);

// The exit code of an order handed to the window.
int ExitCodeOf(HandOverAnswer::Verdict verdict);

// Success when every entry is done; the outcomes' own code when they share one, else
// kExitSomeFailed.
int ExitCodeOf(const std::vector<Outcome>& outcomes);

}  // namespace tarnwick
