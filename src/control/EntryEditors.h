#pragma once

#include <string>

#include "model/FileRequestOptions.h"
#include "model/Records.h"
#include "model/WebProjectOptions.h"

namespace tarnwick {

// The modal dialogs through which the entry commands ask the user. The main window
// implements them with the real dialogs; tests answer them directly.
class EntryEditors {
public:
    virtual ~EntryEditors() = default;

    // "Add File(s)": true with the typed address, and what the file asks of its transfer, when
    // closed with "Add".
    virtual bool AskFileUrl(std::string& url, FileRequestOptions& options) = 0;

    // The web project sheet, filled from the project and its options under the given
    // caption. On OK both take every value of the sheet (times and count converted from their
    // texts) and true is returned; on Cancel they are left as they were.
    virtual bool EditWebProject(WebProject& project, WebProjectOptions& options,
                                const std::string& caption) = 0;

    // "Add a Search Project", filled from the project; on OK the project takes the
    // dialog's values and true is returned.
    virtual bool EditSearchProject(SearchProject& project) = 0;

    // "Start a New Project": the choice made with "Proceed", or 0 when cancelled.
    virtual int AskStartChoice() = 0;
};

}  // namespace tarnwick
