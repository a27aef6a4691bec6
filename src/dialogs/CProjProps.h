#pragma once

#include <QDialog>

#include "model/Records.h"
#include "model/WebProjectOptions.h"

class QDialogButtonBox;
class QTabWidget;

namespace tarnwick {

class CFileSettings;
class CPAdvancedSettings;
class CPRunSettings;
class CPWGenSettings;

// The modal sheet that creates and edits a web project. It reads and writes no list and no
// options file: the caller fills it, shows it and on OK builds the project and its options
// (kept in webprojects.ini) from the pages. Unfilled, it shows a new project's options.
class CProjProps : public QDialog {
    Q_OBJECT

public:
    explicit CProjProps(const QString& caption, QWidget* parent = nullptr);

    void FillFromProject(const WebProject& project);
    // The project the pages describe, ready for a requested list; times are read as typed,
    // also for a pair left on "when requested" (Add Web Site zeroes those itself).
    WebProject ProjectFromPages() const;
    void FillFromOptions(const WebProjectOptions& options);
    // The options filled in, with what the pages offer read back; the others are kept.
    WebProjectOptions OptionsFromPages() const;

    QTabWidget* Tabs() const { return tabs_; }
    CPWGenSettings* GeneralSettings() const { return general_; }
    CFileSettings* FileSettings() const { return files_; }
    CPRunSettings* RunSettings() const { return run_; }
    CPAdvancedSettings* AdvancedSettings() const { return advanced_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

private:
    QTabWidget* tabs_;
    CPWGenSettings* general_;
    CFileSettings* files_;
    CPRunSettings* run_;
    CPAdvancedSettings* advanced_;
    QDialogButtonBox* buttons_;
    WebProjectOptions options_ = NewWebProjectOptions();
};

}  // namespace tarnwick
