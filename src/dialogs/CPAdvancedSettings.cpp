#include "dialogs/CPAdvancedSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogs/DecimalValue.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/DigitsOnly.h"
#include "dialogs/FieldWidthValidator.h"

namespace tarnwick {

CPAdvancedSettings::CPAdvancedSettings(QWidget* parent)
    : QWidget(parent),
      count_(new QLineEdit(this)),
      exitDomain_(new QCheckBox(QStringLiteral("Exit domain"), this)),
      userName_(new QLineEdit(this)),
      password_(new QLineEdit(this)) {
    AcceptDigitsOnly(count_);
    count_->setAlignment(Qt::AlignRight);
    count_->setFixedWidth(DialogUnitsToPixels(*count_, 40, 0).width());
    FieldWidthValidator::LimitField(userName_, kCredentialWidth);
    FieldWidthValidator::LimitField(password_, kCredentialWidth);

    auto* limits = new QGridLayout;
    auto* countLabel = new QLabel(QStringLiteral("Max Domain Count"), this);
    countLabel->setBuddy(count_);
    limits->addWidget(countLabel, 0, 0);
    limits->addWidget(count_, 0, 1);
    limits->addWidget(exitDomain_, 1, 0, 1, 2);
    limits->setColumnStretch(2, 1);

    auto* user = new QGroupBox(QStringLiteral("User Settings"), this);
    auto* userLayout = new QGridLayout(user);
    auto* userNameLabel = new QLabel(QStringLiteral("User Name"), user);
    auto* passwordLabel = new QLabel(QStringLiteral("Password"), user);
    userNameLabel->setBuddy(userName_);
    passwordLabel->setBuddy(password_);
    userLayout->addWidget(userNameLabel, 0, 0);
    userLayout->addWidget(userName_, 0, 1);
    userLayout->addWidget(passwordLabel, 1, 0);
    userLayout->addWidget(password_, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(limits);
    layout->addWidget(user);
    layout->addStretch(1);
}

void CPAdvancedSettings::FillFrom(const WebProject& project) {
    count_->setText(QString::number(project.maxDomainCount));
    exitDomain_->setChecked(project.exitDomain != 0);
    userName_->setText(QString::fromStdString(project.userName));
    password_->setText(QString::fromStdString(project.password));
}

void CPAdvancedSettings::ReadInto(WebProject& project) const {
    project.maxDomainCount = DecimalValue(count_->text().toStdString());
    project.exitDomain = exitDomain_->isChecked() ? 1 : 0;
    project.userName = userName_->text().toStdString();
    project.password = password_->text().toStdString();
}

}  // namespace tarnwick
