#pragma once

#include <string>

namespace tarnwick {

// How one transfer of the libcurl layer ended.
struct TransferResult {
    bool ok = false;         // the whole body arrived (and, with failOnHttpError, status < 400)
    long responseCode = 0;   // the HTTP or FTP status, 0 when there was no answer
    bool cancelled = false;  // the gate was cancelled, or the body callback said stop
    std::string errorText;   // libcurl's message for every failure
};

}  // namespace tarnwick
