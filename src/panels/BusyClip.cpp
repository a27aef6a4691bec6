#include "panels/BusyClip.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <numbers>

namespace tarnwick {

namespace {

constexpr qint64 kNanosecondsPerFrame = 1'000'000'000 / BusyClip::kFramesPerSecond;

// Parcels travel from a cloud on the left into a tray on the right; the tray's arrow dips
// once per loop. Every moving part returns to its start after the last picture, so the loop
// has no seam.
constexpr int kParcelCount = 5;
constexpr int kParcelSpacingsPerLoop = 2;
constexpr qreal kTrackLeft = 118;
constexpr qreal kTrackRight = 382;
constexpr qreal kMiddle = BusyClip::kFrameHeight / 2.0;

const QColor kCloudBlue(47, 128, 237);
const QColor kTrayGreen(33, 160, 110);
const QColor kTrackGrey(231, 236, 243);

QColor Blend(const QColor& from, const QColor& to, qreal share) {
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * share,
                            from.greenF() + (to.greenF() - from.greenF()) * share,
                            from.blueF() + (to.blueF() - from.blueF()) * share);
}

void DrawCloud(QPainter& painter, QPointF centre) {
    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(centre + QPointF(-20, 4), 15, 15);
    cloud.addEllipse(centre + QPointF(2, -6), 20, 20);
    cloud.addEllipse(centre + QPointF(22, 6), 13, 13);
    cloud.addRoundedRect(QRectF(centre.x() - 34, centre.y() + 2, 68, 17), 8.5, 8.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCloudBlue);
    painter.drawPath(cloud.simplified());
}

void DrawTray(QPainter& painter, QPointF centre, qreal arrowDip) {
    QPen pen(kTrayGreen, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const std::array<QPointF, 4> tray = {centre + QPointF(-28, 4), centre + QPointF(-28, 24),
                                         centre + QPointF(28, 24), centre + QPointF(28, 4)};
    painter.drawPolyline(tray.data(), static_cast<int>(tray.size()));

    const QPointF tip = centre + QPointF(0, 10 + arrowDip);
    painter.drawLine(centre + QPointF(0, -26 + arrowDip), tip);
    const std::array<QPointF, 3> head = {tip + QPointF(-11, -11), tip, tip + QPointF(11, -11)};
    painter.drawPolyline(head.data(), static_cast<int>(head.size()));
}

void DrawParcels(QPainter& painter, qreal loopShare) {
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kParcelCount; ++i) {
        const qreal travelled =
            std::fmod((i + kParcelSpacingsPerLoop * loopShare) / kParcelCount, 1.0);
        // Parcels grow out of the cloud and shrink into the tray.
        const qreal presence = std::sin(std::numbers::pi * travelled);
        const qreal side = 6 + 12 * presence;
        const QPointF centre(kTrackLeft + (kTrackRight - kTrackLeft) * travelled, kMiddle);
        QColor colour = Blend(kCloudBlue, kTrayGreen, travelled);
        colour.setAlphaF(0.25 + 0.75 * presence);
        painter.setBrush(colour);
        painter.drawRoundedRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side),
                                side / 4, side / 4);
    }
}

}  // namespace

BusyClip::BusyClip(QWidget* parent) : QWidget(parent) {
    nextFrame_.setSingleShot(true);
    nextFrame_.setTimerType(Qt::PreciseTimer);
    connect(&nextFrame_, &QTimer::timeout, this, &BusyClip::ShowDueFrame);
}

void BusyClip::Play() {
    playing_ = true;
    sincePlay_.start();
    ShowDueFrame();
}

void BusyClip::Stop() {
    playing_ = false;
    nextFrame_.stop();
}

void BusyClip::ShowDueFrame() {
    if (!playing_) {
        return;
    }
    const qint64 elapsed = sincePlay_.nsecsElapsed();
    const qint64 framesShown = elapsed / kNanosecondsPerFrame;
    const int due = static_cast<int>(framesShown % kFrameCount);
    if (due != frame_) {
        frame_ = due;
        update();
    }
    // Waiting for the next frame's moment, not a fixed interval, keeps 15 a second exact.
    const qint64 untilNext = (framesShown + 1) * kNanosecondsPerFrame - elapsed;
    nextFrame_.start(static_cast<int>((untilNext + 999'999) / 1'000'000));
}

void BusyClip::DrawFrame(QPainter& painter, int frame) {
    const qreal loopShare = static_cast<qreal>(frame % kFrameCount) / kFrameCount;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, kFrameWidth, kFrameHeight), Qt::white);

    painter.setPen(QPen(kTrackGrey, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(kTrackLeft, kMiddle), QPointF(kTrackRight, kMiddle));
    DrawParcels(painter, loopShare);
    DrawCloud(painter, QPointF(62, kMiddle));
    DrawTray(painter, QPointF(kFrameWidth - 62, kMiddle - 6),
             3 * std::sin(2 * std::numbers::pi * loopShare));
    painter.restore();
}

void BusyClip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.translate((width() - kFrameWidth) / 2, (height() - kFrameHeight) / 2);
    BusyClip::DrawFrame(painter, frame_);
}

}  // namespace tarnwick
