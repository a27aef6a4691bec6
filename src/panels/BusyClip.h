#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QPainter;

namespace tarnwick {

// The status panel's busy clip: 32 pictures of 500 by 100 pixels at 15 a second, drawn
// here rather than loaded, centred in the widget on white. It shows its first picture until
// played.
class BusyClip : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFrameCount = 32;
    static constexpr int kFramesPerSecond = 15;
    static constexpr int kFrameWidth = 500;
    static constexpr int kFrameHeight = 100;

    explicit BusyClip(QWidget* parent = nullptr);

    // Plays from the first picture and repeats without end; while playing it starts again.
    void Play();
    // Stops on the picture shown now.
    void Stop();
    bool IsPlaying() const { return playing_; }
    int CurrentFrame() const { return frame_; }

    // Draws picture `frame` into the rectangle (0, 0, kFrameWidth, kFrameHeight).
    static void DrawFrame(QPainter& painter, int frame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows the picture due at this moment of the play and waits for the next one.
    void ShowDueFrame();

    QTimer nextFrame_;
    QElapsedTimer sincePlay_;
    bool playing_ = false;
    int frame_ = 0;
};

}  // namespace tarnwick
