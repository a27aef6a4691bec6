#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace tarnwick {

// Opens a page in the user's browser; tests pass a recorder instead.
using PageOpener = std::function<void(const QUrl&)>;

// The desktop's default browser.
PageOpener DesktopPageOpener();

// A page of the user guide shipped with the program ("index.html", "products.html").
QUrl GuidePage(const QString& page);

}  // namespace tarnwick
