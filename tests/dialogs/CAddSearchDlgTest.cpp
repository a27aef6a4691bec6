#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>

#include "OnModal.h"
#include "TypeText.h"
#include "dialogs/CAddSearchDlg.h"
#include "dialogs/ScheduleChoice.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;
using tarnwick::testing::TypeText;

namespace {

auto Fields(const SearchProject& p) {
    return std::tie(p.name, p.searchString, p.useAltavista, p.useHotBot, p.useYahoo,
                    p.useNorthernLight, p.useWebCrawler, p.useMsn, p.useGo2Net, p.runWhenRequested,
                    p.stopWhenRequested, p.startMinute, p.startHour, p.stopMinute, p.stopHour,
                    p.reservedText1, p.reservedText2, p.status);
}

constexpr int kHotBot = 1;

}  // namespace

// The search project dialog: its fields, the checks OK runs and the read-back.
class CAddSearchDlgTest : public QObject {
    Q_OBJECT

private slots:
    void newDialogIsEmptyWithOnlyThreeEnginesOffered() {
        CAddSearchDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add a Search Project"));
        QVERIFY(dialog.NameField()->text().isEmpty());
        QVERIFY(dialog.SearchField()->text().isEmpty());
        const QStringList engines = {"Altavista",  "HotBot", "Yahoo", "Northern Light",
                                     "WebCrawler", "MSN",    "Go2Net"};
        for (int i = 0; i < CAddSearchDlg::kEngineCount; ++i) {
            QCOMPARE(dialog.EngineBox(i)->text(), engines[i]);
            QCOMPARE(dialog.EngineBox(i)->isEnabled(), i < 3);
            QVERIFY(!dialog.EngineBox(i)->isChecked());
        }
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
        CAddSearchDlg dialog;
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
        CAddSearchDlg dialog;
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
        CAddSearchDlg dialog;
        dialog.FillFromProject(project);
        const ScheduleChoice& start = *dialog.StartSchedule();
        QVERIFY(start.AtTimeButton()->isChecked());
        QCOMPARE(start.HourField()->text(), QStringLiteral("8"));
        QCOMPARE(start.MinuteField()->text(), QStringLiteral("5"));
        QVERIFY(start.HourField()->isEnabled());
        QVERIFY(start.MinuteField()->isEnabled());
        QVERIFY(dialog.StopSchedule()->WhenRequestedButton()->isChecked());
        QVERIFY(!dialog.StopSchedule()->HourField()->isEnabled());
        QVERIFY(dialog.EngineBox(3)->isChecked());

        SearchProject expected = project;
        expected.reservedText1.clear();
        expected.status = "Ready for download";
        QVERIFY(Fields(dialog.ProjectFromDialog()) == Fields(expected));
    }

    void okShowsTheFailedCheckAndStaysOpen() {
        CAddSearchDlg dialog;
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
        CAddSearchDlg dialog;
        OnModal<CAddSearchDlg> cancel([](CAddSearchDlg* shown) {
            shown->NameField()->setText(QStringLiteral("n"));
            shown->Buttons()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(cancel.Fired());
    }

    void choosingAtTimeMovesTheFocusToItsHour() {
        CAddSearchDlg dialog;
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
        CAddSearchDlg dialog;
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
