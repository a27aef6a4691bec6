#include "cli/TerminalProgress.h"

#include "model/ProgressText.h"

namespace tarnwick {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
}

TerminalProgress::TerminalProgress(Verbosity verbosity, std::FILE* out, std::FILE* errors,
                                   bool liveLines)
    : verbosity_(verbosity),
      out_(out),
      errors_(errors),
      liveLines_(liveLines && verbosity != Verbosity::Quiet) {}

void TerminalProgress::AttachTo(UiPort& port) {
    port.AttachStatus(this);
    port.AttachMessages(this);
    port.Subscribe(this);
}

void TerminalProgress::DetachFrom(UiPort& port) {
    port.AttachStatus(nullptr);
    port.AttachMessages(nullptr);
    port.Unsubscribe(this);
}

void TerminalProgress::EntryEnded(const EntryView& entry, const Outcome& outcome) {
    std::lock_guard lock(mutex_);
    transfers_.erase(entry.id);
    std::string line;
    switch (outcome.kind) {
        case OutcomeKind::Done:
            if (verbosity_ == Verbosity::Quiet) {
                return;
            }
            line = "done " + entry.key;
            if (const auto bytes = bytesAtEnd_.find(entry.id); bytes != bytesAtEnd_.end()) {
                line += " (" + ByteCountText(bytes->second) + ")";
            }
            if (const auto files = filesStored_.find(entry.id); files != filesStored_.end()) {
                line += " (" + std::to_string(files->second) + " files)";
            }
            break;
        case OutcomeKind::PartlyDone:
            line = "partly done " + entry.key + ": " + outcome.text;
            break;
        case OutcomeKind::Interrupted:
            line = "stopped " + entry.key + (outcome.text.empty() ? "" : ": " + outcome.text);
            break;
        case OutcomeKind::Cancelled:
            line = "deleted " + entry.key;
            break;
        default:
            line = "failed " + entry.key + ": " + outcome.text;
            break;
    }
    PrintLocked(outcome.IsDone() ? out_ : errors_, line);
}

void TerminalProgress::SetStatusText(const std::string& text) {
    if (verbosity_ != Verbosity::Verbose) {
        return;
    }
    std::lock_guard lock(mutex_);
    PrintLocked(out_, "  " + text);
}

void TerminalProgress::SetLastActionText(const std::string& text) {
    SetStatusText(text);
}

void TerminalProgress::FileStored(EntryId project, const std::string&,
                                  const std::string& localPath) {
    std::lock_guard lock(mutex_);
    // Counted for the end line; the live line is the crawl's own progress.
    ++filesStored_[project];
    if (verbosity_ == Verbosity::Verbose) {
        PrintLocked(out_, "  stored " + localPath);
    }
}

void TerminalProgress::ShowMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    PrintLocked(errors_, "tarnwick-cli: " + text);
}

void TerminalProgress::EntryChanged(const EntryChange& change) {
    if (!change.progress) {
        return;
    }
    const TransferSnapshot& progress = *change.progress;
    std::lock_guard lock(mutex_);
    // A crawl's end line counts its files; the bytes it read include pages it did not keep.
    if (!progress.crawl) {
        bytesAtEnd_[change.id] = progress.done;
    }
    if (!liveLines_) {
        return;
    }
    transfers_[change.id] = change.key + "  " + LiveProgressText(progress);
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn_ >= kRedrawInterval) {
        lastDrawn_ = now;
        DrawLiveLinesLocked();
    }
}

void TerminalProgress::EraseLiveLinesLocked() {
    for (; linesDrawn_ > 0; --linesDrawn_) {
        std::fputs("\x1b[1A\x1b[2K", out_);  // up one line, clear it
    }
}

void TerminalProgress::DrawLiveLinesLocked() {
    EraseLiveLinesLocked();
    for (const auto& [id, line] : transfers_) {
        std::fprintf(out_, "%s\n", line.c_str());
        ++linesDrawn_;
    }
    std::fflush(out_);
}

void TerminalProgress::PrintLocked(std::FILE* stream, const std::string& line) {
    if (liveLines_) {
        EraseLiveLinesLocked();
    }
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
    if (liveLines_) {
        DrawLiveLinesLocked();
    }
}

}  // namespace tarnwick
