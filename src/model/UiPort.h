#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tarnwick {

// The status panel: three texts and the busy clip.
class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetLastActionText(const std::string& text) = 0;
    virtual void SetCurrentProjectText(const std::string& text) = 0;
    virtual void PlayBusyAnimation() = 0;
    virtual void StopBusyAnimation() = 0;
};

// The rows of the entry list panel: column 0 "Project", column 1 "Status"; row 0 is the top.
class EntryRows {
public:
    virtual ~EntryRows() = default;
    // Inserts a row at the top; false when the row could not be inserted.
    virtual bool InsertRowAtTop(const std::string& project, const std::string& status) = 0;
    // Inserts the (project, status) rows at the top in the order given, so the last ends as
    // row 0; how many were inserted before the first refusal. A panel overrides it to insert
    // a whole list in one step.
    virtual std::size_t InsertRowsAtTop(
        const std::vector<std::pair<std::string, std::string>>& rows) {
        std::size_t inserted = 0;
        while (inserted < rows.size() &&
               InsertRowAtTop(rows[inserted].first, rows[inserted].second)) {
            ++inserted;
        }
        return inserted;
    }
    virtual void SetRowStatus(int row, const std::string& status) = 0;
    virtual void SetRowProject(int row, const std::string& project) = 0;
    virtual void DeleteRow(int row) = 0;
    virtual void DeleteAllRows() = 0;
    virtual int RowCount() = 0;
    virtual int SelectedCount() = 0;
    virtual bool IsRowSelected(int row) = 0;
    virtual std::string RowText(int row, int column) = 0;
};

// The tree of downloaded files, one item per project with its files below.
class DownloadedFilesTree {
public:
    virtual ~DownloadedFilesTree() = default;
    virtual void ClearPlaceholderItem() = 0;
    // Returns the project's item (an id of the tree's own), -1 when none could be made.
    virtual int FindOrAddProjectItem(const std::string& projectName) = 0;
    virtual void AddDownloadedFileItem(int projectItem, const std::string& localPath) = 0;
};

// Modal message boxes; the caller waits until the user has answered.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& question) = 0;
};

// How far a site's crawl has come: what it has fetched and how many links wait.
struct CrawlCounts {
    int pages = 0;
    int files = 0;  // everything else stored: style sheets, images, ...
    int queued = 0;
};

// How far one requested file's transfer, or one site's crawl, has come. Unknown values are
// negative.
struct TransferSnapshot {
    std::uint64_t done = 0;            // bytes held, the resumed part included
    std::int64_t total = -1;           // the whole file's length; never known for a crawl
    double bytesPerSecond = 0;         // a smoothed average over the last seconds
    std::int64_t etaSeconds = -1;      // until the whole file is held, at that speed
    std::optional<CrawlCounts> crawl;  // a site's, keyed by its project's name
};

// The progress of each requested file's transfer (keyed by its URL) and of each site's crawl
// (by its project's name); the command line draws its progress lines and the window its
// progress columns from them.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void ShowTransferProgress(const std::string& url, const TransferSnapshot& progress) = 0;
    // Paused: what it holds stays shown, its speed and time left go. A front end that
    // shows no speed need not care.
    virtual void ShowTransferHeld(const std::string&) {}
};

// What the core sees of the user interface. Each call may come from any thread and returns
// only after the interface has carried it out; the panels attach their implementations.
// Never call it while holding SharedState's mutex: the GUI thread may be waiting for it.
// Before attaching every call does nothing and answers a neutral value; after Close so does
// every call from a thread other than the one that closed it.
class UiPort final : public StatusDisplay,
                     public EntryRows,
                     public DownloadedFilesTree,
                     public MessageBoxes,
                     public TransferProgress {
public:
    void AttachStatus(StatusDisplay* status) { status_ = status; }
    void AttachRows(EntryRows* rows) { rows_ = rows; }
    void AttachTree(DownloadedFilesTree* tree) { tree_ = tree; }
    void AttachMessages(MessageBoxes* messages) { messages_ = messages; }
    void AttachProgress(TransferProgress* progress) { progress_ = progress; }

    // Used first at exit, on the interface thread: from then on no worker reaches a window,
    // while the exit itself can still show its messages.
    void Close() {
        closer_ = std::this_thread::get_id();
        closed_ = true;
    }
    bool IsClosed() const { return closed_; }

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string& text) override;
    void PlayBusyAnimation() override;
    void StopBusyAnimation() override;

    bool InsertRowAtTop(const std::string& project, const std::string& status) override;
    std::size_t InsertRowsAtTop(
        const std::vector<std::pair<std::string, std::string>>& rows) override;
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

    void ShowTransferProgress(const std::string& url, const TransferSnapshot& progress) override;
    void ShowTransferHeld(const std::string& url) override;

private:
    template <typename Target>
    Target* Open(const std::atomic<Target*>& target) const {
        if (closed_ && std::this_thread::get_id() != closer_.load()) {
            return nullptr;
        }
        return target.load();
    }

    std::atomic<bool> closed_{false};
    std::atomic<std::thread::id> closer_{};
    std::atomic<StatusDisplay*> status_{nullptr};
    std::atomic<EntryRows*> rows_{nullptr};
    std::atomic<DownloadedFilesTree*> tree_{nullptr};
    std::atomic<MessageBoxes*> messages_{nullptr};
    std::atomic<TransferProgress*> progress_{nullptr};
};

}  // namespace tarnwick
