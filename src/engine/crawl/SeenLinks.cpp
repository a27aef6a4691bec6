#include "engine/crawl/SeenLinks.h"

namespace tarnwick {

std::string SeenLinks::Folded(std::string_view url) {
    std::string folded(url);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool SeenLinks::Add(std::string_view url) {
    return folded_.insert(Folded(url)).second;
}

bool SeenLinks::Contains(std::string_view url) const {
    return folded_.contains(Folded(url));
}

}  // namespace tarnwick
