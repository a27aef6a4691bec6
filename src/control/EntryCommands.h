#pragma once

#include <filesystem>

#include "control/EntryEditors.h"
#include "model/SharedState.h"

namespace tarnwick {

// Who a command came from. While the entry list is the active pane, its own handlers run;
// they differ from the main window's in how Properties finds a web project and in the
// staging project that Send To > Requested Web Sites uses.
enum class CommandSource { MainWindow, ListPanel };

// The commands that create, edit, move and delete entries, on the rows of the entry list.
class EntryCommands {
public:
    EntryCommands(SharedState& state, EntryEditors& editors, std::filesystem::path workingDirectory)
        : state_(state), editors_(editors), workingDirectory_(std::move(workingDirectory)) {}

    void OnAddFiles();
    void OnAddWebSite();
    void OnAddSearchProject();
    void OnDeleteEntry();
    void OnProperties(CommandSource source);
    void OnSendToRequestedFiles();
    void OnSendToRequestedWebSites(CommandSource source);
    void OnDeleteAllLists();

    // The start dialog: a web or search project straight away, or nothing.
    void RunStartDialog();

private:
    void EditWebProjectRow(int row, CommandSource source);
    void EditSearchProjectRow(int row);

    SharedState& state_;
    EntryEditors& editors_;
    std::filesystem::path workingDirectory_;  // where the files beside the lists are
    // Each source keeps its own staging project for the life of the program.
    WebProject mainWindowStaging_;
    WebProject listPanelStaging_;
};

}  // namespace tarnwick
