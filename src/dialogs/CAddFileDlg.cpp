#include "dialogs/CAddFileDlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogUnits.h"
#include "dialogs/FieldWidthValidator.h"
#include "model/ByteRate.h"
#include "model/CompletedFileUrl.h"
#include "model/Records.h"
#include "model/UrlsInText.h"

namespace tarnwick {

CAddFileDlg::CAddFileDlg(QWidget* parent)
    : QDialog(parent),
      field_(new QLineEdit(this)),
      moreUrls_(new QPlainTextEdit(this)),
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

    moreUrls_->setObjectName(QStringLiteral("moreUrls"));
    moreUrls_->setPlaceholderText(QStringLiteral("More addresses, one a line (optional)"));
    moreUrls_->setTabChangesFocus(true);
    moreUrls_->setLineWrapMode(QPlainTextEdit::NoWrap);
    moreUrls_->setFixedHeight(moreUrls_->fontMetrics().lineSpacing() * 6);

    checksum_->setPlaceholderText(QStringLiteral("sha256=... or md5=... (optional)"));
    limit_->setPlaceholderText(QStringLiteral("e.g. 500k or 2M (optional)"));
    auto* extras = new QFormLayout;
    extras->addRow(QStringLiteral("Checksum"), checksum_);
    extras->addRow(QStringLiteral("Speed limit"), limit_);
    problem_->setStyleSheet(QStringLiteral("color: #b00020"));
    problem_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(moreUrls_);
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
    QString typed = field_->text();
    const QString more = moreUrls_->toPlainText();
    if (!more.trimmed().isEmpty()) {
        typed += QLatin1Char('\n') + more;
    }
    const bool several = UrlLines(typed.toStdString()).size() > 1;
    if (!checksum.empty() && several) {
        problem_->setText(
            QStringLiteral("A checksum belongs to one file: add the others without it."));
    } else if (!checksum.empty() && !IsChecksumText(checksum)) {
        problem_->setText(
            QStringLiteral("The checksum is sha256= and 64 hexadecimal digits, "
                           "or md5= and 32."));
    } else if (!rate) {
        problem_->setText(
            QStringLiteral("The speed limit is a number of bytes a second, "
                           "with k or M: 500k, 2M."));
    } else {
        url_ = typed;
        options_ = FileRequestOptions{checksum, *rate};
        QDialog::accept();
        return;
    }
    problem_->show();
}

}  // namespace tarnwick
