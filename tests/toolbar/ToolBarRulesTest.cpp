#include <QGuiApplication>
#include <QTest>

#include "toolbar/EmbossedImage.h"
#include "toolbar/ToolBarDropPlan.h"
#include "toolbar/ToolBarHitTest.h"

using namespace tarnwick;

Q_DECLARE_METATYPE(tarnwick::SameBarDrop)
Q_DECLARE_METATYPE(std::vector<bool>)

// The decisions behind the toolbar, without a window: which item is hot, where a drop lands,
// what a drop on the dragged button's own bar does, and the engraved picture.
class ToolBarRulesTest : public QObject {
    Q_OBJECT

private:
    // A button, a separator, a disabled button and a button, 40 pixels wide, with a gap of 4
    // pixels before the last one.
    static std::vector<ToolItem> Row() {
        return {{QRect(0, 0, 40, 40), false, true},
                {QRect(40, 0, 8, 40), true, true},
                {QRect(48, 0, 40, 40), false, false},
                {QRect(92, 0, 40, 40), false, true}};
    }

private slots:
    void hotItemIsAnEnabledButtonUnderThePointer() {
        const auto items = Row();
        QCOMPARE(HotIndexAt(items, QPoint(5, 20)), 0);
        QCOMPARE(HotIndexAt(items, QPoint(131, 39)), 3);
        QCOMPARE(HotIndexAt(items, QPoint(44, 20)), -1);                   // separator
        QCOMPARE(HotIndexAt(items, QPoint(60, 20)), -1);                   // disabled button
        QCOMPARE(HotIndexAt(items, QPoint(90, 20)), -1);                   // gap
        QCOMPARE(HotIndexAt(items, QPoint(20, 40)), -1);                   // just below the bar
        QCOMPARE(HotIndexAt({{QRect(), false, true}}, QPoint(0, 0)), -1);  // hidden
    }

    void dropIndexFollowsTheHalfUnderThePointer() {
        const auto items = Row();
        QCOMPARE(DropIndexAt(items, QPoint(19, 20), Qt::Horizontal), 0);
        QCOMPARE(DropIndexAt(items, QPoint(20, 20), Qt::Horizontal), 1);
        QCOMPARE(DropIndexAt(items, QPoint(50, 5), Qt::Horizontal), 2);    // disabled still a place
        QCOMPARE(DropIndexAt(items, QPoint(130, 20), Qt::Horizontal), 4);  // last: the end
        QCOMPARE(DropIndexAt(items, QPoint(90, 20), Qt::Horizontal), 4);   // gap: the end
        QCOMPARE(DropIndexAt(items, QPoint(300, 20), Qt::Horizontal), 4);

        const std::vector<ToolItem> column{{QRect(0, 0, 40, 40), false, true},
                                           {QRect(0, 40, 40, 40), false, true}};
        QCOMPARE(DropIndexAt(column, QPoint(35, 45), Qt::Vertical), 1);
        QCOMPARE(DropIndexAt(column, QPoint(5, 75), Qt::Vertical), 2);
    }

    void dropOnTheOwnBar_data() {
        QTest::addColumn<std::vector<bool>>("separators");
        QTest::addColumn<int>("dragged");
        QTest::addColumn<int>("dropIndex");
        QTest::addColumn<SameBarDrop>("expected");
        const std::vector<bool> plain{false, false, false};
        const std::vector<bool> split{false, true, false, false};
        QTest::newRow("right of itself") << plain << 1 << 2 << SameBarDrop::InsertSeparatorBefore;
        QTest::newRow("last, right of itself")
            << plain << 2 << 3 << SameBarDrop::InsertSeparatorBefore;
        QTest::newRow("first, right of itself") << plain << 0 << 1 << SameBarDrop::Nothing;
        QTest::newRow("separator already there") << split << 2 << 3 << SameBarDrop::Nothing;
        QTest::newRow("own left half after separator")
            << split << 2 << 2 << SameBarDrop::RemoveSeparatorBefore;
        QTest::newRow("own left half after button") << plain << 1 << 1 << SameBarDrop::Nothing;
        QTest::newRow("first, own left half") << plain << 0 << 0 << SameBarDrop::Nothing;
        QTest::newRow("to the front") << plain << 2 << 0 << SameBarDrop::Move;
        QTest::newRow("to the end") << plain << 0 << 3 << SameBarDrop::Move;
        QTest::newRow("over a separator") << split << 3 << 1 << SameBarDrop::Move;
    }

    void dropOnTheOwnBar() {
        QFETCH(std::vector<bool>, separators);
        QFETCH(int, dragged);
        QFETCH(int, dropIndex);
        QFETCH(SameBarDrop, expected);
        QCOMPARE(PlanSameBarDrop(separators, dragged, dropIndex), expected);
    }

    void trailingSeparatorsAreFoundFromTheEnd() {
        QCOMPARE(TrailingSeparatorsStart({false, true, false}), 3);
        QCOMPARE(TrailingSeparatorsStart({false, true, false, true, true}), 3);
        QCOMPARE(TrailingSeparatorsStart({true, true}), 0);
        QCOMPARE(TrailingSeparatorsStart({}), 0);
    }

    void embossingKeepsDarkInkAndDropsLightDetail() {
        // A dark square with a white centre pixel, a light pixel and a faint (transparent) one.
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 1; y <= 3; ++y) {
            for (int x = 1; x <= 3; ++x) {
                picture.setPixel(x, y, qRgb(20, 60, 160));
            }
        }
        picture.setPixel(2, 2, qRgb(255, 255, 255));
        picture.setPixel(6, 6, qRgb(230, 230, 230));
        picture.setPixel(6, 1, qRgba(0, 0, 0, 40));
        const QColor highlight(Qt::white);
        const QColor shadow(Qt::darkGray);

        const QImage embossed = EmbossedImage(picture, highlight, shadow);
        QCOMPARE(embossed.size(), picture.size());
        QCOMPARE(embossed.pixel(1, 1), shadow.rgba());
        QCOMPARE(embossed.pixel(3, 3), shadow.rgba());
        QCOMPARE(embossed.pixel(4, 4), highlight.rgba());  // the relief below and right
        QCOMPARE(embossed.pixel(4, 2), highlight.rgba());
        QCOMPARE(embossed.pixel(2, 2), highlight.rgba());  // white detail shows the relief
        QCOMPARE(qAlpha(embossed.pixel(6, 6)), 0);
        QCOMPARE(qAlpha(embossed.pixel(6, 1)), 0);
        QCOMPARE(qAlpha(embossed.pixel(0, 0)), 0);
    }
};

QTEST_MAIN(ToolBarRulesTest)
#include "ToolBarRulesTest.moc"
