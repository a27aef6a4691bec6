#include "support/RecordingUi.h"

namespace tarnwick::testing {

void RecordingUi::AttachTo(UiPort& port) {
    port.AttachStatus(this);
    port.AttachRows(this);
    port.AttachTree(this);
    port.AttachMessages(this);
}

void RecordingUi::Record(std::string call) {
    calls_.push_back(std::move(call));
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

bool RecordingUi::InsertRowAtTop(const std::string& project, const std::string& status) {
    std::lock_guard lock(mutex_);
    Record("InsertRow:" + project + "|" + status);
    if (refuseInserts_) {
        return false;
    }
    rows_.insert(rows_.begin(), Row{project, status, false});
    return true;
}

void RecordingUi::SetRowStatus(int row, const std::string& status) {
    std::lock_guard lock(mutex_);
    Record("RowStatus:" + std::to_string(row) + "|" + status);
    if (row >= 0 && row < static_cast<int>(rows_.size())) {
        rows_[row].status = status;
    }
}

void RecordingUi::SetRowProject(int row, const std::string& project) {
    std::lock_guard lock(mutex_);
    Record("RowProject:" + std::to_string(row) + "|" + project);
    if (row >= 0 && row < static_cast<int>(rows_.size())) {
        rows_[row].project = project;
    }
}

void RecordingUi::DeleteRow(int row) {
    std::lock_guard lock(mutex_);
    Record("DeleteRow:" + std::to_string(row));
    if (row >= 0 && row < static_cast<int>(rows_.size())) {
        rows_.erase(rows_.begin() + row);
    }
}

void RecordingUi::DeleteAllRows() {
    std::lock_guard lock(mutex_);
    Record("DeleteAllRows");
    rows_.clear();
}

int RecordingUi::RowCount() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(rows_.size());
}

int RecordingUi::SelectedCount() {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const Row& row : rows_) {
        count += row.selected ? 1 : 0;
    }
    return count;
}

bool RecordingUi::IsRowSelected(int row) {
    std::lock_guard lock(mutex_);
    return row >= 0 && row < static_cast<int>(rows_.size()) && rows_[row].selected;
}

std::string RecordingUi::RowText(int row, int column) {
    std::lock_guard lock(mutex_);
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return {};
    }
    return column == 0 ? rows_[row].project : rows_[row].status;
}

void RecordingUi::ClearPlaceholderItem() {
    std::lock_guard lock(mutex_);
    Record("ClearPlaceholder");
}

int RecordingUi::FindOrAddProjectItem(const std::string& projectName) {
    std::lock_guard lock(mutex_);
    Record("ProjectItem:" + projectName);
    for (std::size_t i = 0; i < treeItems_.size(); ++i) {
        if (treeItems_[i] == projectName) {
            return static_cast<int>(i);
        }
    }
    treeItems_.push_back(projectName);
    return static_cast<int>(treeItems_.size() - 1);
}

void RecordingUi::AddDownloadedFileItem(int projectItem, const std::string& localPath) {
    std::lock_guard lock(mutex_);
    Record("FileItem:" + std::to_string(projectItem) + "|" + localPath);
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

void RecordingUi::SetRows(const std::vector<Row>& rows) {
    std::lock_guard lock(mutex_);
    rows_ = rows;
}

void RecordingUi::SelectRows(const std::vector<int>& rows) {
    std::lock_guard lock(mutex_);
    for (Row& row : rows_) {
        row.selected = false;
    }
    for (int row : rows) {
        if (row >= 0 && row < static_cast<int>(rows_.size())) {
            rows_[row].selected = true;
        }
    }
}

void RecordingUi::SetYesNoAnswer(bool answer) {
    std::lock_guard lock(mutex_);
    yesNoAnswer_ = answer;
}

void RecordingUi::RefuseRowInserts(bool refuse) {
    std::lock_guard lock(mutex_);
    refuseInserts_ = refuse;
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

void RecordingUi::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

}  // namespace tarnwick::testing
