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

    void startsWithThePlaceholderThatOnlyTheFirstClearRemoves() {
        CDnldList tree;
        QCOMPARE(TopLevelTexts(tree), QStringList{"No files downloaded"});
        QCOMPARE(tree.topLevelItem(0)->childCount(), 0);

        tree.ClearPlaceholderItem();
        QCOMPARE(tree.topLevelItemCount(), 0);
        tree.ClearPlaceholderItem();  // an empty tree stays empty
        QCOMPARE(tree.topLevelItemCount(), 0);

        const int gallery = tree.FindOrAddProjectItem("Gallery");
        tree.AddDownloadedFileItem(gallery, "WebSites/Gallery/default.htm");
        tree.ClearPlaceholderItem();
        QCOMPARE(TopLevelTexts(tree), QStringList{"Gallery"});
        QCOMPARE(tree.topLevelItem(0)->childCount(), 1);
    }

    void projectLookUpIsACaseSensitiveSubstringSearch() {
        CDnldList tree;
        tree.ClearPlaceholderItem();
        const int gallery = tree.FindOrAddProjectItem("Gallery");
        const int news = tree.FindOrAddProjectItem("News");
        QVERIFY(gallery != news);
        QCOMPARE(tree.FindOrAddProjectItem("Gallery"), gallery);
        // A name inside an earlier project's name finds that project.
        QCOMPARE(tree.FindOrAddProjectItem("Gal"), gallery);
        const int lowerCase = tree.FindOrAddProjectItem("gal");
        QVERIFY(lowerCase != gallery && lowerCase != news);
        QCOMPARE(TopLevelTexts(tree), (QStringList{"Gallery", "News", "gal"}));

        tree.AddDownloadedFileItem(gallery, "WebSites/Gallery/default.htm");
        tree.AddDownloadedFileItem(news, "WebSites/News/index.html");
        tree.AddDownloadedFileItem(tree.FindOrAddProjectItem("Gal"), "WebSites/Gal/a.jpg");
        QCOMPARE(ChildTexts(tree.topLevelItem(0)),
                 (QStringList{"WebSites/Gallery/default.htm", "WebSites/Gal/a.jpg"}));
        QCOMPARE(ChildTexts(tree.topLevelItem(1)), QStringList{"WebSites/News/index.html"});
        QVERIFY(tree.topLevelItem(0)->isExpanded());
        QVERIFY(tree.topLevelItem(1)->isExpanded());
        QVERIFY(!tree.topLevelItem(2)->isExpanded());
    }

    void aFirstProjectNamedNoFilesIsWipedWithItsFiles() {
        CDnldList tree;
        tree.ClearPlaceholderItem();
        const int odd = tree.FindOrAddProjectItem("Archive No files kept");
        tree.AddDownloadedFileItem(odd, "WebSites/Archive No files kept/default.htm");
        const int other = tree.FindOrAddProjectItem("Other");
        tree.AddDownloadedFileItem(other, "WebSites/Other/default.htm");

        tree.ClearPlaceholderItem();
        QCOMPARE(tree.topLevelItemCount(), 0);

        // Ids of wiped items lead nowhere; a new item's id works.
        tree.AddDownloadedFileItem(odd, "WebSites/Archive No files kept/late.htm");
        tree.AddDownloadedFileItem(other, "WebSites/Other/late.htm");
        QCOMPARE(tree.topLevelItemCount(), 0);
        const int fresh = tree.FindOrAddProjectItem("Other");
        QVERIFY(fresh != other);
        tree.AddDownloadedFileItem(fresh, "WebSites/Other/late.htm");
        QCOMPARE(ChildTexts(tree.topLevelItem(0)), QStringList{"WebSites/Other/late.htm"});
    }

    void doubleClickOpensFileItemsOnly() {
        ShownTree shown;
        CDnldList& tree = shown.tree;
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        shown.DoubleClick(tree.topLevelItem(0));
        QVERIFY(shown.opened.isEmpty());

        tree.ClearPlaceholderItem();
        const int gallery = tree.FindOrAddProjectItem("Gallery");
        tree.AddDownloadedFileItem(gallery, "WebSites/Gallery/default.htm");
        tree.AddDownloadedFileItem(gallery, "WebSites/Gallery/photos/a.jpg");
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
        std::vector<int> ids;
        std::vector<int> childCounts;
        int topLevelAfterClear = -1;
        {
            WorkerThread worker([&] {
                tree.ClearPlaceholderItem();
                topLevelAfterClear = tree.topLevelItemCount();
                ids.push_back(tree.FindOrAddProjectItem("Gallery"));
                for (int i = 0; i < 10; ++i) {
                    tree.AddDownloadedFileItem(
                        ids.front(), "WebSites/Gallery/file" + std::to_string(i) + ".htm");
                    childCounts.push_back(tree.topLevelItem(0)->childCount());
                }
                ids.push_back(tree.FindOrAddProjectItem("Gallery"));
            });
            QTRY_VERIFY_WITH_TIMEOUT(worker.Finished(), 10000);
        }
        QCOMPARE(topLevelAfterClear, 0);
        QCOMPARE(ids.size(), size_t{2});
        QVERIFY(ids[0] >= 0);
        QCOMPARE(ids[1], ids[0]);
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
