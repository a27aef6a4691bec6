#include "window/FreedesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSystemTrayIcon>
#include <QVariantMap>

namespace tarnwick {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";

}  // namespace

void FreedesktopNotifier::Notify(const QString& title, const QString& text, bool failed) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString service = QString::fromLatin1(kService);
    if (bus.isConnected() && bus.interface() != nullptr &&
        bus.interface()->isServiceRegistered(service)) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/Notifications"), service,
            QStringLiteral("Notify"));
        QVariantMap hints;
        hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tarnwick"));
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(failed ? 2 : 1));
        call << QStringLiteral("Tarnwick") << 0u << QStringLiteral("tarnwick") << title << text
             << QStringList() << hints << -1;
        // No answer is awaited: a notice must never hold up the window.
        bus.call(call, QDBus::NoBlock);
        return;
    }
    if (tray_ != nullptr && QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_->showMessage(title, text,
                           failed ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
    }
}

}  // namespace tarnwick
