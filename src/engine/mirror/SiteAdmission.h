#pragma once

#include <string>

#include "engine/net/Url.h"

namespace tarnwick {

// Which addresses belong to the site a project mirrors: those of the start address's scheme,
// host and port, and with "do not ascend" only those at or below the start page's folder.
// Parsed parts are compared, never text, so "http://other.example/?u=<start>" is not on it.
class SiteAdmission {
public:
    SiteAdmission(const Url& start, bool noAscend);

    bool Admits(const Url& address) const;

private:
    std::string origin_;
    std::string folder_;  // empty unless no ascending
};

}  // namespace tarnwick
