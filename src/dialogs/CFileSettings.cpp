#include "dialogs/CFileSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"

namespace tarnwick {

namespace {

constexpr std::array<int WebProject::*, CFileSettings::kTypeCount> kTypeFlags = {
    &WebProject::getZip, &WebProject::getGif, &WebProject::getJpg, &WebProject::getExe,
    &WebProject::getMp3, &WebProject::getPdf, &WebProject::getHtm,
};
constexpr std::array<const char*, CFileSettings::kTypeCount> kTypeNames = {
    "ZIP", "GIF", "JPG", "EXE", "MP3", "PDF", "HTM",
};
constexpr int kBoxesPerRow = 5;

}  // namespace

CFileSettings::CFileSettings(QWidget* parent)
    : QWidget(parent),
      searchTypes_(new QRadioButton(QStringLiteral("Search for files of type"), this)),
      downloadAll_(new QRadioButton(QStringLiteral("Download all files"), this)),
      otherTypesBox_(new QCheckBox(QStringLiteral("Other types"), this)),
      otherTypes_(new QLineEdit(this)) {
    FieldWidthValidator::LimitField(otherTypes_, kOtherTypesWidth);
    otherTypes_->setMinimumWidth(DialogUnitsToPixels(*otherTypes_, 80, 0).width());

    auto* boxes = new QGridLayout;
    for (int i = 0; i < kTypeCount; ++i) {
        typeBoxes_[i] = new QCheckBox(QString::fromLatin1(kTypeNames[i]), this);
        boxes->addWidget(typeBoxes_[i], i / kBoxesPerRow, i % kBoxesPerRow);
    }
    boxes->setColumnStretch(kBoxesPerRow, 1);
    auto* other = new QHBoxLayout;
    other->addWidget(otherTypesBox_);
    other->addWidget(otherTypes_, 1);
    // The boxes are indented under the button that brings them into use.
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(DialogUnitsToPixels(*this, 12, 0).width(), 0, 0, 0);
    indented->addLayout(boxes);
    indented->addLayout(other);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(searchTypes_);
    layout->addLayout(indented);
    layout->addWidget(downloadAll_);
    layout->addStretch(1);

    connect(searchTypes_, &QRadioButton::clicked, this, [this] { Choose(false); });
    connect(downloadAll_, &QRadioButton::clicked, this, [this] { Choose(true); });
    Choose(true);
}

void CFileSettings::Choose(bool downloadAll) {
    (downloadAll ? downloadAll_ : searchTypes_)->setChecked(true);
    for (QCheckBox* box : typeBoxes_) {
        box->setEnabled(!downloadAll);
    }
    otherTypesBox_->setEnabled(!downloadAll);
    otherTypes_->setEnabled(!downloadAll);
}

void CFileSettings::FillFrom(const WebProject& project) {
    for (int i = 0; i < kTypeCount; ++i) {
        typeBoxes_[i]->setChecked(project.*kTypeFlags[i] != 0);
    }
    otherTypesBox_->setChecked(false);
    otherTypes_->setText(QString::fromStdString(project.otherTypes));
    const bool anyTypeTicked =
        std::any_of(kTypeFlags.begin(), kTypeFlags.end(),
                    [&project](int WebProject::*flag) { return project.*flag != 0; });
    // The stored choice counts too, so that reopening a project and pressing OK never turns
    // "all files" into "these types" or a search for other types into "all files".
    const bool searchTypes =
        project.downloadAll == 0 && (anyTypeTicked || !project.otherTypes.empty());
    Choose(!searchTypes);
}

void CFileSettings::ReadInto(WebProject& project) const {
    project.downloadAll = downloadAll_->isChecked() ? 1 : 0;
    for (int i = 0; i < kTypeCount; ++i) {
        project.*kTypeFlags[i] = typeBoxes_[i]->isChecked() ? 1 : 0;
    }
    project.otherTypes = otherTypes_->text().toStdString();
}

}  // namespace tarnwick
