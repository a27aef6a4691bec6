#pragma once

#include <QWidget>

#include "model/Records.h"
#include "model/WebProjectOptions.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace tarnwick {

// "Advanced Settings": the crawl's limits, the credentials the site asks for, and how an offline
// copy is made (only a project that makes a portable copy has those choices).
class CPAdvancedSettings : public QWidget {
    Q_OBJECT

public:
    explicit CPAdvancedSettings(QWidget* parent = nullptr);

    void FillFrom(const WebProject& project);
    void ReadInto(WebProject& project) const;
    void FillFrom(const WebProjectOptions& options);
    void ReadInto(WebProjectOptions& options) const;

    QLineEdit* CountField() const { return count_; }
    QCheckBox* ExitDomainBox() const { return exitDomain_; }
    QLineEdit* UserNameField() const { return userName_; }
    QLineEdit* PasswordField() const { return password_; }
    QGroupBox* CopyGroup() const { return copy_; }
    QCheckBox* RequisitesBox() const { return requisites_; }
    QCheckBox* IgnoreRobotsBox() const { return ignoreRobots_; }
    QCheckBox* NoAscendBox() const { return noAscend_; }
    QLineEdit* DelayField() const { return delay_; }
    QLineEdit* ConnectionsField() const { return connections_; }

private:
    QLineEdit* count_;
    QCheckBox* exitDomain_;
    QLineEdit* userName_;
    QLineEdit* password_;
    QGroupBox* copy_;
    QCheckBox* requisites_;
    QCheckBox* ignoreRobots_;
    QCheckBox* noAscend_;
    QLineEdit* delay_;
    QLineEdit* connections_;
};

}  // namespace tarnwick
