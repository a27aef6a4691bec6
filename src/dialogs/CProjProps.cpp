#include "dialogs/CProjProps.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/CFileSettings.h"
#include "dialogs/CPAdvancedSettings.h"
#include "dialogs/CPRunSettings.h"
#include "dialogs/CPWGenSettings.h"

namespace tarnwick {

CProjProps::CProjProps(const QString& caption, QWidget* parent)
    : QDialog(parent),
      tabs_(new QTabWidget(this)),
      general_(new CPWGenSettings),
      files_(new CFileSettings),
      run_(new CPRunSettings),
      advanced_(new CPAdvancedSettings),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(caption);
    tabs_->addTab(general_, QStringLiteral("General Settings"));
    tabs_->addTab(files_, QStringLiteral("File Settings"));
    tabs_->addTab(run_, QStringLiteral("Run Settings"));
    tabs_->addTab(advanced_, QStringLiteral("Advanced Settings"));
    tabs_->setCurrentIndex(0);
    // Every tab stays in view: the sheet widens to its tabs instead of scrolling them.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    advanced_->FillFrom(options_);
}

void CProjProps::FillFromProject(const WebProject& project) {
    general_->FillFrom(project);
    files_->FillFrom(project);
    run_->FillFrom(project);
    advanced_->FillFrom(project);
}

WebProject CProjProps::ProjectFromPages() const {
    WebProject project;
    general_->ReadInto(project);
    files_->ReadInto(project);
    run_->ReadInto(project);
    advanced_->ReadInto(project);
    project.reserved = 0;
    project.status = "Ready for download";
    return project;
}

void CProjProps::FillFromOptions(const WebProjectOptions& options) {
    options_ = options;
    advanced_->FillFrom(options);
}

WebProjectOptions CProjProps::OptionsFromPages() const {
    WebProjectOptions options = options_;
    advanced_->ReadInto(options);
    return options;
}

}  // namespace tarnwick
