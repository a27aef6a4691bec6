#pragma once

#include <QWidget>

#include "model/Records.h"

class QLabel;
class QLineEdit;

namespace tarnwick {

// "General Settings": the project's name and the address its crawl starts from.
class CPWGenSettings : public QWidget {
    Q_OBJECT

public:
    explicit CPWGenSettings(QWidget* parent = nullptr);

    void FillFrom(const WebProject& project);
    void ReadInto(WebProject& project) const;

    QLineEdit* NameField() const { return name_; }
    QLineEdit* AddressField() const { return address_; }
    QLabel* AddressHint() const { return hint_; }

private:
    QLineEdit* name_;
    QLineEdit* address_;
    QLabel* hint_;
};

}  // namespace tarnwick
