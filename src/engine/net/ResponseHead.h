#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// The head of the last HTTP answer received (after redirects, the final one): what a
// resumable transfer checks before it keeps a byte. Unknown numbers are -1, absent texts empty.
struct ResponseHead {
    long status = 0;
    std::int64_t contentLength = -1;
    std::string contentRange;  // the header's value as sent, e.g. "bytes 100-199/1000"
    std::string etag;          // as sent, quotes and any W/ kept
    std::string lastModified;
    std::string location;  // as sent: a redirect's target, perhaps relative to the request
    std::int64_t retryAfterSeconds = -1;  // seconds, or an HTTP date turned into seconds from now
};

}  // namespace tarnwick
