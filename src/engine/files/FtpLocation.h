#pragma once

#include <string>

namespace tarnwick {

// The parts of an ftp:// URL that an FTP download needs.
struct FtpLocation {
    std::string host;       // as written, a port or user name included
    std::string directory;  // empty: the file lies directly below the host
    std::string fileName;
};

// Splits ftp://host/dir/sub/name; false when there is no "//" or no '/' after the host.
bool ParseFtpUrl(const std::string& url, FtpLocation& location);

}  // namespace tarnwick
