#pragma once

#include <cstddef>

namespace tarnwick {

// What a link found in a page is for: a page the reader may go to, or something the page
// needs to display (a frame's page, a style sheet, or a resource such as an image or script).
enum class LinkUse { Navigation, Frame, StyleSheet, Resource };

inline bool IsRequisite(LinkUse use) {
    return use != LinkUse::Navigation;
}

// Where a link stands in the text it was found in, as it is written there.
struct LinkSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    LinkUse use = LinkUse::Resource;
};

}  // namespace tarnwick
