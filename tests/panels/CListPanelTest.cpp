#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cstdlib>

#include "WorkerThread.h"
#include "panels/CListPanel.h"
#include "panels/EntryRowFilter.h"
#include "panels/EntryRowModel.h"

using namespace tarnwick;
using tarnwick::testing::WorkerThread;

namespace {

// The project texts in screen order.
QStringList Shown(const CListPanel& list) {
    QStringList texts;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        texts << list.model()->index(row, EntryRowModel::ProjectColumn).data().toString();
    }
    return texts;
}

QString Cell(const CListPanel& list, int row, int column) {
    return list.Rows()->index(row, column).data().toString();
}

// A requested file joins the list: the shown one, until told otherwise.
void Add(CListPanel& list, EntryId id, const std::string& url,
         const std::string& status = "Ready for download") {
    list.EntryAdded({ListCategory::RequestedFiles, id, url, status});
}

void Progress(CListPanel& list, EntryId id, const std::string& url,
              const TransferSnapshot& progress) {
    list.EntryChanged({ListCategory::RequestedFiles, id, url, std::nullopt, progress, false});
}

bool IsSelected(const CListPanel& list, int row) {
    const std::vector<EntryId> selected = list.SelectedIds();
    return std::find(selected.begin(), selected.end(), list.Rows()->IdAt(row)) != selected.end();
}

TransferSnapshot Snapshot(std::uint64_t done, std::int64_t total, double speed, std::int64_t eta) {
    TransferSnapshot snapshot;
    snapshot.done = done;
    snapshot.total = total;
    snapshot.bytesPerSecond = speed;
    snapshot.etaSeconds = eta;
    return snapshot;
}

}  // namespace

// The entry list's rows: the core's row numbers against what the screen shows sorted and
// filtered, and the progress columns.
class CListPanelTest : public QObject {
    Q_OBJECT

private slots:
    void sortedAndFilteredRowsKeepTheCoresOrderAndTheirEntries() {
        CListPanel list;
        EntryId id = 1;
        for (const char* url : {"http://h/b", "http://h/c", "http://h/a"}) {
            Add(list, id++, url);
        }
        QCOMPARE(Shown(list), (QStringList{"http://h/a", "http://h/c", "http://h/b"}));
        list.sortByColumn(EntryRowModel::ProjectColumn, Qt::AscendingOrder);
        QCOMPARE(Shown(list), (QStringList{"http://h/a", "http://h/b", "http://h/c"}));
        // Row 1 of the core is still "c", shown last; selecting it on screen selects its entry.
        QCOMPARE(Cell(list, 1, 0), QStringLiteral("http://h/c"));
        QCOMPARE(list.ViewRowOf(1), 2);
        list.selectionModel()->select(list.model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(list.SelectedIds(), std::vector<EntryId>{2});

        // A new row goes to its sorted place on screen and to row 0 of the core; an entry told
        // twice, or of another list, adds no row.
        Add(list, 4, "http://h/0");
        Add(list, 4, "http://h/0");
        list.EntryAdded({ListCategory::DownloadedFiles, 5, "http://h/done", "Success"});
        QCOMPARE(Shown(list).first(), QStringLiteral("http://h/0"));
        QCOMPARE(Cell(list, 0, 0), QStringLiteral("http://h/0"));
        QCOMPARE(list.Rows()->Count(), 4);
        QVERIFY(IsSelected(list, 2));  // "c" moved down in the core with the insert

        // The filter hides rows without renumbering them; a hidden row is not selected.
        list.SetFilterText(QStringLiteral("H/C"));
        QCOMPARE(Shown(list), QStringList{"http://h/c"});
        QCOMPARE(list.ViewRowOf(2), 0);
        QCOMPARE(list.ViewRowOf(0), -1);
        list.SetFilterText(QStringLiteral("h/a"));
        QVERIFY(list.SelectedIds().empty());
        list.SetFilterText({});
        QCOMPARE(list.model()->rowCount(), 4);

        list.sortByColumn(-1, Qt::AscendingOrder);
        QCOMPARE(Shown(list),
                 (QStringList{"http://h/0", "http://h/a", "http://h/c", "http://h/b"}));
        list.EntryRemoved(ListCategory::RequestedFiles, 3);
        list.EntryRemoved(ListCategory::DownloadedFiles, 2);  // not the shown list's
        QCOMPARE(Shown(list), (QStringList{"http://h/0", "http://h/c", "http://h/b"}));
        list.EntryChanged({ListCategory::RequestedFiles, 2, "http://h/c", "Stopped", {}, false});
        QCOMPARE(Cell(list, 1, EntryRowModel::StatusColumn), QStringLiteral("Stopped"));
        list.ListsEmptied();
        QCOMPARE(list.model()->rowCount(), 0);
    }

    void wholeSortsOrderTextsAsComparingThemWould() {
        // Shared prefixes of every length around the four-unit steps, a text that is the
        // prefix of another, case, non-ASCII and equal texts (the newer first).
        const QStringList inserted{
            "http://h/abcd",  "http://h/abc",           "HTTP://H/ABCDE",     "http://h/",
            "http://h/abcde", "http://h/\u00e9t\u00e9", "http://h/abcdefgh1", "http://h/abcdefgh",
            "ftp://z",        "http://h/abcd"};
        CListPanel list;
        EntryId id = 1;
        for (const QString& text : inserted) {
            Add(list, id++, text.toStdString());
        }
        list.sortByColumn(EntryRowModel::ProjectColumn, Qt::AscendingOrder);
        const QStringList expected{"ftp://z",
                                   "http://h/",
                                   "http://h/abc",
                                   "http://h/abcd",
                                   "http://h/abcd",
                                   "http://h/abcde",
                                   "HTTP://H/ABCDE",
                                   "http://h/abcdefgh",
                                   "http://h/abcdefgh1",
                                   "http://h/\u00e9t\u00e9"};
        QCOMPARE(Shown(list), expected);
        // Of the equal texts the newer comes first, and of the case twins too.
        QCOMPARE(list.ViewRowOf(0), 3);
        QCOMPARE(list.ViewRowOf(9), 4);
        QCOMPARE(list.ViewRowOf(5), 5);
        QCOMPARE(list.ViewRowOf(7), 6);
        // A row arriving while sorted goes to its place by the same order.
        Add(list, id, "http://h/abcdefg");
        QCOMPARE(Shown(list).indexOf(QStringLiteral("http://h/abcdefg")), 7);
    }

    void progressFromAWorkerFillsTheColumnsAndOutlivesARefill() {
        CListPanel list;
        Add(list, 1, "http://h/big.iso");
        Add(list, 2, "http://h/stream");
        {
            WorkerThread worker([&list] {
                Progress(list, 1, "http://h/big.iso",
                         Snapshot(512 * 1024, 2 * 1024 * 1024, 256 * 1024, 6));
                Progress(list, 2, "http://h/stream", Snapshot(3 * 1024 * 1024, -1, 0, -1));
                Progress(list, 3, "http://h/not-shown", Snapshot(1, 2, 3, 4));
            });
        }
        QCOMPARE(Cell(list, 1, EntryRowModel::SizeColumn), QStringLiteral("2.0 MiB"));
        QCOMPARE(Cell(list, 1, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        QCOMPARE(Cell(list, 1, EntryRowModel::SpeedColumn), QStringLiteral("256.0 KiB/s"));
        QCOMPARE(Cell(list, 1, EntryRowModel::EtaColumn), QStringLiteral("0:06"));
        QCOMPARE(
            list.Rows()->index(1, EntryRowModel::ProgressColumn).data(EntryRowModel::PercentRole),
            QVariant(25));
        // Unknown length: the bytes so far, no percent, no time left.
        QCOMPARE(Cell(list, 0, EntryRowModel::SizeColumn), QStringLiteral("> 3.0 MiB"));
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QString());
        QCOMPARE(
            list.Rows()->index(0, EntryRowModel::ProgressColumn).data(EntryRowModel::PercentRole),
            QVariant(-1));
        QCOMPARE(Cell(list, 0, EntryRowModel::EtaColumn), QString());
        // Paused: the amounts stay, the speed and time left go.
        list.EntryChanged(
            {ListCategory::RequestedFiles, 1, "http://h/big.iso", "Stopped", {}, true});
        QCOMPARE(Cell(list, 1, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        QCOMPARE(Cell(list, 1, EntryRowModel::SpeedColumn), QString());
        QCOMPARE(Cell(list, 1, EntryRowModel::EtaColumn), QString());
        QCOMPARE(Cell(list, 1, EntryRowModel::StatusColumn), QStringLiteral("Stopped"));
        QCOMPARE(list.Rows()->OverallPercent({1, 2, 3}), 25);

        // Another list shown, then this one again: the progress is back at once, under a new
        // key too, for it is the entry's; an entry reported while not shown has its progress
        // as soon as a row shows it.
        list.ShowCategory(ListCategory::SearchResults, {});
        list.ShowCategory(ListCategory::RequestedFiles,
                          {{ListCategory::RequestedFiles, 3, "http://h/not-shown", "Queued"},
                           {ListCategory::RequestedFiles, 1, "http://h/renamed.iso", "Stopped"}});
        QCOMPARE(Cell(list, 0, EntryRowModel::ProjectColumn),
                 QStringLiteral("http://h/renamed.iso"));
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        QCOMPARE(Cell(list, 1, EntryRowModel::ProgressColumn), QStringLiteral("50%"));
        Progress(list, 1, "http://h/renamed.iso", Snapshot(1, 4, 3, 3725));
        QCOMPARE(Cell(list, 0, EntryRowModel::EtaColumn), QStringLiteral("1:02:05"));
    }

    void aBarKeepsItsFillWhileTheWindowIsInactive() {
        CListPanel list;
        Add(list, 1, "http://h/half.iso", "Downloading...");
        Progress(list, 1, "http://h/half.iso", Snapshot(50, 100, 10, 5));
        QStyleOptionViewItem option;
        option.initFrom(&list);
        option.palette.setCurrentColorGroup(QPalette::Inactive);
        option.state &= ~QStyle::State_Active;
        option.rect = QRect(0, 0, 200, 20);
        option.widget = &list;
        QImage cell(option.rect.size(), QImage::Format_RGB32);
        cell.fill(Qt::white);
        {
            QPainter painter(&cell);
            list.itemDelegateForColumn(EntryRowModel::ProgressColumn)
                ->paint(&painter, option, list.model()->index(0, EntryRowModel::ProgressColumn));
        }
        // A quarter of the way in lies the filled half, clear of the centred text.
        const QColor filled = cell.pixelColor(50, 10);
        const QColor highlight = list.palette().color(QPalette::Active, QPalette::Highlight);
        QVERIFY2(std::abs(filled.hue() - highlight.hue()) < 20 && filled.saturation() > 60,
                 qPrintable(filled.name()));
    }

    void aCrawlsRowShowsWhatIsStoredAndWhatWaits() {
        CListPanel list;
        list.ShowCategory(ListCategory::RequestedWebSites,
                          {{ListCategory::RequestedWebSites, 1, "Docs", "Downloading..."}});
        TransferSnapshot crawl = Snapshot(3 * 1024 * 1024, -1, 1024, -1);
        crawl.crawl = CrawlCounts{12, 18, 30};
        list.EntryChanged({ListCategory::RequestedWebSites, 1, "Docs", std::nullopt, crawl, false});
        QCOMPARE(Cell(list, 0, EntryRowModel::SizeColumn), QStringLiteral("3.0 MiB"));
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn),
                 QStringLiteral("12 pages, 18 files, 30 queued"));
        QCOMPARE(
            list.Rows()->index(0, EntryRowModel::ProgressColumn).data(EntryRowModel::PercentRole),
            QVariant(-1));
        QCOMPARE(Cell(list, 0, EntryRowModel::SpeedColumn), QStringLiteral("1.0 KiB/s"));
        QCOMPARE(Cell(list, 0, EntryRowModel::EtaColumn), QString());
    }

    void numberColumnsSortRowsWithoutProgressLast() {
        CListPanel list;
        EntryId id = 1;
        for (const char* url :
             {"http://h/none", "http://h/small", "http://h/large", "http://h/mid"}) {
            Add(list, id++, url);
        }
        Progress(list, 2, "http://h/small", Snapshot(10, 100, 50, 2));
        Progress(list, 3, "http://h/large", Snapshot(10, 100000, 900, 100));
        Progress(list, 4, "http://h/mid", Snapshot(10, 5000, 10, 500));
        list.sortByColumn(EntryRowModel::SizeColumn, Qt::DescendingOrder);
        QCOMPARE(Shown(list), (QStringList{"http://h/large", "http://h/mid", "http://h/small",
                                           "http://h/none"}));
        list.sortByColumn(EntryRowModel::SpeedColumn, Qt::AscendingOrder);
        QCOMPARE(Shown(list).mid(1),
                 (QStringList{"http://h/mid", "http://h/small", "http://h/large"}));
        // A row's progress changing moves it while the list is sorted by that column.
        Progress(list, 4, "http://h/mid", Snapshot(10, 5000, 5000, 1));
        QCOMPARE(Shown(list).last(), QStringLiteral("http://h/mid"));
    }

    void theLayoutComesBackButTheProjectColumnAlwaysShows() {
        QByteArray saved;
        {
            CListPanel list;
            list.header()->moveSection(EntryRowModel::EtaColumn, 0);
            list.setColumnHidden(EntryRowModel::SpeedColumn, true);
            list.setColumnWidth(EntryRowModel::StatusColumn, 123);
            list.setColumnHidden(EntryRowModel::ProjectColumn, true);
            saved = list.ColumnLayout();
        }
        CListPanel list;
        list.RestoreColumnLayout(saved);
        QCOMPARE(list.header()->visualIndex(EntryRowModel::EtaColumn), 0);
        QVERIFY(list.isColumnHidden(EntryRowModel::SpeedColumn));
        QCOMPARE(list.columnWidth(EntryRowModel::StatusColumn), 123);
        QVERIFY(!list.isColumnHidden(EntryRowModel::ProjectColumn));
        CListPanel damaged;
        damaged.RestoreColumnLayout(QByteArray("not a header state"));
        QVERIFY(!damaged.isColumnHidden(EntryRowModel::SpeedColumn));
    }
};

QTEST_MAIN(CListPanelTest)
#include "CListPanelTest.moc"
