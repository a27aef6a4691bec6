#pragma once

#include <cstdint>
#include <string>

#include "model/Outcome.h"

namespace tarnwick {

// How one transfer of the libcurl layer ended.
struct TransferResult {
    bool ok = false;         // the whole body arrived (and, with failOnHttpError, status < 400)
    long responseCode = 0;   // the HTTP or FTP status, 0 when there was no answer
    bool cancelled = false;  // the gate was cancelled, or the body callback said stop
    std::string errorText;   // libcurl's message for every failure
    // Whose failure it was, decided from libcurl's code: Done while ok.
    OutcomeKind failure = OutcomeKind::Done;
    // A failure that another attempt may not meet: the connection refused, reset or timed out,
    // the body cut short, a stall, an FTP 4xx reply. HTTP statuses are left to the caller.
    bool transient = false;
    bool wasPaused = false;      // held at the gate at some point: its connection may be gone
    bool pausedTooLong = false;  // ended because a pause outlasted holdWhilePaused
};

}  // namespace tarnwick
