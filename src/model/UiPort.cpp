#include "model/UiPort.h"

namespace tarnwick {

void UiPort::SetStatusText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetStatusText(text);
    }
}

void UiPort::SetLastActionText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetLastActionText(text);
    }
}

void UiPort::SetCurrentProjectText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetCurrentProjectText(text);
    }
}

void UiPort::PlayBusyAnimation() {
    if (auto* status = Open(status_)) {
        status->PlayBusyAnimation();
    }
}

void UiPort::StopBusyAnimation() {
    if (auto* status = Open(status_)) {
        status->StopBusyAnimation();
    }
}

bool UiPort::InsertRowAtTop(const std::string& project, const std::string& status) {
    auto* rows = Open(rows_);
    return rows != nullptr && rows->InsertRowAtTop(project, status);
}

std::size_t UiPort::InsertRowsAtTop(const std::vector<std::pair<std::string, std::string>>& rows) {
    auto* target = Open(rows_);
    return target != nullptr ? target->InsertRowsAtTop(rows) : 0;
}

void UiPort::SetRowStatus(int row, const std::string& status) {
    if (auto* rows = Open(rows_)) {
        rows->SetRowStatus(row, status);
    }
}

void UiPort::SetRowProject(int row, const std::string& project) {
    if (auto* rows = Open(rows_)) {
        rows->SetRowProject(row, project);
    }
}

void UiPort::DeleteRow(int row) {
    if (auto* rows = Open(rows_)) {
        rows->DeleteRow(row);
    }
}

void UiPort::DeleteAllRows() {
    if (auto* rows = Open(rows_)) {
        rows->DeleteAllRows();
    }
}

int UiPort::RowCount() {
    auto* rows = Open(rows_);
    return rows != nullptr ? rows->RowCount() : 0;
}

int UiPort::SelectedCount() {
    auto* rows = Open(rows_);
    return rows != nullptr ? rows->SelectedCount() : 0;
}

bool UiPort::IsRowSelected(int row) {
    auto* rows = Open(rows_);
    return rows != nullptr && rows->IsRowSelected(row);
}

std::string UiPort::RowText(int row, int column) {
    auto* rows = Open(rows_);
    return rows != nullptr ? rows->RowText(row, column) : std::string();
}

void UiPort::ClearPlaceholderItem() {
    if (auto* tree = Open(tree_)) {
        tree->ClearPlaceholderItem();
    }
}

int UiPort::FindOrAddProjectItem(const std::string& projectName) {
    auto* tree = Open(tree_);
    return tree != nullptr ? tree->FindOrAddProjectItem(projectName) : -1;
}

void UiPort::AddDownloadedFileItem(int projectItem, const std::string& localPath) {
    if (auto* tree = Open(tree_)) {
        tree->AddDownloadedFileItem(projectItem, localPath);
    }
}

void UiPort::ShowMessage(const std::string& text) {
    if (auto* messages = Open(messages_)) {
        messages->ShowMessage(text);
    }
}

bool UiPort::AskYesNo(const std::string& question) {
    auto* messages = Open(messages_);
    return messages != nullptr && messages->AskYesNo(question);
}

void UiPort::ShowTransferProgress(const std::string& url, const TransferSnapshot& progress) {
    if (auto* target = Open(progress_)) {
        target->ShowTransferProgress(url, progress);
    }
}

void UiPort::ShowTransferHeld(const std::string& url) {
    if (auto* target = Open(progress_)) {
        target->ShowTransferHeld(url);
    }
}

}  // namespace tarnwick
