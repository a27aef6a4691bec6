#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "model/UiPort.h"

namespace tarnwick::testing {

// A stand-in for the panels: it records every call as one line of text ("Status:Ready",
// "InsertRow:url|status", ...) and keeps rows and tree items like the real widgets do.
// Safe to call from any thread.
class RecordingUi : public StatusDisplay,
                    public EntryRows,
                    public DownloadedFilesTree,
                    public MessageBoxes {
public:
    struct Row {
        std::string project;
        std::string status;
        bool selected = false;
    };

    // Attaches all four parts to the port.
    void AttachTo(UiPort& port);

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string& text) override;
    void PlayBusyAnimation() override;
    void StopBusyAnimation() override;

    bool InsertRowAtTop(const std::string& project, const std::string& status) override;
    void SetRowStatus(int row, const std::string& status) override;
    void SetRowProject(int row, const std::string& project) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    int RowCount() override;
    int SelectedCount() override;
    bool IsRowSelected(int row) override;
    std::string RowText(int row, int column) override;

    void ClearPlaceholderItem() override;
    int FindOrAddProjectItem(const std::string& projectName) override;
    void AddDownloadedFileItem(int projectItem, const std::string& localPath) override;

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;

    // Test controls and views.
    void SetRows(const std::vector<Row>& rows);
    void SelectRows(const std::vector<int>& rows);
    void SetYesNoAnswer(bool answer);
    void RefuseRowInserts(bool refuse);
    std::vector<std::string> Calls() const;
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
    std::vector<Row> Rows() const;
    std::vector<std::string> Messages() const;
    std::string StatusText() const;
    std::string LastActionText() const;
    std::string CurrentProjectText() const;
    bool BusyAnimationPlaying() const;
    void ClearCalls();

private:
    void Record(std::string call);

    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<Row> rows_;
    std::vector<std::string> messages_;
    std::vector<std::string> treeItems_;  // "project" or "project/child"
    std::string status_ = "Ready";
    std::string lastAction_ = "Waiting for command";
    std::string currentProject_ = "None";
    bool playing_ = false;
    bool yesNoAnswer_ = true;
    bool refuseInserts_ = false;
};

}  // namespace tarnwick::testing
