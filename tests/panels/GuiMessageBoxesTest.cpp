#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "WorkerThread.h"
#include "panels/GuiMessageBoxes.h"

using namespace tarnwick;
using testing::WorkerThread;

namespace {

// Waits (up to five seconds) for a modal message box, lets `act` answer it and counts
// the answer, so a test can tell that the box really appeared.
void AnswerNextBox(std::function<void(QMessageBox&)> act, int* answered, int triesLeft = 500) {
    QTimer::singleShot(10, [act = std::move(act), answered, triesLeft]() mutable {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            if (triesLeft > 0) {
                AnswerNextBox(std::move(act), answered, triesLeft - 1);
            }
            return;
        }
        act(*box);
        ++*answered;
    });
}

}  // namespace

class GuiMessageBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Tarnwick")); }

    void messageShowsItsTextAsPlainTextWithOk() {
        GuiMessageBoxes boxes;
        int answered = 0;
        AnswerNextBox(
            [](QMessageBox& box) {
                QCOMPARE(box.windowTitle(), QStringLiteral("Tarnwick"));
                QCOMPARE(box.text(), QStringLiteral("Error parsing url <b>x</b>"));
                QCOMPARE(box.textFormat(), Qt::PlainText);
                QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
                box.button(QMessageBox::Ok)->click();
            },
            &answered);
        boxes.ShowMessage("Error parsing url <b>x</b>");
        QCOMPARE(answered, 1);
    }

    void questionAnswersYesOnlyForYes() {
        GuiMessageBoxes boxes;
        int answered = 0;
        AnswerNextBox(
            [](QMessageBox& box) {
                QCOMPARE(box.text(), QStringLiteral("Are you sure you want to delete that entry?"));
                QCOMPARE(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
                box.button(QMessageBox::Yes)->click();
            },
            &answered);
        QVERIFY(boxes.AskYesNo("Are you sure you want to delete that entry?"));

        AnswerNextBox([](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, &answered);
        QVERIFY(!boxes.AskYesNo("Are you sure you want to delete those entries?"));

        // Enter takes the default and Esc cancels: neither may delete.
        AnswerNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, &answered);
        QVERIFY(!boxes.AskYesNo("Are you sure you want to delete that entry?"));
        AnswerNextBox([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, &answered);
        QVERIFY(!boxes.AskYesNo("Are you sure you want to delete that entry?"));
        QCOMPARE(answered, 4);
    }

    void workerWaitsForTheAnswerGivenOnTheGuiThread() {
        GuiMessageBoxes boxes;
        int answered = 0;
        bool answer = false;
        bool boxWasOnGuiThread = false;
        AnswerNextBox(
            [&](QMessageBox& box) {
                QCOMPARE(box.text(), QStringLiteral("Error finding file"));
                boxWasOnGuiThread = box.thread() == QApplication::instance()->thread();
                box.button(QMessageBox::Ok)->click();
                AnswerNextBox([](QMessageBox& next) { next.button(QMessageBox::Yes)->click(); },
                              &answered);
            },
            &answered);
        {
            WorkerThread worker([&] {
                boxes.ShowMessage("Error finding file");
                answer = boxes.AskYesNo("Are you sure you want to delete that entry?");
            });
            QTRY_VERIFY_WITH_TIMEOUT(worker.Finished(), 10000);
        }
        QCOMPARE(answered, 2);
        QVERIFY(answer);
        QVERIFY(boxWasOnGuiThread);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GuiMessageBoxesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "GuiMessageBoxesTest.moc"
