#pragma once

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

// The entry list shows a list newest first: with n entries, index i is row n - 1 - i.
inline int RowOfIndex(int count, int index) { return count - 1 - index; }
inline int IndexOfRow(int count, int row) { return count - 1 - row; }

}  // namespace tarnwick
