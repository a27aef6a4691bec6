#include "dialogs/HelpPages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace tarnwick {

PageOpener DesktopPageOpener() {
    return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

QUrl GuidePage(const QString& page) {
    // An installed copy beside the program comes first, then the source tree's.
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath("../share/tarnwick/docs/" + page);
    if (QFileInfo::exists(installed)) {
        return QUrl::fromLocalFile(QFileInfo(installed).canonicalFilePath());
    }
    return QUrl::fromLocalFile(QStringLiteral(TARNWICK_DOCS_DIR "/") + page);
}

}  // namespace tarnwick
