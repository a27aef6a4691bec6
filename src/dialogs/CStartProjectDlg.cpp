#include "dialogs/CStartProjectDlg.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/ScaledPicture.h"

namespace tarnwick {

CStartProjectDlg::CStartProjectDlg(QWidget* parent)
    : QDialog(parent),
      choices_(new QButtonGroup(this)),
      proceed_(new QPushButton(QStringLiteral("Proceed"), this)),
      picture_(new ScaledPicture(QStringLiteral(":/pictures/start-picture.svg"), 112)),
      banner_(new ScaledPicture(QStringLiteral(":/pictures/start-banner.svg"), 37)) {
    setWindowTitle(QStringLiteral("Start a New Project"));
    picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    proceed_->setDefault(true);

    auto* frame = new QGroupBox(this);
    auto* choiceLayout = new QGridLayout;
    const std::pair<Choice, QString> buttons[] = {
        {kWebSiteProject, QStringLiteral("Start a Web Site Project")},
        {kSearchProject, QStringLiteral("Start a New Search Project")},
        {kStartProgram, QStringLiteral("Start Tarnwick")},
    };
    int row = 0;
    for (const auto& [choice, text] : buttons) {
        auto* button = new QRadioButton(text, frame);
        choices_->addButton(button, choice);
        choiceLayout->addWidget(button, row++, 0);
    }
    // Proceed sits beside the last choice, at the foot of the dialog.
    choiceLayout->addWidget(proceed_, row - 1, 1, Qt::AlignRight | Qt::AlignBottom);
    choiceLayout->setColumnStretch(0, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(banner_, 0, Qt::AlignHCenter);
    right->addStretch(1);
    right->addLayout(choiceLayout);

    auto* inner = new QHBoxLayout(frame);
    inner->addWidget(picture_, 0, Qt::AlignTop);
    inner->addLayout(right, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(choices_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            startChoice_ = id;
        }
    });
    connect(proceed_, &QPushButton::clicked, this, &QDialog::accept);
    // Enter proceeds with whatever is chosen: the first control to take the focus is Proceed.
    setTabOrder(proceed_, ChoiceButton(kWebSiteProject));
    proceed_->setFocus(Qt::OtherFocusReason);
}

QRadioButton* CStartProjectDlg::ChoiceButton(Choice choice) const {
    return static_cast<QRadioButton*>(choices_->button(choice));
}

void CStartProjectDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        ChoiceButton(kStartProgram)->setChecked(true);
        startChoice_ = kStartProgram;
        proceed_->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace tarnwick
