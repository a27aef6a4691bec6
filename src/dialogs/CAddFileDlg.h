#pragma once

#include <QDialog>

#include "model/FileRequestOptions.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick {

// "Add File(s)": asks for the address of a file to fetch, or of many, one a line in the box
// below it, and optionally the digest the finished file must have and a speed limit of
// each file's own. The caller completes the addresses (CompletedFileUrl) and adds them; the
// field already leaves room for that. A checksum is refused with more than one address,
// since no two files share one.
class CAddFileDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddFileDlg(QWidget* parent = nullptr);

    // The address as typed when the dialog was closed with Add, followed by the box's lines;
    // empty before.
    QString Url() const { return url_; }
    FileRequestOptions Options() const { return options_; }
    // Closes with Add only when the checksum and the limit, if given, can be used.
    void accept() override;

    QLineEdit* UrlField() const { return field_; }
    QPlainTextEdit* MoreUrlsField() const { return moreUrls_; }
    QLineEdit* ChecksumField() const { return checksum_; }
    QLineEdit* LimitField() const { return limit_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QString url_;
    FileRequestOptions options_;
    QLineEdit* field_;
    QPlainTextEdit* moreUrls_;
    QLineEdit* checksum_;
    QLineEdit* limit_;
    QLabel* problem_;
    QPushButton* add_;
    QPushButton* cancel_;
};

}  // namespace tarnwick
