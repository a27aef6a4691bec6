#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "cli/CommandLine.h"
#include "model/UiPort.h"

namespace tarnwick {

// The command line's side of the UI port. On a terminal it keeps one live line per transfer
// (redrawn in place: size, percent, speed and time left); otherwise it writes plain lines only:
// one when an entry's work ends ("done URL (size)", "failed URL: reason"). Status texts go out
// with --verbose, messages always (to stderr), and --quiet leaves only messages and failures.
// Safe to call from any worker thread.
class TerminalProgress final : public StatusDisplay, public MessageBoxes, public EntryEvents {
public:
    TerminalProgress(Verbosity verbosity, std::FILE* out, std::FILE* errors, bool liveLines);

    void AttachTo(UiPort& port);
    void DetachFrom(UiPort& port);

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string&) override {}
    void PlayBusyAnimation() override {}
    void StopBusyAnimation() override {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string&) override { return false; }

    void EntryChanged(const EntryChange& change) override;
    void EntryEnded(const EntryView& entry, const Outcome& outcome) override;
    void FileStored(EntryId project, const std::string& name,
                    const std::string& localPath) override;

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
    // The running ones' progress lines, by entry, in the order they began.
    std::map<EntryId, std::string> transfers_;
    std::map<EntryId, std::uint64_t> bytesAtEnd_;
    std::map<EntryId, int> filesStored_;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace tarnwick
