#pragma once

#include <QWidget>

#include "model/Records.h"

namespace tarnwick {

class ScheduleChoice;

// "Run Settings": when the project starts and when it stops.
class CPRunSettings : public QWidget {
    Q_OBJECT

public:
    explicit CPRunSettings(QWidget* parent = nullptr);

    void FillFrom(const WebProject& project);
    // Stores the typed times whatever the chosen buttons.
    void ReadInto(WebProject& project) const;

    ScheduleChoice* StartSchedule() const { return start_; }
    ScheduleChoice* StopSchedule() const { return stop_; }

private:
    ScheduleChoice* start_;
    ScheduleChoice* stop_;
};

}  // namespace tarnwick
