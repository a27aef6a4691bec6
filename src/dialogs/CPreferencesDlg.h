#pragma once

#include <QDialog>

#include "model/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tarnwick {

// "Preferences": the download folder, the transfers' concurrency, global speed limit, retries and
// stall time, the User-Agent sent to servers, the politeness new web projects start with, and the
// window's notifications and tray. Filled from the settings and, on OK, read back into them; the
// caller stores and applies them at once.
class CPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    // `defaultFolder` is where files go while no folder is chosen: Files/ of the working folder.
    CPreferencesDlg(const Settings& settings, const QString& defaultFolder,
                    QWidget* parent = nullptr);

    // The settings as the dialog holds them; what it does not show is kept as given.
    Settings SettingsFromDialog() const { return settings_; }
    // Closes with OK only when the speed limit and the User-Agent can be used.
    void accept() override;

    QLineEdit* DownloadFolderField() const { return downloadFolder_; }
    QSpinBox* MaxConcurrentField() const { return maxConcurrent_; }
    QLineEdit* LimitField() const { return limit_; }
    QSpinBox* RetriesField() const { return retries_; }
    QSpinBox* StallField() const { return stall_; }
    QLineEdit* UserAgentField() const { return userAgent_; }
    QSpinBox* WebDelayField() const { return webDelay_; }
    QCheckBox* IgnoreRobotsBox() const { return ignoreRobots_; }
    QCheckBox* NotifyBox() const { return notify_; }
    QCheckBox* CloseToTrayBox() const { return closeToTray_; }

private:
    Settings settings_;
    QLineEdit* downloadFolder_;
    QSpinBox* maxConcurrent_;
    QLineEdit* limit_;
    QSpinBox* retries_;
    QSpinBox* stall_;
    QLineEdit* userAgent_;
    QSpinBox* webDelay_;
    QCheckBox* ignoreRobots_;
    QCheckBox* notify_;
    QCheckBox* closeToTray_;
    QLabel* problem_;
};

}  // namespace tarnwick
