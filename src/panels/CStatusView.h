#pragma once

#include <QWidget>

#include "model/UiPort.h"

class QLabel;

namespace tarnwick {

class BusyClip;
class StatusTextField;

// The lower right pane: Current Project, Last Action and Status with their values, and the
// busy clip below them. The children keep fixed pixel positions whatever the pane's size;
// a smaller pane cuts them off. Every operation may be called from any thread.
class CStatusView : public QWidget, public StatusDisplay {
    Q_OBJECT

public:
    explicit CStatusView(QWidget* parent = nullptr);

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string& text) override;
    void PlayBusyAnimation() override;
    void StopBusyAnimation() override;

private:
    QLabel* AddLabel(const QString& name, const QString& text, const QRect& place);
    StatusTextField* AddField(const QString& name, const QRect& place);
    void SetFieldText(StatusTextField* field, const std::string& text);

    StatusTextField* currentProjectField_ = nullptr;
    StatusTextField* lastActionField_ = nullptr;
    StatusTextField* statusField_ = nullptr;
    BusyClip* busyClip_ = nullptr;
};

}  // namespace tarnwick
