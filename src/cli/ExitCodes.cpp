#include "cli/ExitCodes.h"

namespace tarnwick {

int ExitCodeOf(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return kExitSuccess;
        case OutcomeKind::Network:
            return kExitNetwork;
        case OutcomeKind::ServerRefused:
            return kExitServerRefused;
        case OutcomeKind::Disk:
            return kExitDisk;
        case OutcomeKind::Mismatch:
            return kExitMismatch;
        case OutcomeKind::BadRequest:
            return kExitUsage;
        case OutcomeKind::PartlyDone:
            return kExitPartlyDone;
        case OutcomeKind::Interrupted:
        case OutcomeKind::Cancelled:
            break;
    }
    // Only a stop ends an entry so on the command line, and the stop's signal gives the code.
    return kExitSomeFailed;
}

int ExitCodeOf(HandOverAnswer::Verdict verdict) {
    switch (verdict) {
        case HandOverAnswer::Verdict::CarriedOut:
            return kExitSuccess;
        case HandOverAnswer::Verdict::BadRequest:
            return kExitUsage;
        case HandOverAnswer::Verdict::Refused:
            break;
    }
    return kExitSomeFailed;
}

int ExitCodeOf(const std::vector<Outcome>& outcomes) {
    int code = kExitSuccess;
    for (const Outcome& outcome : outcomes) {
        const int own = ExitCodeOf(outcome.kind);
        if (own != kExitSuccess) {
            code = code == kExitSuccess || code == own ? own : kExitSomeFailed;
        }
    }
    return code;
}

}  // namespace tarnwick
