#pragma once

#include <string>
#include <vector>

#include "engine/net/TransferLimits.h"

namespace tarnwick {

struct HttpRequest {
    std::string url;
    std::vector<std::string> headers;  // whole header lines, e.g. "Accept: */*"
    bool followRedirects = false;      // redirects only ever go to http and https
    bool failOnHttpError = false;      // an answer of 400 or more is a failure
    long timeoutMs = 0;                // the whole request at most; 0 sets no limit
    std::string range{};               // "100-": sent as "Range: bytes=100-"; empty: the whole body
    bool headOnly = false;             // HEAD: the answer's head, no body
    TransferLimits limits{};
};

}  // namespace tarnwick
