#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace tarnwick::testing {

// Acts on the first modal widget of type Widget that becomes active, and records that it did.
// If none appears before the deadline it closes whatever modal is up, so that a missing
// dialog fails the test instead of hanging it.
template <typename Widget>
class OnModal {
public:
    explicit OnModal(std::function<void(Widget*)> action, int deadlineMs = 5000)
        : action_(std::move(action)), deadline_(deadlineMs) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start();
    }

    bool Fired() const { return fired_; }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* widget = qobject_cast<Widget*>(modal)) {
            timer_.stop();
            fired_ = true;
            action_(widget);
        } else if (deadline_.hasExpired()) {
            timer_.stop();
            if (modal != nullptr) {
                modal->close();
            }
        }
    }

    std::function<void(Widget*)> action_;
    QDeadlineTimer deadline_;
    QTimer timer_;
    bool fired_ = false;
};

}  // namespace tarnwick::testing
