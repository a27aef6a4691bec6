#include "dialogs/CAddFileDlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"
#include "model/ByteRate.h"
#include "model/CompletedFileUrl.h"
#include "model/Records.h"

namespace tarnwick {

CAddFileDlg::CAddFileDlg(QWidget* parent)
    : QDialog(parent),
      field_(new QLineEdit(this)),
      checksum_(new QLineEdit(this)),
      limit_(new QLineEdit(this)),
      problem_(new QLabel(this)),
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

    checksum_->setPlaceholderText(QStringLiteral("sha256=... or md5=... (optional)"));
    limit_->setPlaceholderText(QStringLiteral("e.g. 500k or 2M (optional)"));
    auto* extras = new QFormLayout;
    extras->addRow(QStringLiteral("Checksum"), checksum_);
    extras->addRow(QStringLiteral("Speed limit"), limit_);
    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(extras);
    layout->addWidget(problem_);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(add_, &QPushButton::clicked, this, &CAddFileDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddFileDlg::accept() {
    const std::string checksum = checksum_->text().trimmed().toStdString();
    const std::string limit = limit_->text().trimmed().toStdString();
    const std::optional<std::uint64_t> rate = limit.empty() ? 0 : ParseByteRate(limit);
    if (!checksum.empty() && !IsChecksumText(checksum)) {
        problem_->setText(
            QStringLiteral("The checksum is sha256= and 64 hexadecimal digits, "
                           "or md5= and 32."));
    } else if (!rate) {
        problem_->setText(
            QStringLiteral("The speed limit is a number of bytes a second, "
                           "with k or M: 500k, 2M."));
    } else {
        url_ = field_->text();
        options_ = FileRequestOptions{checksum, *rate};
        QDialog::accept();
        return;
    }
    problem_->show();
}

}  // namespace tarnwick
