// The entry list at 100 000 rows: the time to fill it, to sort it by a text and a number
// column, and to filter it as a user types, through the same panel the window shows
// (offscreen). Prints one line per step in milliseconds; the target is under 200 ms for each
// sort and each filter step.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>

#include <cstdio>
#include <string>

#include "panels/CListPanel.h"
#include "panels/EntryRowFilter.h"
#include "panels/EntryRowModel.h"

using namespace tarnwick;

namespace {

constexpr int kRows = 100000;

template <typename Step>
double Milliseconds(Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Report(const char* what, double ms, bool timed = true) {
    std::printf("%-44s %9.1f ms%s\n", what, ms, timed && ms > 200 ? "  (over 200 ms)" : "");
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CListPanel list;
    list.resize(1200, 800);
    list.show();
    std::vector<std::string> urls;
    urls.reserve(kRows);
    for (int n = 0; n < kRows; ++n) {
        // Mixed hosts and names, so that neither list order nor name order is sorted.
        const int scrambled = static_cast<int>((static_cast<long long>(n) * 7919) % kRows);
        urls.push_back("http://host" + std::to_string(scrambled % 97) + ".example/files/file" +
                       std::to_string(scrambled) + (n % 3 == 0 ? ".iso" : ".zip"));
    }
    std::vector<EntryView> rows;
    for (const std::string& url : urls) {
        rows.push_back({ListCategory::RequestedFiles, rows.size() + 1, url, "Ready for download"});
    }
    Report("show a list of 100000 rows",
           Milliseconds([&] { list.ShowCategory(ListCategory::RequestedFiles, rows); }));
    Report("progress of 100000 rows", Milliseconds([&] {
               for (int n = 0; n < kRows; ++n) {
                   TransferSnapshot progress;
                   progress.total = 1000000 + (n * 7919LL) % 900000000;
                   progress.done = static_cast<std::uint64_t>(progress.total / (1 + n % 10));
                   progress.bytesPerSecond = (n * 31) % 5000000;
                   progress.etaSeconds = (n * 13) % 86400;
                   list.EntryChanged({ListCategory::RequestedFiles, static_cast<EntryId>(n + 1),
                                      urls[static_cast<std::size_t>(n)], std::nullopt, progress,
                                      false});
               }
           }),
           false);
    for (const auto& [column, name] : {std::pair{EntryRowModel::ProjectColumn, "Project"},
                                       std::pair{EntryRowModel::StatusColumn, "Status (all equal)"},
                                       std::pair{EntryRowModel::SizeColumn, "Size"},
                                       std::pair{EntryRowModel::EtaColumn, "ETA"}}) {
        const std::string up = std::string("sort by ") + name + ", ascending";
        Report(up.c_str(), Milliseconds([&] { list.sortByColumn(column, Qt::AscendingOrder); }));
        const std::string down = std::string("sort by ") + name + ", descending";
        Report(down.c_str(), Milliseconds([&] { list.sortByColumn(column, Qt::DescendingOrder); }));
    }
    list.sortByColumn(EntryRowModel::ProjectColumn, Qt::AscendingOrder);
    QString typed;
    for (const QChar key : QStringLiteral("host42.example/files/file9")) {
        typed += key;
        if (typed.size() % 6 != 0 && typed.size() != 26) {
            continue;  // a sample of the keystrokes, each one a full filter pass
        }
        const std::string what = "filter \"" + typed.toStdString() + "\" (sorted)";
        Report(what.c_str(), Milliseconds([&] { list.SetFilterText(typed); }));
    }
    std::printf("%d rows shown\n", list.Filter()->rowCount());
    Report("clear the filter (sorted)", Milliseconds([&] { list.SetFilterText({}); }));
    Report(
        "add 1000 rows one by one (sorted)", Milliseconds([&] {
            for (int n = 0; n < 1000; ++n) {
                list.EntryAdded({ListCategory::RequestedFiles, static_cast<EntryId>(kRows + n + 1),
                                 "http://late.example/" + std::to_string(n), "Ready for download"});
            }
        }),
        false);
    list.sortByColumn(EntryRowModel::ProjectColumn, Qt::AscendingOrder);
    list.ListsEmptied();
    Report("show a list of 100000 rows (sorted)",
           Milliseconds([&] { list.ShowCategory(ListCategory::RequestedFiles, rows); }));
    Report("back to newest first",
           Milliseconds([&] { list.sortByColumn(-1, Qt::AscendingOrder); }));
    return 0;
}
