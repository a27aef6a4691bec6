#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace tarnwick {

class ScaledPicture;

// "Start a New Project": the greeting at start-up, from which the user may go straight into
// creating a web site project or a search project. Esc and the close box cancel it.
class CStartProjectDlg : public QDialog {
    Q_OBJECT

public:
    // The values StartChoice takes once the dialog has opened.
    enum Choice { kWebSiteProject = 2, kSearchProject = 3, kStartProgram = 4 };

    explicit CStartProjectDlg(QWidget* parent = nullptr);

    // 0 until the dialog opens, then the chosen button's Choice.
    int StartChoice() const { return startChoice_; }

    QRadioButton* ChoiceButton(Choice choice) const;
    QPushButton* ProceedButton() const { return proceed_; }
    ScaledPicture* Picture() const { return picture_; }
    ScaledPicture* Banner() const { return banner_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    int startChoice_ = 0;
    bool opened_ = false;
    QButtonGroup* choices_;
    QPushButton* proceed_;
    ScaledPicture* picture_;
    ScaledPicture* banner_;
};

}  // namespace tarnwick
