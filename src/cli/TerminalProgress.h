#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "cli/CommandLine.h"
#include "model/ProgressText.h"
#include "model/UiPort.h"

namespace tarnwick {

// The command line's side of the UI port. On a terminal it keeps one live line per transfer
// (redrawn in place: size, percent, speed and time left); otherwise it writes plain lines only: one
// when a transfer ends. Status texts go out with --verbose, messages always (to stderr), and
// --quiet leaves only messages. Safe to call from any worker thread.
class TerminalProgress final : public StatusDisplay,
                               public EntryRows,
                               public DownloadedFilesTree,
                               public MessageBoxes,
                               public TransferProgress {
public:
    TerminalProgress(Verbosity verbosity, std::FILE* out, std::FILE* errors, bool liveLines);

    void AttachTo(UiPort& port);

    // A finished entry's line: "done URL (N bytes)" or "failed URL: reason".
    void ShowEnded(const std::string& key, bool done, const std::string& text);

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string&) override {}
    void PlayBusyAnimation() override {}
    void StopBusyAnimation() override {}

    // The command line has no rows: nothing is selected and nothing is shown.
    bool InsertRowAtTop(const std::string&, const std::string&) override { return true; }
    void SetRowStatus(int, const std::string&) override {}
    void SetRowProject(int, const std::string&) override {}
    void DeleteRow(int) override {}
    void DeleteAllRows() override {}
    int RowCount() override { return 0; }
    int SelectedCount() override { return 0; }
    bool IsRowSelected(int) override { return false; }
    std::string RowText(int, int) override { return {}; }

    void ClearPlaceholderItem() override {}
    int FindOrAddProjectItem(const std::string& projectName) override;
    void AddDownloadedFileItem(int projectItem, const std::string& localPath) override;

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string&) override { return false; }

    void ShowTransferProgress(const std::string& url, const TransferSnapshot& progress) override;

private:
    // Erases the live lines drawn last, so that a plain line can be printed above them.
    void EraseLiveLinesLocked();
    void DrawLiveLinesLocked();
    void PrintLocked(std::FILE* stream, const std::string& line);

    std::mutex mutex_;
    Verbosity verbosity_;
    std::FILE* out_;
    std::FILE* errors_;
    bool liveLines_;
    int linesDrawn_ = 0;
    std::map<std::string, std::string> transfers_;  // running ones' progress texts, by URL
    std::map<std::string, std::uint64_t> bytesAtEnd_;
    std::map<int, std::string> projects_;  // tree item -> project name
    std::map<std::string, int> filesStored_;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace tarnwick
