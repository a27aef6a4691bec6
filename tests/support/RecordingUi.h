#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "model/SharedState.h"
#include "model/UiPort.h"

namespace tarnwick::testing {

// A stand-in for the window: it keeps the rows of the category it shows by the entry events,
// as the entry list does, and records every call as one line of text ("Status:Ready",
// "InsertRow:url|status", "RowStatus:0|Downloading...", ...), rows counted from the top.
// Safe to call from any thread.
class RecordingUi : public StatusDisplay, public MessageBoxes, public EntryEvents {
public:
    struct Row {
        EntryId id = kNoEntry;
        std::string project;
        std::string status;
        bool selected = false;
    };

    // Attaches the status panel and the messages, and subscribes to the events.
    void AttachTo(UiPort& port);

    // Shows the category's entries as the entry list does, newest in row 0, and tells the
    // state which list is shown, as the window does.
    void Show(SharedState& state, ListCategory category);
    ListCategory Shown() const;

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string& text) override;
    void PlayBusyAnimation() override;
    void StopBusyAnimation() override;

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;

    void EntryAdded(const EntryView& entry) override;
    void EntryChanged(const EntryChange& change) override;
    void EntryRemoved(ListCategory list, EntryId id) override;
    void ListsEmptied() override;
    void EntryEnded(const EntryView& entry, const Outcome& outcome) override;
    void CrawlBegan(EntryId project, const std::string& name) override;
    void FileStored(EntryId project, const std::string& name,
                    const std::string& localPath) override;

    // Test controls and views.
    void SelectRows(const std::vector<int>& rows);
    // The ids of the selected rows, top first, as the window hands them to a command.
    std::vector<EntryId> SelectedIds() const;
    EntryId IdOfRow(int row) const;
    void SetYesNoAnswer(bool answer);
    std::vector<std::string> Calls() const;
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    std::vector<Row> Rows() const;
    std::string RowText(int row, int column) const;
    std::vector<std::string> Messages() const;
    std::string StatusText() const;
    std::string LastActionText() const;
    std::string CurrentProjectText() const;
    bool BusyAnimationPlaying() const;
    // The latest progress told of the entry; nothing when none was.
    std::optional<TransferSnapshot> ProgressOf(EntryId id) const;
    // The endings told, in order, with the key of each entry.
    std::vector<std::pair<std::string, Outcome>> Endings() const;
    void ClearCalls();

private:
    void Record(std::string call);
    int RowOfLocked(EntryId id) const;

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    ListCategory shown_ = ListCategory::RequestedFiles;
    std::vector<Row> rows_;
    std::vector<std::string> messages_;
    std::map<EntryId, TransferSnapshot> progress_;
    std::vector<std::pair<std::string, Outcome>> endings_;
    std::string status_ = "Ready";
    std::string lastAction_ = "Waiting for command";
    std::string currentProject_ = "None";
    bool playing_ = false;
    bool yesNoAnswer_ = true;
};

}  // namespace tarnwick::testing
