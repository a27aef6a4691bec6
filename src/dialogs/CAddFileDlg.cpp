#include "dialogs/CAddFileDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/CompletedFileUrl.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"
#include "model/Records.h"

namespace tarnwick {

CAddFileDlg::CAddFileDlg(QWidget* parent)
    : QDialog(parent),
      field_(new QLineEdit(this)),
      add_(new QPushButton(QStringLiteral("Add"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Add File(s)"));
    // Measured as stored: with "http://" in front when the caller will add it.
    FieldWidthValidator::LimitField(field_, kUrlWidth, [](const QString& text) {
        return CompletedFileUrl(text.toStdString());
    });
    field_->setMinimumWidth(DialogUnitsToPixels(*field_, 218, 0).width());
    add_->setDefault(true);

    auto* frame = new QGroupBox(this);
    auto* label = new QLabel(QStringLiteral("URL"), frame);
    label->setBuddy(field_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(cancel_);
    auto* inner = new QHBoxLayout(frame);
    inner->addWidget(label);
    inner->addWidget(field_, 1);
    inner->addSpacing(DialogUnitsToPixels(*this, 6, 0).width());
    inner->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(add_, &QPushButton::clicked, this, &CAddFileDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddFileDlg::accept() {
    url_ = field_->text();
    QDialog::accept();
}

}  // namespace tarnwick
