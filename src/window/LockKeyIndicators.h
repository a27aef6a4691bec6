#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace tarnwick {

// The status bar's CAP, NUM and SCRL panes: each is drawn dark while its lock key is on.
// The keyboard is polled, since no key event reaches a window that has no focus.
class LockKeyIndicators : public QWidget {
    Q_OBJECT

public:
    explicit LockKeyIndicators(QWidget* parent = nullptr);

    // Bit 0 Caps Lock, bit 1 Num Lock, bit 2 Scroll Lock; 0 where the display cannot tell.
    static unsigned ReadLockState();
    void ShowLockState(unsigned state);

private:
    QLabel* caps_;
    QLabel* num_;
    QLabel* scroll_;
    QTimer* poll_;
};

}  // namespace tarnwick
