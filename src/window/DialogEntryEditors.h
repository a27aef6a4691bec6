#pragma once

#include "control/EntryEditors.h"

class QWidget;

namespace tarnwick {

// The entry dialogs as the user sees them: each opens modally over the owner.
class DialogEntryEditors : public EntryEditors {
public:
    explicit DialogEntryEditors(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    bool AskFileUrl(std::string& url, FileRequestOptions& options) override;
    bool EditWebProject(WebProject& project, const std::string& caption) override;
    bool EditSearchProject(SearchProject& project) override;
    int AskStartChoice() override;

private:
    QWidget* owner_;
};

}  // namespace tarnwick
