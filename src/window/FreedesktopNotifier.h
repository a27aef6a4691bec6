#pragma once

#include "window/DesktopNotifier.h"

class QSystemTrayIcon;

namespace tarnwick {

// Notices through the desktop's notification service (org.freedesktop.Notifications on the
// session bus); where none runs, as a message of the tray icon.
class FreedesktopNotifier : public DesktopNotifier {
public:
    explicit FreedesktopNotifier(QSystemTrayIcon* tray) : tray_(tray) {}
    void Notify(const QString& title, const QString& text, bool failed) override;

private:
    QSystemTrayIcon* tray_;
};

}  // namespace tarnwick
