#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "dialogs/CPreferencesDlg.h"

using namespace tarnwick;

// The Preferences dialog: filled from the settings, read back on OK, and unusable values
// refused with a reason while the dialog stays open.
class CPreferencesDlgTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheSettingsAndReadsBackWhatWasChanged() {
        Settings settings;
        settings.maxConcurrent = 3;
        settings.limitBytesPerSecond = 2 * 1024 * 1024;
        settings.columnLayout = "AAAA";
        CPreferencesDlg dialog(settings, QStringLiteral("/data/Files"));
        QCOMPARE(dialog.MaxConcurrentField()->value(), 3);
        QCOMPARE(dialog.LimitField()->text(), QStringLiteral("2M"));
        QCOMPARE(dialog.UserAgentField()->text(), QString::fromStdString(DefaultUserAgent()));
        QVERIFY(dialog.NotifyBox()->isChecked());
        QVERIFY(!dialog.CloseToTrayBox()->isChecked());

        dialog.MaxConcurrentField()->setValue(8);
        dialog.LimitField()->setText(QStringLiteral(" 500k "));
        dialog.RetriesField()->setValue(0);
        dialog.StallField()->setValue(90);
        dialog.UserAgentField()->clear();  // back to the default
        dialog.NotifyBox()->setChecked(false);
        dialog.CloseToTrayBox()->setChecked(true);
        dialog.DownloadFolderField()->setText(QStringLiteral(" /srv/dl "));
        dialog.WebDelayField()->setValue(1000);
        dialog.IgnoreRobotsBox()->setChecked(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        Settings expected = settings;
        expected.maxConcurrent = 8;
        expected.limitBytesPerSecond = 500 * 1024;
        expected.retries = 0;
        expected.stallSeconds = 90;
        expected.notify = false;
        expected.closeToTray = true;
        expected.downloadFolder = "/srv/dl";
        expected.webDelayMs = 1000;
        expected.webIgnoreRobots = true;
        QCOMPARE(dialog.SettingsFromDialog(), expected);
    }

    void refusesALimitOrUserAgentItCannotUse() {
        const Settings settings;
        for (const auto& [limit, agent] :
             {std::pair{"fast", "Tarnwick/1"}, std::pair{"1M", "Caf\u00e9/1"},
              std::pair{"0", "Evil\r\nX: 1"}}) {
            CPreferencesDlg dialog(settings, QStringLiteral("/data/Files"));
            dialog.show();
            dialog.LimitField()->setText(QString::fromUtf8(limit));
            dialog.UserAgentField()->setText(QString::fromUtf8(agent));
            dialog.accept();
            QVERIFY2(dialog.isVisible(), agent);
            QCOMPARE(dialog.SettingsFromDialog(), settings);
        }
        CPreferencesDlg relative(settings, QStringLiteral("/data/Files"));
        relative.show();
        relative.DownloadFolderField()->setText(QStringLiteral("Downloads"));
        relative.accept();
        QVERIFY(relative.isVisible());
        CPreferencesDlg fine(settings, QStringLiteral("/data/Files"));
        fine.show();
        fine.LimitField()->setText(QStringLiteral("0"));
        fine.UserAgentField()->setText(QStringLiteral("Probe/2 (+http://127.0.0.1/)"));
        fine.accept();
        QVERIFY(!fine.isVisible());
        QCOMPARE(fine.SettingsFromDialog().userAgent, std::string("Probe/2 (+http://127.0.0.1/)"));
    }
};

QTEST_MAIN(CPreferencesDlgTest)
#include "CPreferencesDlgTest.moc"
