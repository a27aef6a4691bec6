#include "engine/mirror/SiteAdmission.h"

namespace tarnwick {

SiteAdmission::SiteAdmission(const Url& start, bool noAscend) : origin_(start.Origin()) {
    if (noAscend) {
        folder_ = start.Path().substr(0, start.Path().rfind('/') + 1);
    }
}

bool SiteAdmission::Admits(const Url& address) const {
    return address.Origin() == origin_ && address.Path().starts_with(folder_);
}

}  // namespace tarnwick
