#include "cli/TerminalProgress.h"

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
    port.AttachRows(this);
    port.AttachTree(this);
    port.AttachMessages(this);
    port.AttachProgress(this);
}

void TerminalProgress::ShowEnded(const std::string& key, bool done, const std::string& text) {
    std::lock_guard lock(mutex_);
    std::string line;
    if (done) {
        if (verbosity_ == Verbosity::Quiet) {
            transfers_.erase(key);
            return;
        }
        line = "done " + key;
        if (const auto bytes = bytesAtEnd_.find(key); bytes != bytesAtEnd_.end()) {
            line += " (" + ByteCountText(bytes->second) + ")";
        }
        if (const auto files = filesStored_.find(key); files != filesStored_.end()) {
            line += " (" + std::to_string(files->second) + " files)";
        }
    } else {
        line = "failed " + key + ": " + text;
    }
    transfers_.erase(key);
    PrintLocked(done ? out_ : errors_, line);
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

int TerminalProgress::FindOrAddProjectItem(const std::string& projectName) {
    std::lock_guard lock(mutex_);
    for (const auto& [item, name] : projects_) {
        if (name == projectName) {
            return item;
        }
    }
    const int item = static_cast<int>(projects_.size());
    projects_[item] = projectName;
    return item;
}

void TerminalProgress::AddDownloadedFileItem(int projectItem, const std::string& localPath) {
    std::lock_guard lock(mutex_);
    const auto project = projects_.find(projectItem);
    if (project == projects_.end()) {
        return;
    }
    // Counted for the end line; the live line is the crawl's own progress.
    ++filesStored_[project->second];
    if (verbosity_ == Verbosity::Verbose) {
        PrintLocked(out_, "  stored " + localPath);
    }
}

void TerminalProgress::ShowMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    PrintLocked(errors_, "tarnwick-cli: " + text);
}

void TerminalProgress::ShowTransferProgress(const std::string& url,
                                            const TransferSnapshot& progress) {
    std::lock_guard lock(mutex_);
    // A crawl's end line counts its files; the bytes it read include pages it did not keep.
    if (!progress.crawl) {
        bytesAtEnd_[url] = progress.done;
    }
    if (!liveLines_) {
        return;
    }
    transfers_[url] = LiveProgressText(progress);
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
    for (const auto& [key, progress] : transfers_) {
        std::fprintf(out_, "%s  %s\n", key.c_str(), progress.c_str());
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
