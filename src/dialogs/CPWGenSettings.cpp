#include "dialogs/CPWGenSettings.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"

namespace tarnwick {

CPWGenSettings::CPWGenSettings(QWidget* parent)
    : QWidget(parent),
      name_(new QLineEdit(this)),
      address_(new QLineEdit(this)),
      hint_(new QLabel(QStringLiteral("ex : http://www.example.com/"), this)) {
    FieldWidthValidator::LimitField(name_, kNameWidth);
    FieldWidthValidator::LimitField(address_, kStartUrlWidth);
    hint_->setEnabled(false);
    address_->setMinimumWidth(DialogUnitsToPixels(*address_, 180, 0).width());

    auto* layout = new QGridLayout(this);
    auto* nameLabel = new QLabel(QStringLiteral("Project Name"), this);
    auto* addressLabel = new QLabel(QStringLiteral("Get Files from"), this);
    nameLabel->setBuddy(name_);
    addressLabel->setBuddy(address_);
    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(name_, 0, 1);
    layout->addWidget(addressLabel, 1, 0);
    layout->addWidget(address_, 1, 1);
    layout->addWidget(hint_, 2, 1);
    layout->setRowStretch(3, 1);
}

void CPWGenSettings::FillFrom(const WebProject& project) {
    name_->setText(QString::fromStdString(project.name));
    address_->setText(QString::fromStdString(project.startUrl));
}

void CPWGenSettings::ReadInto(WebProject& project) const {
    project.name = name_->text().toStdString();
    project.startUrl = address_->text().toStdString();
}

}  // namespace tarnwick
