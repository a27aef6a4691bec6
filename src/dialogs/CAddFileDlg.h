#pragma once

#include <QDialog>

#include "model/FileRequestOptions.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

// "Add File(s)": asks for the address of one file to fetch, and optionally the digest the
// finished file must have and a speed limit of its own. The caller completes the address
// (CompletedFileUrl) and adds it; the field already leaves room for that.
class CAddFileDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddFileDlg(QWidget* parent = nullptr);

    // The address as typed when the dialog was closed with Add; empty before.
    QString Url() const { return url_; }
    FileRequestOptions Options() const { return options_; }
    // Closes with Add only when the checksum and the limit, if given, can be used.
    void accept() override;

    QLineEdit* UrlField() const { return field_; }
    QLineEdit* ChecksumField() const { return checksum_; }
    QLineEdit* LimitField() const { return limit_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QString url_;
    FileRequestOptions options_;
    QLineEdit* field_;
    QLineEdit* checksum_;
    QLineEdit* limit_;
    QLabel* problem_;
    QPushButton* add_;
    QPushButton* cancel_;
};

}  // namespace tarnwick
