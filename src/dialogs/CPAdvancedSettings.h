#pragma once

#include <QWidget>

#include "model/Records.h"

class QCheckBox;
class QLineEdit;

namespace tarnwick {

// "Advanced Settings": the crawl's limits and the credentials the site asks for.
class CPAdvancedSettings : public QWidget {
    Q_OBJECT

public:
    explicit CPAdvancedSettings(QWidget* parent = nullptr);

    void FillFrom(const WebProject& project);
    void ReadInto(WebProject& project) const;

    QLineEdit* CountField() const { return count_; }
    QCheckBox* ExitDomainBox() const { return exitDomain_; }
    QLineEdit* UserNameField() const { return userName_; }
    QLineEdit* PasswordField() const { return password_; }

private:
    QLineEdit* count_;
    QCheckBox* exitDomain_;
    QLineEdit* userName_;
    QLineEdit* password_;
};

}  // namespace tarnwick
