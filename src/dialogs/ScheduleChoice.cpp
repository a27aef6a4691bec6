#include "dialogs/ScheduleChoice.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "dialogs/DecimalValue.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/DigitsOnly.h"

namespace tarnwick {

namespace {

QLineEdit* MakeTimeField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    AcceptDigitsOnly(field);
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(DialogUnitsToPixels(*field, 24, 0).width());
    return field;
}

}  // namespace

ScheduleChoice::ScheduleChoice(const QString& whenRequestedText, const QString& atTimeText,
                               QWidget* parent)
    : QWidget(parent),
      whenRequested_(new QRadioButton(whenRequestedText, this)),
      atTime_(new QRadioButton(atTimeText, this)),
      hour_(MakeTimeField(this)),
      minute_(MakeTimeField(this)) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(whenRequested_, 0, 0, 1, 4);
    layout->addWidget(atTime_, 1, 0);
    layout->addWidget(hour_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral(":"), this), 1, 2);
    layout->addWidget(minute_, 1, 3);
    layout->setColumnStretch(4, 1);

    connect(whenRequested_, &QRadioButton::clicked, this, [this] { Choose(true); });
    connect(atTime_, &QRadioButton::clicked, this, [this] {
        Choose(false);
        hour_->setFocus(Qt::OtherFocusReason);
    });
    Choose(true);
}

void ScheduleChoice::Choose(bool onRequest) {
    (onRequest ? whenRequested_ : atTime_)->setChecked(true);
    hour_->setEnabled(!onRequest);
    minute_->setEnabled(!onRequest);
}

void ScheduleChoice::Fill(int whenRequested, int hour, int minute) {
    hour_->setText(QString::number(hour));
    minute_->setText(QString::number(minute));
    Choose(whenRequested == 1);
}

int ScheduleChoice::WhenRequested() const {
    return whenRequested_->isChecked() ? 1 : 0;
}

int ScheduleChoice::Hour() const {
    return DecimalValue(hour_->text().toStdString());
}

int ScheduleChoice::Minute() const {
    return DecimalValue(minute_->text().toStdString());
}

bool ScheduleChoice::TimeIncomplete() const {
    return minute_->isEnabled() && (hour_->text().isEmpty() || minute_->text().isEmpty());
}

}  // namespace tarnwick
