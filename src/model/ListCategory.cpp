#include "model/ListCategory.h"

namespace tarnwick {

std::string_view TreeText(ListCategory category) {
    switch (category) {
        case ListCategory::RequestedFiles:
            return "Files";
        case ListCategory::RequestedWebSites:
            return "Web Sites";
        case ListCategory::DownloadedFiles:
            return "Downloaded Files";
        case ListCategory::DownloadedSites:
            return "Downloaded Sites";
        case ListCategory::SearchProjects:
            return "Search Projects";
        case ListCategory::SearchResults:
            return "Search Results";
    }
    return {};
}

std::optional<ListCategory> CategoryFromTreeText(std::string_view text) {
    for (int value = 1; value <= 6; ++value) {
        const auto category = static_cast<ListCategory>(value);
        if (TreeText(category) == text) {
            return category;
        }
    }
    return std::nullopt;
}

}  // namespace tarnwick
