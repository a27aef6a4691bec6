#include "dialogs/CPRunSettings.h"

#include <QVBoxLayout>

#include "dialogs/DialogUnits.h"
#include "dialogs/ScheduleChoice.h"

namespace tarnwick {

CPRunSettings::CPRunSettings(QWidget* parent)
    : QWidget(parent),
      start_(new ScheduleChoice(QStringLiteral("Run when requested"),
                                QStringLiteral("Start running at (HH:MM)"), this)),
      stop_(new ScheduleChoice(QStringLiteral("Stop when requested"),
                               QStringLiteral("Stop running at (HH:MM)"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(start_);
    layout->addSpacing(DialogUnitsToPixels(*this, 0, 10).height());
    layout->addWidget(stop_);
    layout->addStretch(1);
}

void CPRunSettings::FillFrom(const WebProject& project) {
    start_->Fill(project.runWhenRequested, project.startHour, project.startMinute);
    stop_->Fill(project.stopWhenRequested, project.stopHour, project.stopMinute);
}

void CPRunSettings::ReadInto(WebProject& project) const {
    project.runWhenRequested = start_->WhenRequested();
    project.startHour = start_->Hour();
    project.startMinute = start_->Minute();
    project.stopWhenRequested = stop_->WhenRequested();
    project.stopHour = stop_->Hour();
    project.stopMinute = stop_->Minute();
}

}  // namespace tarnwick
