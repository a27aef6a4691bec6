#pragma once

#include <QDialog>

#include "dialogs/HelpPages.h"

class QPushButton;

namespace tarnwick {

// Help > About: the product, its tag line and the suite's other products. "OK", Esc and the
// caption's close button close it; "Check out other products" opens their page and keeps it.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(PageOpener opener = DesktopPageOpener(), QWidget* parent = nullptr);

    QPushButton* OkButton() const { return okButton_; }
    QPushButton* ProductsButton() const { return productsButton_; }

private:
    PageOpener opener_;
    QPushButton* okButton_;
    QPushButton* productsButton_;
};

}  // namespace tarnwick
