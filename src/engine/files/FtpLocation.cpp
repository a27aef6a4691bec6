#include "engine/files/FtpLocation.h"

namespace tarnwick {

bool ParseFtpUrl(const std::string& url, FtpLocation& location) {
    const std::size_t schemeEnd = url.find("//");
    if (schemeEnd == std::string::npos) {
        return false;
    }
    std::string blanked = url;  // the two slashes of "ftp://" must not count as the path's
    for (const std::size_t position : {std::size_t{4}, std::size_t{5}}) {
        if (position < blanked.size()) {
            blanked[position] = ' ';
        }
    }
    const std::size_t pathStart = blanked.find('/');
    if (pathStart == std::string::npos || pathStart < schemeEnd + 2) {
        return false;
    }
    const std::size_t lastSlash = blanked.rfind('/');
    location.host = url.substr(schemeEnd + 2, pathStart - schemeEnd - 2);
    location.directory =
        lastSlash == pathStart ? "" : url.substr(pathStart + 1, lastSlash - pathStart - 1);
    location.fileName = url.substr(lastSlash + 1);
    return true;
}

}  // namespace tarnwick
