#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <string>
#include <vector>

#include "WorkerThread.h"
#include "panels/CDnldList.h"

using namespace tarnwick;
using testing::WorkerThread;

namespace {

QStringList TopLevelTexts(const CDnldList& tree) {
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        texts << tree.topLevelItem(i)->text(0);
    }
    return texts;
}

QStringList ChildTexts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    return texts;
}

}  // namespace

class CDnldListTest : public QObject {
    Q_OBJECT

private:
    // A shown tree whose opener only records what it was asked to open.
    struct ShownTree {
        CDnldList tree;
        QStringList opened;

        ShownTree() {
            tree.SetFileOpener([this](const QString& path) { opened << path; });
            tree.resize(400, 300);
            tree.show();
        }

        // As the window system delivers it: a click, then the double-click event and a release.
        void DoubleClickAt(QPoint where) {
            QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, where);
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, where);
            QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, where);
        }

        void DoubleClick(QTreeWidgetItem* item) {
            DoubleClickAt(tree.visualItemRect(item).center());
        }
    };

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void theFirstCrawlReplacesThePlaceholderWithItsProject() {
        CDnldList tree;
        QCOMPARE(TopLevelTexts(tree), QStringList{"No files downloaded"});
        QCOMPARE(tree.topLevelItem(0)->childCount(), 0);

        tree.CrawlBegan(1, "Gallery");
        QCOMPARE(TopLevelTexts(tree), QStringList{"Gallery"});
        tree.FileStored(1, "Gallery", "WebSites/Gallery/default.htm");
        tree.CrawlBegan(2, "News");  // a later crawl keeps what is there
        QCOMPARE(TopLevelTexts(tree), (QStringList{"Gallery", "News"}));
        QCOMPARE(tree.topLevelItem(0)->childCount(), 1);
    }

    void aProjectIsFoundByACaseSensitiveSubstringOfItsItem() {
        CDnldList tree;
        tree.CrawlBegan(1, "Gallery");
        tree.CrawlBegan(2, "News");
        tree.CrawlBegan(3, "Gallery");  // run again: the same item
        // A name inside an earlier project's name finds that project.
        tree.CrawlBegan(4, "Gal");
        tree.CrawlBegan(5, "gal");
        QCOMPARE(TopLevelTexts(tree), (QStringList{"Gallery", "News", "gal"}));

        tree.FileStored(1, "Gallery", "WebSites/Gallery/default.htm");
        tree.FileStored(2, "News", "WebSites/News/index.html");
        tree.FileStored(4, "Gal", "WebSites/Gal/a.jpg");
        tree.FileStored(3, "Gallery", "WebSites/Gallery/again.htm");
        QCOMPARE(ChildTexts(tree.topLevelItem(0)),
                 (QStringList{"WebSites/Gallery/default.htm", "WebSites/Gal/a.jpg",
                              "WebSites/Gallery/again.htm"}));
        QCOMPARE(ChildTexts(tree.topLevelItem(1)), QStringList{"WebSites/News/index.html"});
        QVERIFY(tree.topLevelItem(0)->isExpanded());
        QVERIFY(tree.topLevelItem(1)->isExpanded());
        QVERIFY(!tree.topLevelItem(2)->isExpanded());
    }

    void aFileOfACrawlNotSeenToBeginAddsNothing() {
        CDnldList tree;
        tree.FileStored(7, "Ghost", "WebSites/Ghost/default.htm");
        QCOMPARE(TopLevelTexts(tree), QStringList{"No files downloaded"});
        tree.CrawlBegan(1, "Real");
        tree.FileStored(7, "Ghost", "WebSites/Ghost/late.htm");
        QCOMPARE(tree.topLevelItem(0)->childCount(), 0);
    }

    void doubleClickOpensFileItemsOnly() {
        ShownTree shown;
        CDnldList& tree = shown.tree;
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        shown.DoubleClick(tree.topLevelItem(0));
        QVERIFY(shown.opened.isEmpty());

        tree.CrawlBegan(1, "Gallery");
        tree.FileStored(1, "Gallery", "WebSites/Gallery/default.htm");
        tree.FileStored(1, "Gallery", "WebSites/Gallery/photos/a.jpg");
        QTreeWidgetItem* project = tree.topLevelItem(0);

        shown.DoubleClick(project->child(1));
        QCOMPARE(shown.opened,
                 QStringList{QDir::current().absoluteFilePath("WebSites/Gallery/photos/a.jpg")});
        QVERIFY(QDir::isAbsolutePath(shown.opened.first()));

        // The tree's own handling still runs: the project item closes, and nothing opens.
        shown.opened.clear();
        shown.DoubleClick(project);
        QVERIFY(shown.opened.isEmpty());
        QVERIFY(!project->isExpanded());

        // Empty space below the items drops the selection, so it opens nothing either.
        project->setExpanded(true);
        shown.DoubleClick(project->child(0));
        QCOMPARE(shown.opened.size(), 1);
        shown.DoubleClickAt(QPoint(10, tree.viewport()->height() - 5));
        QCOMPARE(shown.opened.size(), 1);
    }

    void callsFromAnotherThreadAreAppliedBeforeTheyReturn() {
        CDnldList tree;
        std::vector<int> childCounts;
        QStringList topLevelAfterBegin;
        {
            WorkerThread worker([&] {
                tree.CrawlBegan(1, "Gallery");
                topLevelAfterBegin = TopLevelTexts(tree);
                for (int i = 0; i < 10; ++i) {
                    tree.FileStored(1, "Gallery",
                                    "WebSites/Gallery/file" + std::to_string(i) + ".htm");
                    childCounts.push_back(tree.topLevelItem(0)->childCount());
                }
            });
            QTRY_VERIFY_WITH_TIMEOUT(worker.Finished(), 10000);
        }
        QCOMPARE(topLevelAfterBegin, QStringList{"Gallery"});
        QCOMPARE(childCounts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(tree.topLevelItem(0)->child(9)->text(0),
                 QStringLiteral("WebSites/Gallery/file9.htm"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CDnldListTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CDnldListTest.moc"
