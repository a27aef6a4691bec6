#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QTest>

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

QString Cell(CListPanel& list, int row, int column) {
    return QString::fromStdString(list.RowText(row, column));
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
    void sortedAndFilteredRowsKeepTheCoresNumbers() {
        CListPanel list;
        for (const char* url : {"http://h/b", "http://h/c", "http://h/a"}) {
            list.InsertRowAtTop(url, "Ready for download");
        }
        QCOMPARE(Shown(list), (QStringList{"http://h/a", "http://h/c", "http://h/b"}));
        list.sortByColumn(EntryRowModel::ProjectColumn, Qt::AscendingOrder);
        QCOMPARE(Shown(list), (QStringList{"http://h/a", "http://h/b", "http://h/c"}));
        // Row 1 of the core is still "c", shown last; selecting it on screen selects row 1.
        QCOMPARE(Cell(list, 1, 0), QStringLiteral("http://h/c"));
        QCOMPARE(list.ViewRowOf(1), 2);
        list.selectionModel()->select(list.model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(list.IsRowSelected(1));
        QVERIFY(!list.IsRowSelected(0) && !list.IsRowSelected(2));
        QCOMPARE(list.SelectedCount(), 1);

        // A new row goes to its sorted place on screen and to row 0 of the core.
        list.InsertRowAtTop("http://h/0", "Ready for download");
        QCOMPARE(Shown(list).first(), QStringLiteral("http://h/0"));
        QCOMPARE(Cell(list, 0, 0), QStringLiteral("http://h/0"));
        QVERIFY(list.IsRowSelected(2));  // "c" moved down in the core with the insert

        // The filter hides rows without renumbering them; a hidden row is not selected.
        list.SetFilterText(QStringLiteral("H/C"));
        QCOMPARE(Shown(list), QStringList{"http://h/c"});
        QCOMPARE(list.RowCount(), 4);
        QCOMPARE(list.ViewRowOf(2), 0);
        QCOMPARE(list.ViewRowOf(0), -1);
        list.SetFilterText(QStringLiteral("h/a"));
        QVERIFY(!list.IsRowSelected(2));
        QCOMPARE(list.SelectedCount(), 0);
        list.SetFilterText({});
        QCOMPARE(list.model()->rowCount(), 4);

        list.sortByColumn(-1, Qt::AscendingOrder);
        QCOMPARE(Shown(list),
                 (QStringList{"http://h/0", "http://h/a", "http://h/c", "http://h/b"}));
        list.DeleteRow(1);
        QCOMPARE(Shown(list), (QStringList{"http://h/0", "http://h/c", "http://h/b"}));
    }

    void wholeSortsOrderTextsAsComparingThemWould() {
        // Shared prefixes of every length around the four-unit steps, a text that is the
        // prefix of another, case, non-ASCII and equal texts (the newer first).
        const QStringList inserted{
            "http://h/abcd",  "http://h/abc",           "HTTP://H/ABCDE",     "http://h/",
            "http://h/abcde", "http://h/\u00e9t\u00e9", "http://h/abcdefgh1", "http://h/abcdefgh",
            "ftp://z",        "http://h/abcd"};
        CListPanel list;
        for (const QString& text : inserted) {
            list.InsertRowAtTop(text.toStdString(), "Ready for download");
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
        list.InsertRowAtTop("http://h/abcdefg", "Ready for download");
        QCOMPARE(Shown(list).indexOf(QStringLiteral("http://h/abcdefg")), 7);
    }

    void progressFromAWorkerFillsTheColumnsAndOutlivesARefill() {
        CListPanel list;
        list.InsertRowAtTop("http://h/big.iso", "Ready for download");
        list.InsertRowAtTop("http://h/stream", "Ready for download");
        {
            WorkerThread worker([&list] {
                list.ShowTransferProgress("http://h/big.iso",
                                          Snapshot(512 * 1024, 2 * 1024 * 1024, 256 * 1024, 6));
                list.ShowTransferProgress("http://h/stream", Snapshot(3 * 1024 * 1024, -1, 0, -1));
                list.ShowTransferProgress("http://h/not-shown", Snapshot(1, 2, 3, 4));
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
        list.ShowTransferHeld("http://h/big.iso");
        QCOMPARE(Cell(list, 1, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        QCOMPARE(Cell(list, 1, EntryRowModel::SpeedColumn), QString());
        QCOMPARE(Cell(list, 1, EntryRowModel::EtaColumn), QString());
        list.ShowTransferProgress("http://h/big.iso",
                                  Snapshot(512 * 1024, 2 * 1024 * 1024, 256 * 1024, 6));

        // Another list shown, then this one again: the progress is back at once.
        list.DeleteAllRows();
        list.InsertRowAtTop("http://h/big.iso", "Stopped");
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        // A renamed row follows its new name: none yet, then its own, and a URL reported
        // while not shown has its progress as soon as a row shows it.
        list.SetRowProject(0, "http://h/fresh");
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QString());
        list.ShowTransferProgress("http://h/fresh", Snapshot(1, 4, 3, 3725));
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QStringLiteral("25%"));
        QCOMPARE(Cell(list, 0, EntryRowModel::EtaColumn), QStringLiteral("1:02:05"));
        list.InsertRowAtTop("http://h/not-shown", "Ready for download");
        QCOMPARE(Cell(list, 0, EntryRowModel::ProgressColumn), QStringLiteral("50%"));
    }

    void aBarKeepsItsFillWhileTheWindowIsInactive() {
        CListPanel list;
        list.InsertRowAtTop("http://h/half.iso", "Downloading...");
        list.ShowTransferProgress("http://h/half.iso", Snapshot(50, 100, 10, 5));
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
        list.InsertRowAtTop("Docs", "Downloading...");
        TransferSnapshot crawl = Snapshot(3 * 1024 * 1024, -1, 1024, -1);
        crawl.crawl = CrawlCounts{12, 18, 30};
        list.ShowTransferProgress("Docs", crawl);
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
        for (const char* url :
             {"http://h/none", "http://h/small", "http://h/large", "http://h/mid"}) {
            list.InsertRowAtTop(url, "Ready for download");
        }
        list.ShowTransferProgress("http://h/small", Snapshot(10, 100, 50, 2));
        list.ShowTransferProgress("http://h/large", Snapshot(10, 100000, 900, 100));
        list.ShowTransferProgress("http://h/mid", Snapshot(10, 5000, 10, 500));
        list.sortByColumn(EntryRowModel::SizeColumn, Qt::DescendingOrder);
        QCOMPARE(Shown(list), (QStringList{"http://h/large", "http://h/mid", "http://h/small",
                                           "http://h/none"}));
        list.sortByColumn(EntryRowModel::SpeedColumn, Qt::AscendingOrder);
        QCOMPARE(Shown(list).mid(1),
                 (QStringList{"http://h/mid", "http://h/small", "http://h/large"}));
        // A row's progress changing moves it while the list is sorted by that column.
        list.ShowTransferProgress("http://h/mid", Snapshot(10, 5000, 5000, 1));
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
