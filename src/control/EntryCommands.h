#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "control/EntryEditors.h"
#include "model/SharedState.h"

namespace tarnwick {

// Who a command came from. While the entry list is the active pane, its own handlers run;
// they differ from the main window's in how Properties finds a web project and in the
// staging project that Send To > Requested Web Sites uses.
enum class CommandSource { MainWindow, ListPanel };

// The commands that create, edit, move and delete entries. Those on a selection take the
// category shown and the ids of the selected entries, top row first.
class EntryCommands {
public:
    EntryCommands(SharedState& state, EntryEditors& editors, std::filesystem::path workingDirectory)
        : state_(state), editors_(editors), workingDirectory_(std::move(workingDirectory)) {}

    // Add File(s): every line of the dialog's text is one address.
    void OnAddFiles();
    // Adds a requested file for each address (completed with "http://" where it has no
    // "//"), each with these options. Addresses already requested, or given twice, are not
    // added again; one message names them all.
    void AddFileUrls(const std::vector<std::string>& addresses,
                     const FileRequestOptions& options = {});
    void OnAddWebSite();
    void OnAddSearchProject();
    void OnDeleteEntry(ListCategory shown, const std::vector<EntryId>& selected);
    void OnProperties(ListCategory shown, const std::vector<EntryId>& selected,
                      CommandSource source);
    void OnSendToRequestedFiles(ListCategory shown, const std::vector<EntryId>& selected);
    void OnSendToRequestedWebSites(ListCategory shown, const std::vector<EntryId>& selected,
                                   CommandSource source);
    void OnDeleteAllLists();

    // The start dialog: a web or search project straight away, or nothing.
    void RunStartDialog();

private:
    void EditWebProject(EntryId id, CommandSource source);
    // Stores a project's options from its sheet, under its new name when it was renamed.
    void KeepWebOptions(const std::string& formerName, const std::string& name,
                        const WebProjectOptions& options);
    void EditSearchProject(EntryId id);

    SharedState& state_;
    EntryEditors& editors_;
    std::filesystem::path workingDirectory_;  // where the files beside the lists are
    // Each source keeps its own staging project for the life of the program.
    WebProject mainWindowStaging_;
    WebProject listPanelStaging_;
};

}  // namespace tarnwick
