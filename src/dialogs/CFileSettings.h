#pragma once

#include <QWidget>

#include <array>

#include "model/Records.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tarnwick {

// "File Settings": fetch every linked file, or only the ticked types and the other types.
class CFileSettings : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTypeCount = 7;

    explicit CFileSettings(QWidget* parent = nullptr);

    void FillFrom(const WebProject& project);
    void ReadInto(WebProject& project) const;

    QRadioButton* SearchTypesButton() const { return searchTypes_; }
    QRadioButton* DownloadAllButton() const { return downloadAll_; }
    // ZIP, GIF, JPG, EXE, MP3, PDF, HTM, in this order.
    QCheckBox* TypeBox(int index) const { return typeBoxes_.at(index); }
    QCheckBox* OtherTypesBox() const { return otherTypesBox_; }
    QLineEdit* OtherTypesField() const { return otherTypes_; }

private:
    // Chooses a button; the type boxes and the other-types field serve only the type search.
    void Choose(bool downloadAll);

    QRadioButton* searchTypes_;
    QRadioButton* downloadAll_;
    std::array<QCheckBox*, kTypeCount> typeBoxes_{};
    QCheckBox* otherTypesBox_;
    QLineEdit* otherTypes_;
};

}  // namespace tarnwick
