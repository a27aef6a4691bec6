#pragma once

#include <QString>

namespace tarnwick {

// A notice on the desktop, outside the window: the end of a download, or its failure.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void Notify(const QString& title, const QString& text, bool failed) = 0;
};

}  // namespace tarnwick
