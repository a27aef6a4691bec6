#include "engine/crawl/SeenLinks.h"

#include "model/Records.h"

namespace tarnwick {

bool SeenLinks::Add(std::string_view url) {
    return folded_.insert(AsciiLowercase(url)).second;
}

bool SeenLinks::Contains(std::string_view url) const {
    return folded_.contains(AsciiLowercase(url));
}

}  // namespace tarnwick
