#include "engine/mirror/SiteAdmission.h"

namespace tarnwick {

SiteAdmission::SiteAdmission(const WebAddress& start, bool noAscend) : origin_(start.Origin()) {
    if (noAscend) {
        folder_ = start.path.substr(0, start.path.rfind('/') + 1);
    }
}

bool SiteAdmission::Admits(const WebAddress& address) const {
    return address.Origin() == origin_ && address.path.starts_with(folder_);
}

}  // namespace tarnwick
