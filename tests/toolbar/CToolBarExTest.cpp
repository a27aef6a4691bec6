#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStyleOptionToolButton>
#include <QTest>
#include <QToolButton>

#include <map>
#include <memory>

#include "toolbar/CToolBarEx.h"
#include "toolbar/DropMarker.h"

using namespace tarnwick;

namespace {

// A main window with the eight commands on a flat bar and an empty central area to drop on.
class Window {
public:
    Window() {
        window.setCentralWidget(new QWidget);
        window.resize(900, 300);
        bar = new CToolBarEx(QStringLiteral("Toolbar"));
        window.addToolBar(bar);
        for (const ToolBarButton& place : kMainToolBarButtons) {
            if (place.commandId != 0) {
                auto* action =
                    new QAction(QStringLiteral("Command %1").arg(place.commandId), &window);
                action->setData(place.commandId);
                actions[place.commandId] = action;
            }
        }
        bar->AddButtons(kMainToolBarButtons, [this](int id) { return actions.at(id); });
        window.show();
        window.activateWindow();
    }

    QWidget* Button(int id) const { return bar->widgetForAction(actions.at(id)); }
    // A point inside a button, near its left or right edge, on the screen.
    QPoint LeftHalfOf(int id) const { return Button(id)->mapToGlobal(QPoint(3, 20)); }
    QPoint RightHalfOf(int id) const {
        return Button(id)->mapToGlobal(QPoint(Button(id)->width() - 3, 20));
    }
    QPoint OffTheBar() const {
        return window.centralWidget()->mapToGlobal(window.centralWidget()->rect().center());
    }

    // The command ids along the bar, 0 for a separator.
    QList<int> Layout() const {
        QList<int> ids;
        for (const QAction* action : bar->actions()) {
            ids.append(action->isSeparator() ? 0 : action->data().toInt());
        }
        return ids;
    }

    // Presses a button with Alt held and lets go at a point on the screen. The bar holds the
    // pointer while dragging, so the moves and the release go to it.
    void AltPress(int id) const {
        QTest::mousePress(Button(id), Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));
    }
    void MoveAndRelease(QPoint global) const {
        QTest::mouseMove(bar, bar->mapFromGlobal(global));
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::AltModifier, bar->mapFromGlobal(global));
    }
    void AltDrag(int id, QPoint global) const {
        AltPress(id);
        MoveAndRelease(global);
    }

    QMainWindow window;
    CToolBarEx* bar = nullptr;
    std::map<int, QAction*> actions;
};

const QList<int> kInitialLayout{32771, 32772, 32790, 0, 32787, 0, 32798, 32792, 32789, 0, 57664};

// Keeps the About button whatever the user drags.
class BarKeepingAbout : public CToolBarEx {
public:
    using CToolBarEx::CToolBarEx;

protected:
    bool QueryDelete(const QAction* action) override { return action->data().toInt() != 57664; }
    bool QueryInsert(const QAction*, int index) override { return index != 0; }
};

QImage Render(QWidget& widget) {
    return widget.grab().toImage();
}

}  // namespace

class CToolBarExTest : public QObject {
    Q_OBJECT

private slots:
    void barHoldsTheEightCommandsInOrderWithTheirPictures() {
        Window w;
        QCOMPARE(w.Layout(), kInitialLayout);
        for (const auto& [id, action] : w.actions) {
            QVERIFY2(!action->icon().pixmap(QSize(32, 32)).isNull(),
                     qPrintable(QString::number(id)));
        }
        QCOMPARE(w.Button(32771)->size(), QSize(40, 40));
    }

    void buttonsRiseUnderThePointerAndLowerWhenItLeaves() {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        const QImage flat = Render(*w.Button(32772));

        QCursor::setPos(w.Button(32772)->mapToGlobal(QPoint(20, 20)));
        QTRY_COMPARE(w.bar->HotAction(), w.actions[32772]);
        QVERIFY(Render(*w.Button(32772)) != flat);

        QCursor::setPos(w.Button(32790)->mapToGlobal(QPoint(20, 20)));
        QTRY_COMPARE(w.bar->HotAction(), w.actions[32790]);
        QCOMPARE(Render(*w.Button(32772)), flat);

        // A separator and a disabled button never rise.
        w.actions[32787]->setEnabled(false);
        const QWidget* separator = w.bar->widgetForAction(w.bar->actions().at(3));
        QCursor::setPos(separator->mapToGlobal(separator->rect().center()));
        QTRY_COMPARE(w.bar->HotAction(), nullptr);
        QCursor::setPos(w.Button(32787)->mapToGlobal(QPoint(20, 20)));
        QTest::qWait(50);
        QCOMPARE(w.bar->HotAction(), nullptr);

        QCursor::setPos(w.Button(32798)->mapToGlobal(QPoint(20, 20)));
        QTRY_COMPARE(w.bar->HotAction(), w.actions[32798]);
        QCursor::setPos(w.OffTheBar());
        QTRY_COMPARE(w.bar->HotAction(), nullptr);
    }

    void hoverCheckLowersTheButtonWhenNoLeaveEventCame() {
        Window w;
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QCursor::setPos(w.Button(32772)->mapToGlobal(QPoint(20, 20)));
        QTRY_COMPARE(w.bar->HotAction(), w.actions[32772]);

        // The pointer goes off the bar, but the leave event is lost on the way.
        struct SwallowLeave : QObject {
            bool eventFilter(QObject*, QEvent* event) override {
                return event->type() == QEvent::Leave;
            }
        } swallowLeave;
        qApp->installEventFilter(&swallowLeave);
        QCursor::setPos(w.OffTheBar());
        QCOMPARE(w.bar->HotAction(), w.actions[32772]);
        QTRY_COMPARE_WITH_TIMEOUT(w.bar->HotAction(), nullptr, 1000);
        qApp->removeEventFilter(&swallowLeave);
    }

    void shiftClickPressesNothing() {
        Window w;
        QSignalSpy triggered(w.actions[32771], &QAction::triggered);
        QTest::mouseClick(w.Button(32771), Qt::LeftButton, Qt::ShiftModifier, QPoint(20, 20));
        QCOMPARE(triggered.count(), 0);
        QTest::mouseClick(w.Button(32771), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(triggered.count(), 1);
    }

    void altDragRightOfItselfInsertsOneSeparator() {
        Window w;
        QSignalSpy triggered(w.actions[32772], &QAction::triggered);
        w.AltDrag(32772, w.RightHalfOf(32772));
        QCOMPARE(w.Layout(),
                 QList<int>({32771, 0, 32772, 32790, 0, 32787, 0, 32798, 32792, 32789, 0, 57664}));
        QCOMPARE(triggered.count(), 0);
        QVERIFY(!w.bar->IsDragging());

        w.AltDrag(32772, w.RightHalfOf(32772));
        QCOMPARE(w.Layout().count(0), 4);

        // The first button has nothing to be set apart from.
        w.AltDrag(32771, w.RightHalfOf(32771));
        QCOMPARE(w.Layout().first(2), QList<int>({32771, 0}));
        QCOMPARE(w.Layout().count(0), 4);

        // Onto its own left half, after a separator: the separator goes.
        w.AltDrag(32772, w.LeftHalfOf(32772));
        QCOMPARE(w.Layout(), kInitialLayout);
    }

    void altDragMovesAButtonAlongTheBar() {
        Window w;
        w.AltDrag(32771, w.RightHalfOf(32790));
        QCOMPARE(w.Layout(),
                 QList<int>({32772, 32790, 32771, 0, 32787, 0, 32798, 32792, 32789, 0, 57664}));
        w.AltDrag(32789, w.LeftHalfOf(32772));
        QCOMPARE(w.Layout(),
                 QList<int>({32789, 32772, 32790, 32771, 0, 32787, 0, 32798, 32792, 0, 57664}));
        QVERIFY(w.Button(32789)->isVisible());
    }

    void altDragOffEveryBarRemovesTheButton() {
        Window w;
        QPointer<QAction> removed = w.actions[32787];
        w.AltDrag(32787, w.OffTheBar());
        QCOMPARE(w.Layout(),
                 QList<int>({32771, 32772, 32790, 0, 0, 32798, 32792, 32789, 0, 57664}));
        QVERIFY(removed != nullptr);  // the command stays, only its button goes

        // The last button takes the separators that would end the bar with it.
        w.AltDrag(57664, w.OffTheBar());
        QCOMPARE(w.Layout(), QList<int>({32771, 32772, 32790, 0, 0, 32798, 32792, 32789}));
    }

    void escapeCancelsTheDrag() {
        Window w;
        w.AltPress(32790);
        QVERIFY(w.bar->IsDragging());
        QVERIFY(QGuiApplication::overrideCursor() != nullptr);
        // Over the bar a marker shows where the button would land; off it, none.
        QTest::mouseMove(w.bar, w.bar->mapFromGlobal(w.LeftHalfOf(32798)));
        const DropMarker* marker = w.bar->findChild<DropMarker*>();
        QVERIFY(marker != nullptr && marker->isVisible());
        QVERIFY(qAbs(marker->geometry().center().x() - w.Button(32798)->x()) <= 2);
        QTest::mouseMove(w.bar, w.bar->mapFromGlobal(w.OffTheBar()));
        QVERIFY(!marker->isVisible());
        QTest::keyClick(w.bar, Qt::Key_Escape);
        QCOMPARE(w.bar->findChild<DropMarker*>(), nullptr);
        QVERIFY(!w.bar->IsDragging());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QTest::mouseRelease(w.bar, Qt::LeftButton, Qt::AltModifier,
                            w.bar->mapFromGlobal(w.OffTheBar()));
        QCOMPARE(w.Layout(), kInitialLayout);
    }

    void barThatIsNotAdjustableOrRefusesKeepsItsButtons() {
        Window w;
        w.bar->SetAdjustable(false);
        w.AltDrag(32787, w.OffTheBar());
        QCOMPARE(w.Layout(), kInitialLayout);

        auto* keeping = new BarKeepingAbout(QStringLiteral("Keeping"));
        w.window.addToolBar(Qt::BottomToolBarArea, keeping);
        keeping->addAction(w.actions[57664]);
        keeping->addAction(w.actions[32792]);
        keeping->addAction(w.actions[32798]);
        QApplication::processEvents();
        const auto button = [&](int id) { return keeping->widgetForAction(w.actions[id]); };
        QTest::mousePress(button(57664), Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));
        QVERIFY(!keeping->IsDragging());
        QTest::mouseRelease(button(57664), Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));

        // Not to the front, but anywhere else.
        QTest::mousePress(button(32798), Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));
        QVERIFY(keeping->IsDragging());
        const QPoint front = button(57664)->mapToGlobal(QPoint(3, 20));
        QTest::mouseMove(keeping, keeping->mapFromGlobal(front));
        QTest::mouseRelease(keeping, Qt::LeftButton, Qt::AltModifier,
                            keeping->mapFromGlobal(front));
        QCOMPARE(keeping->actions(),
                 QList<QAction*>({w.actions[57664], w.actions[32792], w.actions[32798]}));
        QTest::mousePress(button(32798), Qt::LeftButton, Qt::AltModifier, QPoint(20, 20));
        const QPoint middle = button(32792)->mapToGlobal(QPoint(3, 20));
        QTest::mouseMove(keeping, keeping->mapFromGlobal(middle));
        QTest::mouseRelease(keeping, Qt::LeftButton, Qt::AltModifier,
                            keeping->mapFromGlobal(middle));
        QCOMPARE(keeping->actions(),
                 QList<QAction*>({w.actions[57664], w.actions[32798], w.actions[32792]}));
    }

    void altDragCarriesAButtonToAnotherBarOfTheWindow() {
        Window w;
        auto* other = new CToolBarEx(QStringLiteral("Other"));
        w.window.addToolBar(Qt::BottomToolBarArea, other);
        auto* extra = new QAction(QStringLiteral("Extra"), &w.window);
        other->addAction(extra);
        QApplication::processEvents();
        const QWidget* extraButton = other->widgetForAction(extra);

        w.AltDrag(32798, extraButton->mapToGlobal(QPoint(3, 20)));
        QCOMPARE(other->actions(), QList<QAction*>({w.actions[32798], extra}));
        QVERIFY(!w.Layout().contains(32798));
        QSignalSpy triggered(w.actions[32798], &QAction::triggered);
        QTest::mouseClick(other->widgetForAction(w.actions[32798]), Qt::LeftButton);
        QCOMPARE(triggered.count(), 1);
    }

    void disabledPictureIsEngraved() {
        Window w;
        QToolButton* button = qobject_cast<QToolButton*>(w.Button(32771));
        QVERIFY(button != nullptr);
        const QImage enabled = Render(*button);
        w.actions[32771]->setEnabled(false);
        const QImage disabled = Render(*button);
        QVERIFY(disabled != enabled);

        // No colour of the picture is left, only the relief in the palette's grey tones.
        const QColor green(0x2e, 0x9e, 0x4f);
        bool anyGreenWhenEnabled = false;
        bool anyShadowWhenDisabled = false;
        const QRgb shadow = button->palette().color(QPalette::Dark).rgb();
        for (int y = 0; y < disabled.height(); ++y) {
            for (int x = 0; x < disabled.width(); ++x) {
                anyGreenWhenEnabled |= enabled.pixelColor(x, y) == green;
                anyShadowWhenDisabled |= disabled.pixel(x, y) == shadow;
                const QColor pixel = disabled.pixelColor(x, y);
                QVERIFY2(pixel.hsvSaturation() < 40, qPrintable(pixel.name()));
            }
        }
        QVERIFY(anyGreenWhenEnabled);
        QVERIFY(anyShadowWhenDisabled);
    }
};

QTEST_MAIN(CToolBarExTest)
#include "CToolBarExTest.moc"
