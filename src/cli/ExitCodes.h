#pragma once

#include <vector>

#include "control/RunOutcome.h"

namespace tarnwick {

// tarnwick-cli's exit codes, as its --help and the README list them.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitSomeFailed = 1,  // failures of different kinds, or a mirror with errors
    kExitUsage = 2,
    kExitNetwork = 3,
    kExitServerRefused = 4,
    kExitDisk = 5,
    kExitFolderInUse = 6,
};

// Success when every entry is done; the failures' own code when they share one kind.
inline int ExitCodeOf(const std::vector<EntryOutcome>& outcomes) {
    int code = kExitSuccess;
    for (const EntryOutcome& outcome : outcomes) {
        int own = kExitSuccess;
        switch (outcome.outcome) {
            case Outcome::Done:
                continue;
            case Outcome::NetworkFailed:
                own = kExitNetwork;
                break;
            case Outcome::ServerRefused:
                own = kExitServerRefused;
                break;
            case Outcome::DiskFailed:
                own = kExitDisk;
                break;
        }
        code = code == kExitSuccess || code == own ? own : kExitSomeFailed;
    }
    return code;
}

}  // namespace tarnwick
