#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tarnwick {

// "Add File(s)": asks for the address of one file to fetch. The caller completes the
// address (CompletedFileUrl) and adds it; the field already leaves room for that.
class CAddFileDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddFileDlg(QWidget* parent = nullptr);

    // The address as typed when the dialog was closed with Add; empty before.
    QString Url() const { return url_; }
    void accept() override;

    QLineEdit* UrlField() const { return field_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QString url_;
    QLineEdit* field_;
    QPushButton* add_;
    QPushButton* cancel_;
};

}  // namespace tarnwick
