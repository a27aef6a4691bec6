#pragma once

#include <filesystem>
#include <utility>

#include "control/EntryEditors.h"

class QWidget;

namespace tarnwick {

// The entry dialogs as the user sees them: each opens modally over the owner.
class DialogEntryEditors : public EntryEditors {
public:
    explicit DialogEntryEditors(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // Where searchengines.conf is read each time the search project dialog opens.
    void SetWorkingDirectory(std::filesystem::path folder) { folder_ = std::move(folder); }

    bool AskFileUrl(std::string& url, FileRequestOptions& options) override;
    bool EditWebProject(WebProject& project, WebProjectOptions& options,
                        const std::string& caption) override;
    bool EditSearchProject(SearchProject& project) override;
    int AskStartChoice() override;

private:
    QWidget* owner_;
    std::filesystem::path folder_;
};

}  // namespace tarnwick
