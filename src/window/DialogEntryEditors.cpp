#include "window/DialogEntryEditors.h"

#include "control/SearchEngines.h"
#include "dialogs/CAddFileDlg.h"
#include "dialogs/CAddSearchDlg.h"
#include "dialogs/CProjProps.h"
#include "dialogs/CStartProjectDlg.h"

namespace tarnwick {

bool DialogEntryEditors::AskFileUrl(std::string& url, FileRequestOptions& options) {
    CAddFileDlg dialog(owner_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    url = dialog.Url().toStdString();
    options = dialog.Options();
    return true;
}

bool DialogEntryEditors::EditWebProject(WebProject& project, WebProjectOptions& options,
                                        const std::string& caption) {
    CProjProps sheet(QString::fromStdString(caption), owner_);
    sheet.FillFromProject(project);
    sheet.FillFromOptions(options);
    if (sheet.exec() != QDialog::Accepted) {
        return false;
    }
    project = sheet.ProjectFromPages();
    options = sheet.OptionsFromPages();
    return true;
}

bool DialogEntryEditors::EditSearchProject(SearchProject& project) {
    // Read anew, so engines added to the file meanwhile are offered without a restart.
    CAddSearchDlg dialog(SearchEnginesOf(folder_), owner_);
    dialog.FillFromProject(project);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    project = dialog.ProjectFromDialog();
    return true;
}

int DialogEntryEditors::AskStartChoice() {
    CStartProjectDlg dialog(owner_);
    return dialog.exec() == QDialog::Accepted ? dialog.StartChoice() : 0;
}

}  // namespace tarnwick
