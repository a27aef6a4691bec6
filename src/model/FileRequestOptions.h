#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// What a requested file asks of its transfer beyond its list record: kept in a file of its
// own beside the lists, keyed by the entry's URL.
struct FileRequestOptions {
    std::string checksum;                   // "sha256=HEX" or "md5=HEX"; empty: none checked
    std::uint64_t limitBytesPerSecond = 0;  // this entry's own speed limit; 0: none
};

}  // namespace tarnwick
