#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <tuple>

#include "OnModal.h"
#include "TypeText.h"
#include "dialogs/CFileSettings.h"
#include "dialogs/CPAdvancedSettings.h"
#include "dialogs/CPRunSettings.h"
#include "dialogs/CPWGenSettings.h"
#include "dialogs/CProjProps.h"
#include "dialogs/ScheduleChoice.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;
using tarnwick::testing::TypeText;

namespace {

auto Fields(const WebProject& p) {
    return std::tie(p.name, p.startUrl, p.downloadAll, p.getZip, p.getGif, p.getJpg, p.getExe,
                    p.getMp3, p.getPdf, p.getHtm, p.otherTypes, p.runWhenRequested,
                    p.stopWhenRequested, p.startMinute, p.startHour, p.stopMinute, p.stopHour,
                    p.maxDomainCount, p.reserved, p.exitDomain, p.userName, p.password, p.status);
}

bool TypeBoxesEnabled(const CFileSettings& page, bool enabled) {
    for (int i = 0; i < CFileSettings::kTypeCount; ++i) {
        if (page.TypeBox(i)->isEnabled() != enabled) {
            return false;
        }
    }
    return page.OtherTypesBox()->isEnabled() == enabled &&
           page.OtherTypesField()->isEnabled() == enabled;
}

bool TimeFieldsEnabled(const ScheduleChoice& pair, bool enabled) {
    return pair.HourField()->isEnabled() == enabled && pair.MinuteField()->isEnabled() == enabled;
}

}  // namespace

// The web project sheet: what each page shows for a project, its handlers and the read-back.
class CProjPropsTest : public QObject {
    Q_OBJECT

private slots:
    void blankProjectOpensOnDownloadAllAndReadsBackBlank() {
        CProjProps sheet(QStringLiteral("Add New Web Project"));
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Add New Web Project"));
        const QStringList tabs = {QStringLiteral("General Settings"),
                                  QStringLiteral("File Settings"), QStringLiteral("Run Settings"),
                                  QStringLiteral("Advanced Settings")};
        QCOMPARE(sheet.Tabs()->count(), tabs.size());
        for (int i = 0; i < tabs.size(); ++i) {
            QCOMPARE(sheet.Tabs()->tabText(i), tabs[i]);
        }
        QCOMPARE(sheet.Tabs()->currentIndex(), 0);

        sheet.FillFromProject(BlankWebProject());
        const CPWGenSettings& general = *sheet.GeneralSettings();
        QVERIFY(general.NameField()->text().isEmpty());
        QVERIFY(general.AddressField()->text().isEmpty());
        QVERIFY(general.AddressHint()->text().startsWith(QStringLiteral("ex : http")));
        QVERIFY(!general.AddressHint()->isEnabled());
        const CFileSettings& files = *sheet.FileSettings();
        QVERIFY(files.DownloadAllButton()->isChecked());
        QVERIFY(TypeBoxesEnabled(files, false));
        for (const ScheduleChoice* pair :
             {sheet.RunSettings()->StartSchedule(), sheet.RunSettings()->StopSchedule()}) {
            QVERIFY(pair->WhenRequestedButton()->isChecked());
            QCOMPARE(pair->HourField()->text(), QStringLiteral("0"));
            QCOMPARE(pair->MinuteField()->text(), QStringLiteral("0"));
            QVERIFY(TimeFieldsEnabled(*pair, false));
        }
        const CPAdvancedSettings& advanced = *sheet.AdvancedSettings();
        QCOMPARE(advanced.CountField()->text(), QStringLiteral("0"));
        QVERIFY(!advanced.ExitDomainBox()->isChecked());
        QVERIFY(advanced.UserNameField()->text().isEmpty());
        QVERIFY(advanced.PasswordField()->text().isEmpty());
        QCOMPARE(advanced.PasswordField()->echoMode(), QLineEdit::Normal);
        advanced.CountField()->clear();
        TypeText(advanced.CountField(), QStringLiteral("1x2 -3"));
        QCOMPARE(advanced.CountField()->text(), QStringLiteral("123"));
        advanced.CountField()->setText(QStringLiteral("0"));

        general.NameField()->setText(QStringLiteral("Mirror"));
        WebProject expected = BlankWebProject();
        expected.name = "Mirror";
        expected.downloadAll = 1;
        expected.status = "Ready for download";
        QVERIFY(Fields(sheet.ProjectFromPages()) == Fields(expected));
    }

    void everyFieldSurvivesFillAndReadBack() {
        WebProject project;
        project.name = "Ünïcode site";
        project.startUrl = "http://127.0.0.1:8080/start/index.html";
        project.getZip = 1;
        project.getMp3 = 1;
        project.getHtm = 1;
        project.otherTypes = "png;tif";
        project.runWhenRequested = 0;
        project.startHour = 6;
        project.startMinute = 45;
        project.stopWhenRequested = 0;
        project.stopHour = 23;
        project.stopMinute = 1;
        project.maxDomainCount = 12;
        project.reserved = 7;
        project.exitDomain = 1;
        project.userName = "anna";
        project.password = "s3cret pass";
        project.status = "Stopped";
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(project);

        WebProject expected = project;
        expected.reserved = 0;
        expected.status = "Ready for download";
        QVERIFY(Fields(sheet.ProjectFromPages()) == Fields(expected));
    }

    void tickedTypesOpenTheTypeSearch() {
        WebProject project = BlankWebProject();
        project.getGif = 1;
        project.getJpg = 1;
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(project);
        const CFileSettings& files = *sheet.FileSettings();
        QVERIFY(files.SearchTypesButton()->isChecked());
        QVERIFY(TypeBoxesEnabled(files, true));
        for (int i = 0; i < CFileSettings::kTypeCount; ++i) {
            QCOMPARE(files.TypeBox(i)->isChecked(), i == 1 || i == 2);
        }
        QCOMPARE(files.TypeBox(1)->text(), QStringLiteral("GIF"));
        QCOMPARE(files.TypeBox(2)->text(), QStringLiteral("JPG"));
        const WebProject read = sheet.ProjectFromPages();
        QCOMPARE(read.downloadAll, 0);
        QCOMPARE(read.getGif, 1);
        QCOMPARE(read.getJpg, 1);
        QCOMPARE(read.getZip + read.getExe + read.getMp3 + read.getPdf + read.getHtm, 0);
    }

    void typeSearchWithNothingTickedFetchesNoType() {
        CProjProps sheet(QStringLiteral("Add New Web Project"));
        sheet.FillFromProject(BlankWebProject());
        CFileSettings& files = *sheet.FileSettings();
        files.SearchTypesButton()->click();
        QVERIFY(TypeBoxesEnabled(files, true));
        WebProject read = sheet.ProjectFromPages();
        QCOMPARE(read.downloadAll, 0);
        QCOMPARE(read.getZip + read.getGif + read.getJpg + read.getExe + read.getMp3 + read.getPdf +
                     read.getHtm,
                 0);

        files.DownloadAllButton()->click();
        QVERIFY(TypeBoxesEnabled(files, false));
        QCOMPARE(sheet.ProjectFromPages().downloadAll, 1);
    }

    void otherTypesBoxIsNotKeptButItsTextIs() {
        WebProject project = BlankWebProject();
        project.getZip = 1;
        project.otherTypes = "png";
        CProjProps first(QStringLiteral("Web Project Properties"));
        first.FillFromProject(project);
        QVERIFY(!first.FileSettings()->OtherTypesBox()->isChecked());
        first.FileSettings()->OtherTypesBox()->click();
        first.FileSettings()->OtherTypesField()->setText(QStringLiteral("png;bmp"));
        project = first.ProjectFromPages();
        QCOMPARE(project.otherTypes, std::string("png;bmp"));

        CProjProps second(QStringLiteral("Web Project Properties"));
        second.FillFromProject(project);
        QVERIFY(!second.FileSettings()->OtherTypesBox()->isChecked());
        QCOMPARE(second.FileSettings()->OtherTypesField()->text(), QStringLiteral("png;bmp"));
        QCOMPARE(second.ProjectFromPages().otherTypes, std::string("png;bmp"));
    }

    void reopeningKeepsTheFileChoice_data() {
        QTest::addColumn<int>("downloadAll");
        QTest::addColumn<int>("getGif");
        QTest::addColumn<QString>("otherTypes");
        QTest::addColumn<bool>("opensOnDownloadAll");
        QTest::newRow("all files, a type left ticked") << 1 << 1 << "" << true;
        QTest::newRow("only other types") << 0 << 0 << "png" << false;
        QTest::newRow("only a ticked type") << 0 << 1 << "" << false;
        QTest::newRow("all files, other types left typed") << 1 << 0 << "png" << true;
    }

    void reopeningKeepsTheFileChoice() {
        QFETCH(int, downloadAll);
        QFETCH(int, getGif);
        QFETCH(QString, otherTypes);
        QFETCH(bool, opensOnDownloadAll);
        WebProject project = BlankWebProject();
        project.downloadAll = downloadAll;
        project.getGif = getGif;
        project.otherTypes = otherTypes.toStdString();
        project.status = "Ready for download";
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(project);
        QCOMPARE(sheet.FileSettings()->DownloadAllButton()->isChecked(), opensOnDownloadAll);
        QVERIFY(TypeBoxesEnabled(*sheet.FileSettings(), !opensOnDownloadAll));
        QVERIFY(Fields(sheet.ProjectFromPages()) == Fields(project));
    }

    void stopPairAtTimeOpensEnabledWhileStartStaysOnRequest() {
        WebProject project = BlankWebProject();
        project.stopWhenRequested = 0;
        project.stopHour = 18;
        project.stopMinute = 30;
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(project);
        ScheduleChoice& start = *sheet.RunSettings()->StartSchedule();
        ScheduleChoice& stop = *sheet.RunSettings()->StopSchedule();
        QVERIFY(stop.AtTimeButton()->isChecked());
        QCOMPARE(stop.HourField()->text(), QStringLiteral("18"));
        QCOMPARE(stop.MinuteField()->text(), QStringLiteral("30"));
        QVERIFY(TimeFieldsEnabled(stop, true));
        QVERIFY(start.WhenRequestedButton()->isChecked());
        QVERIFY(TimeFieldsEnabled(start, false));

        // The pairs are separate groups: a choice in one leaves the other alone.
        start.AtTimeButton()->click();
        QVERIFY(stop.AtTimeButton()->isChecked());
        stop.WhenRequestedButton()->click();
        QVERIFY(start.AtTimeButton()->isChecked());
        QVERIFY(TimeFieldsEnabled(stop, false));
        QVERIFY(TimeFieldsEnabled(start, true));
    }

    void typedTimesAreConvertedAsTyped() {
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(BlankWebProject());
        ScheduleChoice& start = *sheet.RunSettings()->StartSchedule();
        ScheduleChoice& stop = *sheet.RunSettings()->StopSchedule();
        start.AtTimeButton()->click();
        start.HourField()->setText(QStringLiteral("7"));
        start.MinuteField()->clear();
        stop.AtTimeButton()->click();
        stop.HourField()->setText(QStringLiteral("25"));
        stop.MinuteField()->setText(QStringLiteral("99"));
        stop.WhenRequestedButton()->click();

        const WebProject properties = sheet.ProjectFromPages();
        QCOMPARE(properties.runWhenRequested, 0);
        QCOMPARE(properties.startHour, 7);
        QCOMPARE(properties.startMinute, 0);
        QCOMPARE(properties.stopWhenRequested, 1);
        QCOMPARE(properties.stopHour, 25);
        QCOMPARE(properties.stopMinute, 99);
    }

    void choosingAtTimeMovesTheFocusToItsHour() {
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(BlankWebProject());
        sheet.Tabs()->setCurrentWidget(sheet.RunSettings());
        sheet.show();
        QVERIFY(QTest::qWaitForWindowActive(&sheet));
        for (ScheduleChoice* pair :
             {sheet.RunSettings()->StartSchedule(), sheet.RunSettings()->StopSchedule()}) {
            QTest::mouseClick(pair->AtTimeButton(), Qt::LeftButton);
            QVERIFY(TimeFieldsEnabled(*pair, true));
            QTRY_COMPARE(QApplication::focusWidget(), pair->HourField());
            QTest::mouseClick(pair->WhenRequestedButton(), Qt::LeftButton);
            QVERIFY(TimeFieldsEnabled(*pair, false));
        }
    }

    void textFieldsHoldTheirRecordWidthInBytes() {
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromProject(BlankWebProject());
        sheet.FileSettings()->SearchTypesButton()->click();
        const std::pair<QLineEdit*, std::size_t> fields[] = {
            {sheet.GeneralSettings()->NameField(), kNameWidth},
            {sheet.GeneralSettings()->AddressField(), kStartUrlWidth},
            {sheet.FileSettings()->OtherTypesField(), kOtherTypesWidth},
            {sheet.AdvancedSettings()->UserNameField(), kCredentialWidth},
            {sheet.AdvancedSettings()->PasswordField(), kCredentialWidth},
        };
        for (const auto& [field, width] : fields) {
            field->setText(QString(static_cast<int>(width) + 10, QLatin1Char('a')));
            QCOMPARE(static_cast<std::size_t>(field->text().size()), width - 1);
            field->clear();
            TypeText(field, QString(static_cast<int>(width), QChar(0x20AC)));  // euro sign
            QCOMPARE(static_cast<std::size_t>(field->text().toUtf8().size()), (width - 1) / 3 * 3);
        }
        const WebProject read = sheet.ProjectFromPages();
        QCOMPARE(read.name.size(), (kNameWidth - 1) / 3 * 3);
        QCOMPARE(read.password.size(), (kCredentialWidth - 1) / 3 * 3);
    }

    void offlineCopyOptionsSurviveFillAndReadBackAndKeepTheRest() {
        CProjProps fresh(QStringLiteral("Add New Web Project"));
        const CPAdvancedSettings& shown = *fresh.AdvancedSettings();
        QVERIFY(shown.CopyGroup()->isEnabled());
        QVERIFY(shown.RequisitesBox()->isChecked());
        QVERIFY(!shown.IgnoreRobotsBox()->isChecked());
        QVERIFY(!shown.NoAscendBox()->isChecked());
        QCOMPARE(shown.DelayField()->text(), QStringLiteral("0"));
        QVERIFY(fresh.OptionsFromPages() == NewWebProjectOptions());

        WebProjectOptions options = NewWebProjectOptions();
        options.maxDepth = 3;
        options.ignoreRobots = true;
        options.delayMs = 250;
        CProjProps sheet(QStringLiteral("Web Project Properties"));
        sheet.FillFromOptions(options);
        QVERIFY(sheet.OptionsFromPages() == options);
        CPAdvancedSettings& advanced = *sheet.AdvancedSettings();
        QTest::mouseClick(advanced.RequisitesBox(), Qt::LeftButton);
        QTest::mouseClick(advanced.IgnoreRobotsBox(), Qt::LeftButton);
        QTest::mouseClick(advanced.NoAscendBox(), Qt::LeftButton);
        advanced.DelayField()->clear();
        TypeText(advanced.DelayField(), QStringLiteral("1-5x00"));
        advanced.ConnectionsField()->clear();
        TypeText(advanced.ConnectionsField(), QStringLiteral("99"));
        WebProjectOptions expected = options;
        expected.requisites = false;
        expected.ignoreRobots = false;
        expected.noAscend = true;
        expected.delayMs = 1500;
        expected.connections = WebProjectOptions::kMaxConnections;  // no more than a site bears
        QVERIFY(sheet.OptionsFromPages() == expected);
        advanced.ConnectionsField()->clear();
        expected.connections = 1;
        QVERIFY(sheet.OptionsFromPages() == expected);

        // A copy of the line scanner offers none of them, and keeps what it has.
        CProjProps old(QStringLiteral("Web Project Properties"));
        old.FillFromOptions(WebProjectOptions{});
        QVERIFY(!old.AdvancedSettings()->CopyGroup()->isEnabled());
        QVERIFY(old.OptionsFromPages() == WebProjectOptions{});
    }

    void okAcceptsAndCancelLeavesTheProjectUnchanged() {
        WebProject project = BlankWebProject();
        project.name = "Kept";
        project.status = "Success";
        for (bool pressOk : {false, true}) {
            CProjProps sheet(QStringLiteral("Web Project Properties"));
            sheet.FillFromProject(project);
            OnModal<CProjProps> edit([pressOk](CProjProps* shown) {
                shown->GeneralSettings()->NameField()->setText(QStringLiteral("Changed"));
                shown->Buttons()
                    ->button(pressOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                    ->click();
            });
            WebProject result = project;
            if (sheet.exec() == QDialog::Accepted) {
                result = sheet.ProjectFromPages();
            }
            QVERIFY(edit.Fired());
            QCOMPARE(result.name, std::string(pressOk ? "Changed" : "Kept"));
            QCOMPARE(result.status, std::string(pressOk ? "Ready for download" : "Success"));
        }
    }
};

QTEST_MAIN(CProjPropsTest)
#include "CProjPropsTest.moc"
