#include "panels/CStatusView.h"

#include <QLabel>

#include "panels/BusyClip.h"
#include "panels/GuiThread.h"
#include "panels/StatusTextField.h"

namespace tarnwick {

namespace {

// Rectangles are (left, top, right, bottom) in pixels of the pane.
QRect Place(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

}  // namespace

CStatusView::CStatusView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);

    AddLabel(QStringLiteral("currentProjectLabel"), QStringLiteral("Current Project : "),
             Place(20, 40, 150, 65));
    currentProjectField_ = AddField(QStringLiteral("currentProjectField"), Place(160, 40, 550, 65));
    AddLabel(QStringLiteral("lastActionLabel"), QStringLiteral("Last Action : "),
             Place(20, 80, 150, 105));
    lastActionField_ = AddField(QStringLiteral("lastActionField"), Place(130, 80, 580, 115));
    AddLabel(QStringLiteral("statusLabel"), QStringLiteral("Status : "), Place(20, 130, 150, 155));
    statusField_ = AddField(QStringLiteral("statusField"), Place(130, 130, 550, 165));

    busyClip_ = new BusyClip(this);
    busyClip_->setObjectName(QStringLiteral("busyClip"));
    busyClip_->setGeometry(Place(50, 170, 550, 270));

    currentProjectField_->setText(QStringLiteral("None"));
    lastActionField_->setText(QStringLiteral("Waiting for command"));
    statusField_->setText(QStringLiteral("Ready"));
}

QLabel* CStatusView::AddLabel(const QString& name, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true);
    QPalette white = label->palette();
    white.setColor(QPalette::Window, Qt::white);
    label->setPalette(white);
    label->setGeometry(place);
    return label;
}

StatusTextField* CStatusView::AddField(const QString& name, const QRect& place) {
    // Created empty; the initial texts follow once all children exist.
    auto* field = new StatusTextField(this);
    field->setObjectName(name);
    field->setGeometry(place);
    return field;
}

void CStatusView::SetFieldText(StatusTextField* field, const std::string& text) {
    RunOnGuiThreadAndWait(field,
                          [field, copy = QString::fromStdString(text)] { field->setText(copy); });
}

void CStatusView::SetStatusText(const std::string& text) {
    SetFieldText(statusField_, text);
}

void CStatusView::SetLastActionText(const std::string& text) {
    SetFieldText(lastActionField_, text);
}

void CStatusView::SetCurrentProjectText(const std::string& text) {
    SetFieldText(currentProjectField_, text);
}

void CStatusView::PlayBusyAnimation() {
    RunOnGuiThreadAndWait(busyClip_, [clip = busyClip_] { clip->Play(); });
}

void CStatusView::StopBusyAnimation() {
    RunOnGuiThreadAndWait(busyClip_, [clip = busyClip_] { clip->Stop(); });
}

}  // namespace tarnwick
