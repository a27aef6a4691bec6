#include "dialogs/CPAdvancedSettings.h"

#include <algorithm>

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
      password_(new QLineEdit(this)),
      copy_(new QGroupBox(QStringLiteral("Offline Copy"), this)),
      requisites_(new QCheckBox(QStringLiteral("Keep what pages need to display"), copy_)),
      ignoreRobots_(new QCheckBox(QStringLiteral("Ignore robots.txt"), copy_)),
      noAscend_(new QCheckBox(QStringLiteral("Do not ascend to the parent folder"), copy_)),
      delay_(new QLineEdit(copy_)),
      connections_(new QLineEdit(copy_)) {
    for (QLineEdit* number : {count_, delay_, connections_}) {
        AcceptDigitsOnly(number);
        number->setAlignment(Qt::AlignRight);
        number->setFixedWidth(DialogUnitsToPixels(*number, 40, 0).width());
    }
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

    auto* copyLayout = new QGridLayout(copy_);
    copyLayout->addWidget(requisites_, 0, 0, 1, 3);
    copyLayout->addWidget(ignoreRobots_, 1, 0, 1, 3);
    copyLayout->addWidget(noAscend_, 2, 0, 1, 3);
    auto* delayLabel = new QLabel(QStringLiteral("Delay between requests (ms)"), copy_);
    delayLabel->setBuddy(delay_);
    copyLayout->addWidget(delayLabel, 3, 0);
    copyLayout->addWidget(delay_, 3, 1);
    auto* connectionsLabel = new QLabel(QStringLiteral("Connections at once"), copy_);
    connectionsLabel->setBuddy(connections_);
    connections_->setToolTip(QStringLiteral("1 to %1; a delay keeps the copy to one")
                                 .arg(WebProjectOptions::kMaxConnections));
    copyLayout->addWidget(connectionsLabel, 4, 0);
    copyLayout->addWidget(connections_, 4, 1);
    copyLayout->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(limits);
    layout->addWidget(user);
    layout->addWidget(copy_);
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

void CPAdvancedSettings::FillFrom(const WebProjectOptions& options) {
    // A copy made by the line scanner has none of these, so they are not offered for it.
    copy_->setEnabled(options.portable);
    requisites_->setChecked(options.requisites);
    ignoreRobots_->setChecked(options.ignoreRobots);
    noAscend_->setChecked(options.noAscend);
    delay_->setText(QString::number(options.delayMs));
    connections_->setText(QString::number(options.connections));
}

void CPAdvancedSettings::ReadInto(WebProjectOptions& options) const {
    options.requisites = requisites_->isChecked();
    options.ignoreRobots = ignoreRobots_->isChecked();
    options.noAscend = noAscend_->isChecked();
    options.delayMs = DecimalValue(delay_->text().toStdString());
    options.connections = std::clamp(DecimalValue(connections_->text().toStdString()), 1,
                                     WebProjectOptions::kMaxConnections);
}

}  // namespace tarnwick
