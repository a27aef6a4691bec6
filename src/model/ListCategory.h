#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarnwick {

// The lists of the category tree; the values are those the program has always used.
enum class ListCategory {
    RequestedFiles = 1,
    RequestedWebSites = 2,
    DownloadedFiles = 3,
    DownloadedSites = 4,
    SearchProjects = 5,
    SearchResults = 6,
};

inline constexpr std::string_view kRequestedItemsText = "Requested Items";
inline constexpr std::string_view kDownloadedItemsText = "Downloaded Items";

// The text of the category's item in the category tree.
std::string_view TreeText(ListCategory category);

// The category whose tree item has exactly this text; none for the group items and others.
std::optional<ListCategory> CategoryFromTreeText(std::string_view text);

// The categories under each group item, in the tree's order.
inline constexpr std::array<ListCategory, 3> kRequestedCategories = {
    ListCategory::RequestedFiles, ListCategory::RequestedWebSites, ListCategory::SearchProjects};
inline constexpr std::array<ListCategory, 3> kDownloadedCategories = {
    ListCategory::DownloadedFiles, ListCategory::DownloadedSites, ListCategory::SearchResults};

}  // namespace tarnwick
