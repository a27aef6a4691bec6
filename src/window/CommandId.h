#pragma once

namespace tarnwick {

// The commands of the menus, the toolbar, the keys and the entry list's context menu.
enum class CommandId {
    AddFiles = 32771,
    AddWebSite = 32772,
    DeleteEntry = 32787,
    Properties = 32789,
    AddSearchProject = 32790,
    StopDownloading = 32792,
    SendToRequestedFiles = 32796,
    SendToRequestedWebSites = 32797,
    DownloadSelected = 32798,
    DeleteAllLists = 32807,
    HelpContents = 32808,
    Preferences = 32811,
    About = 57664,
    Exit = 57665,
};

}  // namespace tarnwick
