#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <string>
#include <vector>

#include "WorkerThread.h"
#include "panels/BusyClip.h"
#include "panels/CStatusView.h"
#include "panels/StatusTextField.h"

using namespace tarnwick;
using testing::WorkerThread;

namespace {

QImage PictureOfFrame(int frame) {
    QImage image(BusyClip::kFrameWidth, BusyClip::kFrameHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    BusyClip::DrawFrame(painter, frame);
    return image;
}

QImage Shown(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool RowsAreBlank(const QImage& image, int fromRow, int toRow) {
    for (int y = fromRow; y < toRow; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

bool ColumnsHaveInk(const QImage& image, int fromColumn, int toColumn) {
    for (int x = fromColumn; x < toColumn; ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class CStatusViewTest : public QObject {
    Q_OBJECT

private:
    template <typename Child>
    Child* Find(CStatusView& view, const char* name) {
        auto* child = view.findChild<Child*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no child %s", name);
        }
        return child;
    }

private slots:
    void init() {
        // A call applied on the wrong thread makes Qt warn (timers, painting); fail on it.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }

    void startsWithItsTextsInPlaceAndTheClipStill() {
        CStatusView view;
        view.resize(700, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        struct Expected {
            const char* name;
            QString text;
            QRect place;
        };
        const std::vector<Expected> children = {
            {"currentProjectLabel", "Current Project : ", QRect(20, 40, 130, 25)},
            {"currentProjectField", "None", QRect(160, 40, 390, 25)},
            {"lastActionLabel", "Last Action : ", QRect(20, 80, 130, 25)},
            {"lastActionField", "Waiting for command", QRect(130, 80, 450, 35)},
            {"statusLabel", "Status : ", QRect(20, 130, 130, 25)},
            {"statusField", "Ready", QRect(130, 130, 420, 35)},
        };
        for (const Expected& child : children) {
            auto* label = Find<QLabel>(view, child.name);
            QCOMPARE(label->text(), child.text);
            QCOMPARE(label->geometry(), child.place);
            QVERIFY(label->isVisible());
        }

        auto* clip = Find<BusyClip>(view, "busyClip");
        QCOMPARE(clip->geometry(), QRect(50, 170, 500, 100));
        QVERIFY(!clip->IsPlaying());
        QCOMPARE(Shown(clip), PictureOfFrame(0));

        // A smaller pane cuts the children off instead of moving them.
        view.resize(300, 120);
        QCOMPARE(clip->geometry(), QRect(50, 170, 500, 100));
        QCOMPARE(Find<QLabel>(view, "statusField")->geometry(), QRect(130, 130, 420, 35));
    }

    void fieldsShowWholeLinesAndCutLongWordsAtTheRightEdge() {
        CStatusView view;
        view.resize(700, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* field = Find<StatusTextField>(view, "lastActionField");
        const QFontMetricsF metrics(field->font());
        const int wholeLines =
            1 + static_cast<int>((field->height() - metrics.height()) / metrics.lineSpacing());
        const int lastLineTop = qFloor((wholeLines - 1) * metrics.lineSpacing());
        const int lastLineBottom = qCeil(lastLineTop + metrics.height());

        // One word: its beginning on the first line, cut at the right edge, no second line.
        view.SetLastActionText("http://www.example.org/" + std::string(300, 'x') + "/end.html");
        QImage shown = Shown(field);
        QVERIFY(ColumnsHaveInk(shown, field->width() - 5, field->width()));
        QVERIFY(RowsAreBlank(shown, qCeil(metrics.height()), field->height()));

        std::string manyWords;
        for (int i = 0; i < 60; ++i) {
            manyWords += "word" + std::to_string(i) + ' ';
        }
        view.SetLastActionText(manyWords);
        shown = Shown(field);
        QVERIFY(!RowsAreBlank(shown, lastLineTop, lastLineBottom));
        QVERIFY(RowsAreBlank(shown, lastLineBottom, field->height()));

        // Texts from servers are shown as they are, not as markup.
        view.SetStatusText("<b>404</b>");
        QCOMPARE(Find<StatusTextField>(view, "statusField")->textFormat(), Qt::PlainText);
        QCOMPARE(Find<StatusTextField>(view, "statusField")->text(), QStringLiteral("<b>404</b>"));
    }

    void playingTwiceRestartsAndStopKeepsTheFrame() {
        CStatusView view;
        view.resize(700, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto* clip = Find<BusyClip>(view, "busyClip");

        QElapsedTimer sincePlay;
        sincePlay.start();
        view.PlayBusyAnimation();
        QVERIFY(clip->IsPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(clip->CurrentFrame() >= 4, 10000);
        // Never faster than 15 pictures a second.
        QVERIFY(sincePlay.elapsed() >= 4 * 1000 / BusyClip::kFramesPerSecond);
        QVERIFY(Shown(clip) != PictureOfFrame(0));

        view.PlayBusyAnimation();
        QCOMPARE(clip->CurrentFrame(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(clip->CurrentFrame() >= 2, 10000);

        view.StopBusyAnimation();
        QVERIFY(!clip->IsPlaying());
        const int stoppedAt = clip->CurrentFrame();
        QTest::qWait(300);  // longer than four pictures: a running clip would have moved
        QCOMPARE(clip->CurrentFrame(), stoppedAt);
        QCOMPARE(Shown(clip), PictureOfFrame(stoppedAt));
    }

    void clipRepeatsAfterItsLastFrame() {
        CStatusView view;
        auto* clip = Find<BusyClip>(view, "busyClip");
        view.PlayBusyAnimation();
        int highest = 0;
        bool wrapped = false;
        QElapsedTimer deadline;
        deadline.start();
        while (!wrapped && deadline.elapsed() < 15000) {
            QTest::qWait(10);
            wrapped = clip->CurrentFrame() < highest;
            highest = qMax(highest, clip->CurrentFrame());
        }
        QVERIFY(wrapped);
        // A loaded machine may skip a picture, never run past the last one.
        QVERIFY(highest >= BusyClip::kFrameCount - 3);
        QVERIFY(highest < BusyClip::kFrameCount);
        QVERIFY(clip->IsPlaying());
    }

    void callsFromAnotherThreadAreAppliedInOrderBeforeTheyReturn() {
        CStatusView view;
        auto* status = Find<StatusTextField>(view, "statusField");
        auto* lastAction = Find<StatusTextField>(view, "lastActionField");
        auto* project = Find<StatusTextField>(view, "currentProjectField");
        auto* clip = Find<BusyClip>(view, "busyClip");

        // Each entry is what the worker saw right after its call returned.
        std::vector<QString> seen;
        std::vector<bool> playingSeen;
        {
            WorkerThread worker([&] {
                view.SetCurrentProjectText("Gallery");
                seen.push_back(project->text());
                view.PlayBusyAnimation();
                playingSeen.push_back(clip->IsPlaying());
                for (int i = 1; i <= 25; ++i) {
                    view.SetStatusText("Downloading..." + std::to_string(i) + "k read");
                    seen.push_back(status->text());
                }
                view.SetLastActionText("Finished");
                seen.push_back(lastAction->text());
                view.StopBusyAnimation();
                playingSeen.push_back(clip->IsPlaying());
            });
            QTRY_VERIFY_WITH_TIMEOUT(worker.Finished(), 10000);
        }

        QCOMPARE(seen.size(), size_t{27});
        QCOMPARE(seen.front(), QStringLiteral("Gallery"));
        for (int i = 1; i <= 25; ++i) {
            QCOMPARE(seen[i], QStringLiteral("Downloading...%1k read").arg(i));
        }
        QCOMPARE(seen.back(), QStringLiteral("Finished"));
        QCOMPARE(playingSeen, (std::vector<bool>{true, false}));
        QCOMPARE(status->text(), QStringLiteral("Downloading...25k read"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CStatusViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CStatusViewTest.moc"
