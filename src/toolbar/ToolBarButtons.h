#pragma once

#include <array>

namespace tarnwick {

// One place on the main window's toolbar: a command and its picture, or a separator.
struct ToolBarButton {
    int commandId;         // 0 for a separator
    const char* iconPath;  // a resource path; null for a separator
};

// The main window's toolbar, left to right.
inline constexpr std::array<ToolBarButton, 11> kMainToolBarButtons{{
    {32771, ":/toolbar/add-file.svg"},
    {32772, ":/toolbar/add-website.svg"},
    {32790, ":/toolbar/add-search.svg"},
    {0, nullptr},
    {32787, ":/toolbar/delete-entry.svg"},
    {0, nullptr},
    {32798, ":/toolbar/download-selected.svg"},
    {32792, ":/toolbar/stop-downloading.svg"},
    {32789, ":/toolbar/properties.svg"},
    {0, nullptr},
    {57664, ":/toolbar/about.svg"},
}};

}  // namespace tarnwick
