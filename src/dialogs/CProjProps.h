#pragma once

#include <QDialog>

#include "model/Records.h"

class QDialogButtonBox;
class QTabWidget;

namespace tarnwick {

class CFileSettings;
class CPAdvancedSettings;
class CPRunSettings;
class CPWGenSettings;

// The modal sheet that creates and edits a web project. It reads and writes no list: the
// caller fills it, shows it and on OK builds the project from the pages.
class CProjProps : public QDialog {
    Q_OBJECT

public:
    explicit CProjProps(const QString& caption, QWidget* parent = nullptr);

    void FillFromProject(const WebProject& project);
    // The project the pages describe, ready for a requested list; times are read as typed,
    // also for a pair left on "when requested" (Add Web Site zeroes those itself).
    WebProject ProjectFromPages() const;

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
};

}  // namespace tarnwick
