#include "support/RecordingUi.h"

#include "model/ListChanges.h"

namespace tarnwick::testing {

void RecordingUi::AttachTo(UiPort& port) {
    port.AttachStatus(this);
    port.AttachMessages(this);
    port.Subscribe(this);
}

void RecordingUi::Show(SharedState& state, ListCategory category) {
    {
        std::lock_guard lock(state.mutex);
        state.CurrentCategory = category;
    }
    const std::vector<EntryView> entries = ViewsOf(state, category);
    std::lock_guard lock(mutex_);
    shown_ = category;
    rows_.clear();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        rows_.push_back(Row{entry->id, entry->key, entry->status, false});
    }
}

ListCategory RecordingUi::Shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

void RecordingUi::Record(std::string call) {
    calls_.push_back(std::move(call));
}

int RecordingUi::RowOfLocked(EntryId id) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].id == id) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void RecordingUi::SetStatusText(const std::string& text) {
    std::lock_guard lock(mutex_);
    status_ = text;
    Record("Status:" + text);
}

void RecordingUi::SetLastActionText(const std::string& text) {
    std::lock_guard lock(mutex_);
    lastAction_ = text;
    Record("LastAction:" + text);
}

void RecordingUi::SetCurrentProjectText(const std::string& text) {
    std::lock_guard lock(mutex_);
    currentProject_ = text;
    Record("CurrentProject:" + text);
}

void RecordingUi::PlayBusyAnimation() {
    std::lock_guard lock(mutex_);
    playing_ = true;
    Record("Play");
}

void RecordingUi::StopBusyAnimation() {
    std::lock_guard lock(mutex_);
    playing_ = false;
    Record("Stop");
}

void RecordingUi::ShowMessage(const std::string& text) {
    std::lock_guard lock(mutex_);
    messages_.push_back(text);
    Record("Message:" + text);
}

bool RecordingUi::AskYesNo(const std::string& question) {
    std::lock_guard lock(mutex_);
    messages_.push_back(question);
    Record("Ask:" + question);
    return yesNoAnswer_;
}

void RecordingUi::EntryAdded(const EntryView& entry) {
    std::lock_guard lock(mutex_);
    if (entry.list != shown_ || RowOfLocked(entry.id) >= 0) {
        return;
    }
    Record("InsertRow:" + entry.key + "|" + entry.status);
    rows_.insert(rows_.begin(), Row{entry.id, entry.key, entry.status, false});
}

void RecordingUi::EntryChanged(const EntryChange& change) {
    std::lock_guard lock(mutex_);
    if (change.progress) {
        progress_[change.id] = *change.progress;
    }
    const int row = change.list == shown_ ? RowOfLocked(change.id) : -1;
    if (row < 0) {
        return;
    }
    Row& shown = rows_[static_cast<std::size_t>(row)];
    if (change.key != shown.project) {
        shown.project = change.key;
        Record("RowProject:" + std::to_string(row) + "|" + change.key);
    }
    if (change.status) {
        shown.status = *change.status;
        Record("RowStatus:" + std::to_string(row) + "|" + *change.status);
    }
    if (change.held) {
        Record("RowHeld:" + std::to_string(row));
    }
}

void RecordingUi::EntryRemoved(ListCategory list, EntryId id) {
    std::lock_guard lock(mutex_);
    const int row = list == shown_ ? RowOfLocked(id) : -1;
    if (row < 0) {
        return;
    }
    Record("DeleteRow:" + std::to_string(row));
    rows_.erase(rows_.begin() + row);
}

void RecordingUi::ListsEmptied() {
    std::lock_guard lock(mutex_);
    Record("DeleteAllRows");
    rows_.clear();
}

void RecordingUi::EntryEnded(const EntryView& entry, const Outcome& outcome) {
    std::lock_guard lock(mutex_);
    endings_.emplace_back(entry.key, outcome);
}

void RecordingUi::CrawlBegan(EntryId, const std::string& name) {
    std::lock_guard lock(mutex_);
    Record("ProjectItem:" + name);
}

void RecordingUi::FileStored(EntryId, const std::string& name, const std::string& localPath) {
    std::lock_guard lock(mutex_);
    Record("FileItem:" + name + "|" + localPath);
}

void RecordingUi::SelectRows(const std::vector<int>& rows) {
    std::lock_guard lock(mutex_);
    for (Row& row : rows_) {
        row.selected = false;
    }
    for (int row : rows) {
        if (row >= 0 && row < static_cast<int>(rows_.size())) {
            rows_[static_cast<std::size_t>(row)].selected = true;
        }
    }
}

std::vector<EntryId> RecordingUi::SelectedIds() const {
    std::lock_guard lock(mutex_);
    std::vector<EntryId> ids;
    for (const Row& row : rows_) {
        if (row.selected) {
            ids.push_back(row.id);
        }
    }
    return ids;
}

EntryId RecordingUi::IdOfRow(int row) const {
    std::lock_guard lock(mutex_);
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<std::size_t>(row)].id
               : kNoEntry;
}

void RecordingUi::SetYesNoAnswer(bool answer) {
    std::lock_guard lock(mutex_);
    yesNoAnswer_ = answer;
}

std::vector<std::string> RecordingUi::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> RecordingUi::CallsStartingWith(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> matching;
    for (const std::string& call : calls_) {
        if (call.rfind(prefix, 0) == 0) {
            matching.push_back(call);
        }
    }
    return matching;
}

std::vector<RecordingUi::Row> RecordingUi::Rows() const {
    std::lock_guard lock(mutex_);
    return rows_;
}

std::string RecordingUi::RowText(int row, int column) const {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return {};
    }
    const Row& shown = rows_[static_cast<std::size_t>(row)];
    return column == 0 ? shown.project : shown.status;
}

std::vector<std::string> RecordingUi::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::string RecordingUi::StatusText() const {
    std::lock_guard lock(mutex_);
    return status_;
}

std::string RecordingUi::LastActionText() const {
    std::lock_guard lock(mutex_);
    return lastAction_;
}

std::string RecordingUi::CurrentProjectText() const {
    std::lock_guard lock(mutex_);
    return currentProject_;
}

bool RecordingUi::BusyAnimationPlaying() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

std::optional<TransferSnapshot> RecordingUi::ProgressOf(EntryId id) const {
    std::lock_guard lock(mutex_);
    const auto found = progress_.find(id);
    return found != progress_.end() ? std::optional(found->second) : std::nullopt;
}

std::vector<std::pair<std::string, Outcome>> RecordingUi::Endings() const {
    std::lock_guard lock(mutex_);
    return endings_;
}

void RecordingUi::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

}  // namespace tarnwick::testing
