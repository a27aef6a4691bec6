#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>

#include "OnModal.h"
#include "dialogs/CStartProjectDlg.h"
#include "dialogs/ScaledPicture.h"

using namespace tarnwick;
using tarnwick::testing::OnModal;

namespace {

int DistinctColours(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

}  // namespace

// The greeting at start-up: its choices, Enter and Esc, and its pictures.
class CStartProjectDlgTest : public QObject {
    Q_OBJECT

private slots:
    void openingChoosesToStartTheProgramWithProceedFocused() {
        CStartProjectDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Start a New Project"));
        QCOMPARE(dialog.StartChoice(), 0);
        QCOMPARE(dialog.ChoiceButton(CStartProjectDlg::kWebSiteProject)->text(),
                 QStringLiteral("Start a Web Site Project"));
        QCOMPARE(dialog.ChoiceButton(CStartProjectDlg::kSearchProject)->text(),
                 QStringLiteral("Start a New Search Project"));
        QCOMPARE(dialog.ChoiceButton(CStartProjectDlg::kStartProgram)->text(),
                 QStringLiteral("Start Tarnwick"));
        QCOMPARE(dialog.ProceedButton()->text(), QStringLiteral("Proceed"));
        QVERIFY(dialog.ProceedButton()->isDefault());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.StartChoice(), int(CStartProjectDlg::kStartProgram));
        QVERIFY(dialog.ChoiceButton(CStartProjectDlg::kStartProgram)->isChecked());
        QTRY_COMPARE(QApplication::focusWidget(), dialog.ProceedButton());
    }

    void enterProceedsWithChoiceFour() {
        CStartProjectDlg dialog;
        OnModal<CStartProjectDlg> enter(
            [](CStartProjectDlg* shown) { QTest::keyClick(shown, Qt::Key_Return); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(enter.Fired());
        QCOMPARE(dialog.StartChoice(), int(CStartProjectDlg::kStartProgram));
    }

    void escCancelsAfterAChoice() {
        CStartProjectDlg dialog;
        OnModal<CStartProjectDlg> escape([](CStartProjectDlg* shown) {
            QTest::mouseClick(shown->ChoiceButton(CStartProjectDlg::kWebSiteProject),
                              Qt::LeftButton);
            QTest::keyClick(shown, Qt::Key_Escape);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(escape.Fired());
    }

    void eachChoiceSetsItsValueAndProceedKeepsIt() {
        for (auto choice : {CStartProjectDlg::kSearchProject, CStartProjectDlg::kWebSiteProject,
                            CStartProjectDlg::kStartProgram}) {
            CStartProjectDlg dialog;
            OnModal<CStartProjectDlg> choose([choice](CStartProjectDlg* shown) {
                QTest::mouseClick(shown->ChoiceButton(choice), Qt::LeftButton);
                QTest::mouseClick(shown->ProceedButton(), Qt::LeftButton);
            });
            QCOMPARE(dialog.exec(), int(QDialog::Accepted));
            QVERIFY(choose.Fired());
            QCOMPARE(dialog.StartChoice(), int(choice));
        }
    }

    void picturesHaveTheirSizesAndAreDrawn() {
        CStartProjectDlg dialog;
        QVERIFY(dialog.Picture()->IsLoaded());
        QVERIFY(dialog.Banner()->IsLoaded());
        QCOMPARE(QSvgRenderer(QStringLiteral(":/pictures/start-picture.svg")).defaultSize(),
                 QSize(120, 180));
        QCOMPARE(QSvgRenderer(QStringLiteral(":/pictures/start-banner.svg")).defaultSize(),
                 QSize(200, 60));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(DistinctColours(dialog.Picture()) > 20);
        QVERIFY(DistinctColours(dialog.Banner()) > 20);
        // Drawn at the proportions of the pictures whatever the font.
        const QSize picture = dialog.Picture()->contentsRect().size();
        QVERIFY(qAbs(picture.width() * 180 - picture.height() * 120) < 180 * 8);
    }
};

QTEST_MAIN(CStartProjectDlgTest)
#include "CStartProjectDlgTest.moc"
