#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>

#include "OnModal.h"
#include "TypeText.h"
#include "control/SearchEngines.h"
#include "dialogs/CAddSearchDlg.h"
#include "dialogs/ScheduleChoice.h"
#include "support/TempFolder.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;
using tarnwick::testing::TypeText;

namespace {

auto Fields(const SearchProject& p) {
    return std::tie(p.name, p.searchString, p.useAltavista, p.useHotBot, p.useYahoo,
                    p.useNorthernLight, p.useWebCrawler, p.useMsn, p.useGo2Net, p.runWhenRequested,
                    p.stopWhenRequested, p.startMinute, p.startHour, p.stopMinute, p.stopHour,
                    p.reservedText1, p.reservedText2, p.status, p.otherEngines);
}

// A folder's file with engines of old names and new ones, and one bad entry, as the window
// reads it.
SearchEngineChoices Engines() {
    const tarnwick::testing::TempFolder folder;
    tarnwick::testing::WriteFileBytes(folder.Path() / "searchengines.conf",
                                      "[Altavista]\nurl=http://127.0.0.1/a?q={query}\nresults=(a)\n"
                                      "[HotBot]\nurl=http://127.0.0.1/h?q={query}\nresults=(h)\n"
                                      "[Yahoo]\nurl=http://127.0.0.1/y?q={query}\nresults=(y)\n"
                                      "[Mojeek]\nurl=http://127.0.0.1/m?q={query}\nresults=(m)\n"
                                      "[Broken]\nurl=http://127.0.0.1/b\nresults=(b)\n"
                                      "[Q&A]\nurl=http://127.0.0.1/q?q={query}\nresults=(q)\n");
    return SearchEnginesOf(folder.Path());
}

constexpr int kHotBot = 1;
constexpr int kMojeek = 3;
constexpr int kQuestions = 4;

}  // namespace

// The search project dialog: its fields, the checks OK runs and the read-back.
class CAddSearchDlgTest : public QObject {
    Q_OBJECT

private slots:
    void newDialogIsEmptyAndOffersTheEnginesOfTheFile() {
        CAddSearchDlg dialog(Engines());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add a Search Project"));
        QVERIFY(dialog.NameField()->text().isEmpty());
        QVERIFY(dialog.SearchField()->text().isEmpty());
        const QStringList engines = {"Altavista", "HotBot", "Yahoo", "Mojeek", "Q&&A"};
        QCOMPARE(dialog.EngineCount(), engines.size());
        for (int i = 0; i < dialog.EngineCount(); ++i) {
            QCOMPARE(dialog.EngineBox(i)->text(), engines[i]);
            QVERIFY(dialog.EngineBox(i)->isEnabled());
            QVERIFY(!dialog.EngineBox(i)->isChecked());
        }
        QVERIFY(dialog.EngineProblems()->text().contains(
            QStringLiteral("line 13: engine \"Broken\" left out")));
        QVERIFY(!dialog.EngineProblems()->isHidden());
        QVERIFY(CAddSearchDlg(SearchEngineChoices{}).EngineProblems()->isHidden());
        for (const ScheduleChoice* pair : {dialog.StartSchedule(), dialog.StopSchedule()}) {
            QVERIFY(pair->WhenRequestedButton()->isChecked());
            QVERIFY(pair->HourField()->text().isEmpty());
            QVERIFY(pair->MinuteField()->text().isEmpty());
            QVERIFY(!pair->HourField()->isEnabled());
            QVERIFY(!pair->MinuteField()->isEnabled());
        }
        QCOMPARE(dialog.StartSchedule()->AtTimeButton()->text(),
                 QStringLiteral("Start running at (HH:MM)"));
        QCOMPARE(dialog.StopSchedule()->AtTimeButton()->text(),
                 QStringLiteral("Stop running at (HH:MM)"));
    }

    void checksRunInOrderAndOutOfRangeTimesPass() {
        CAddSearchDlg dialog(Engines());
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the project's name!"));
        dialog.NameField()->setText(QStringLiteral(" "));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the search string"));
        dialog.SearchField()->setText(QStringLiteral("tarn lakes"));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Select at least one search engine"));
        dialog.EngineBox(kHotBot)->click();
        QVERIFY(dialog.FirstFailedCheck().isEmpty());

        ScheduleChoice& start = *dialog.StartSchedule();
        ScheduleChoice& stop = *dialog.StopSchedule();
        start.AtTimeButton()->click();
        stop.AtTimeButton()->click();
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the start time"));
        start.HourField()->setText(QStringLiteral("9"));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the start time"));
        start.HourField()->clear();
        start.MinuteField()->setText(QStringLiteral("5"));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the start time"));
        start.HourField()->setText(QStringLiteral("25"));
        start.MinuteField()->setText(QStringLiteral("99"));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the stop time"));
        stop.HourField()->setText(QStringLiteral("18"));
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Enter the stop time"));
        stop.MinuteField()->setText(QStringLiteral("0"));
        QVERIFY(dialog.FirstFailedCheck().isEmpty());

        SearchProject expected;
        expected.name = " ";
        expected.searchString = "tarn lakes";
        expected.useHotBot = 1;
        expected.startHour = 25;
        expected.startMinute = 99;
        expected.stopHour = 18;
        expected.status = "Ready for download";
        QVERIFY(Fields(dialog.ProjectFromDialog()) == Fields(expected));
    }

    void timesTypedThenSwitchedBackToOnRequestAreKept() {
        CAddSearchDlg dialog(Engines());
        dialog.NameField()->setText(QStringLiteral("news"));
        dialog.SearchField()->setText(QStringLiteral("weather"));
        dialog.EngineBox(0)->click();
        ScheduleChoice& start = *dialog.StartSchedule();
        start.AtTimeButton()->click();
        start.HourField()->setText(QStringLiteral("10"));
        start.MinuteField()->setText(QStringLiteral("15"));
        start.WhenRequestedButton()->click();
        QVERIFY(!start.HourField()->isEnabled());
        QVERIFY(dialog.FirstFailedCheck().isEmpty());
        const SearchProject project = dialog.ProjectFromDialog();
        QCOMPARE(project.runWhenRequested, 1);
        QCOMPARE(project.startHour, 10);
        QCOMPARE(project.startMinute, 15);
        QCOMPARE(project.stopWhenRequested, 1);
        QCOMPARE(project.stopHour, 0);
        QCOMPARE(project.stopMinute, 0);
    }

    void propertiesShowTheProjectAndReadItBack() {
        SearchProject project;
        project.name = "Dämmerung";
        project.searchString = "tarn \"mountain lake\"";
        project.useYahoo = 1;
        project.useNorthernLight = 1;  // no longer offered, yet kept
        project.runWhenRequested = 0;
        project.startHour = 8;
        project.startMinute = 5;
        project.stopWhenRequested = 1;
        project.stopHour = 17;
        project.stopMinute = 45;
        project.reservedText1 = "x";
        project.status = "Stopped";
        CAddSearchDlg dialog(Engines());
        dialog.FillFromProject(project);
        const ScheduleChoice& start = *dialog.StartSchedule();
        QVERIFY(start.AtTimeButton()->isChecked());
        QCOMPARE(start.HourField()->text(), QStringLiteral("8"));
        QCOMPARE(start.MinuteField()->text(), QStringLiteral("5"));
        QVERIFY(start.HourField()->isEnabled());
        QVERIFY(start.MinuteField()->isEnabled());
        QVERIFY(dialog.StopSchedule()->WhenRequestedButton()->isChecked());
        QVERIFY(!dialog.StopSchedule()->HourField()->isEnabled());
        QVERIFY(dialog.EngineBox(2)->isChecked());
        QVERIFY(!dialog.EngineBox(kMojeek)->isChecked());

        SearchProject expected = project;
        expected.reservedText1.clear();
        expected.status = "Ready for download";
        QVERIFY(Fields(dialog.ProjectFromDialog()) == Fields(expected));
    }

    void engineChoicesKeepWhatTheFileLacks() {
        SearchProject project;
        project.name = "news";
        project.searchString = "tarn";
        project.useNorthernLight = 1;
        project.otherEngines = {"mojeek", "Gone"};
        CAddSearchDlg dialog(Engines());
        dialog.FillFromProject(project);
        QVERIFY(dialog.EngineBox(kMojeek)->isChecked());
        dialog.EngineBox(kMojeek)->click();
        // Only engines the user can see count for the check.
        QCOMPARE(dialog.FirstFailedCheck(), QStringLiteral("Select at least one search engine"));
        dialog.EngineBox(kQuestions)->click();
        dialog.EngineBox(2)->click();
        QVERIFY(dialog.FirstFailedCheck().isEmpty());

        const SearchProject read = dialog.ProjectFromDialog();
        QCOMPARE(read.useYahoo, 1);
        QCOMPARE(read.useNorthernLight, 1);
        QVERIFY((read.otherEngines == std::vector<std::string>{"Gone", "Q&A"}));
    }

    void okShowsTheFailedCheckAndStaysOpen() {
        CAddSearchDlg dialog(Engines());
        dialog.show();
        QString shown;
        OnModal<QMessageBox> answer([&shown, &dialog](QMessageBox* box) {
            shown = box->text();
            QVERIFY(box->parent() == &dialog);
            box->button(QMessageBox::Ok)->click();
        });
        dialog.Buttons()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(answer.Fired());
        QCOMPARE(shown, QStringLiteral("Enter the project's name!"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        dialog.NameField()->setText(QStringLiteral("n"));
        dialog.SearchField()->setText(QStringLiteral("s"));
        dialog.EngineBox(2)->click();
        OnModal<QMessageBox> unexpected([](QMessageBox* box) { box->close(); });
        dialog.Buttons()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!unexpected.Fired());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void cancelClosesWithoutValues() {
        CAddSearchDlg dialog(Engines());
        OnModal<CAddSearchDlg> cancel([](CAddSearchDlg* shown) {
            shown->NameField()->setText(QStringLiteral("n"));
            shown->Buttons()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(cancel.Fired());
    }

    void choosingAtTimeMovesTheFocusToItsHour() {
        CAddSearchDlg dialog(Engines());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (ScheduleChoice* pair : {dialog.StartSchedule(), dialog.StopSchedule()}) {
            QTest::mouseClick(pair->AtTimeButton(), Qt::LeftButton);
            QTRY_COMPARE(QApplication::focusWidget(), pair->HourField());
            TypeText(pair->HourField(), QStringLiteral("1a2"));
            QCOMPARE(pair->HourField()->text(), QStringLiteral("12"));
        }
        QVERIFY(dialog.StartSchedule()->AtTimeButton()->isChecked());
    }

    void textFieldsHoldTheirRecordWidthInBytes() {
        CAddSearchDlg dialog(Engines());
        const std::pair<QLineEdit*, std::size_t> fields[] = {
            {dialog.NameField(), kNameWidth},
            {dialog.SearchField(), kSearchStringWidth},
        };
        for (const auto& [field, width] : fields) {
            TypeText(field, QString(static_cast<int>(width), QChar(0x00E9)));
            QCOMPARE(static_cast<std::size_t>(field->text().toUtf8().size()), (width - 1) / 2 * 2);
        }
    }
};

QTEST_MAIN(CAddSearchDlgTest)
#include "CAddSearchDlgTest.moc"
