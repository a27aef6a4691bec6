#pragma once

#include <QWidget>

class QLineEdit;
class QRadioButton;

namespace tarnwick {

// One schedule pair: act only on request, or at a time of day typed as hour and minute.
// Each pair is its own button group, so choosing in one never clears the other.
class ScheduleChoice : public QWidget {
    Q_OBJECT

public:
    ScheduleChoice(const QString& whenRequestedText, const QString& atTimeText,
                   QWidget* parent = nullptr);

    // Shows a record's values: the times as decimal text, the button chosen by the flag.
    void Fill(int whenRequested, int hour, int minute);

    // 1 while the when-requested button is chosen, else 0.
    int WhenRequested() const;
    // The typed times, converted whatever the chosen button.
    int Hour() const;
    int Minute() const;
    // The time fields are in use and one of them is empty.
    bool TimeIncomplete() const;

    QRadioButton* WhenRequestedButton() const { return whenRequested_; }
    QRadioButton* AtTimeButton() const { return atTime_; }
    QLineEdit* HourField() const { return hour_; }
    QLineEdit* MinuteField() const { return minute_; }

private:
    // Chooses a button; the time fields are in use only with the at-time button.
    void Choose(bool onRequest);

    QRadioButton* whenRequested_;
    QRadioButton* atTime_;
    QLineEdit* hour_;
    QLineEdit* minute_;
};

}  // namespace tarnwick
