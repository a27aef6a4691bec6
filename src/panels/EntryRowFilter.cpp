#include "panels/EntryRowFilter.h"

#include <algorithm>
#include <numeric>

#include "panels/EntryRowModel.h"

namespace tarnwick {

namespace {

// Rows without a value sort below every row with one, in either direction of the numbers.
double SortValue(const EntryRowModel::Row& row, int column) {
    if (!row.hasProgress) {
        return -1;
    }
    switch (column) {
        case EntryRowModel::SizeColumn:
            return row.progress.total >= 0 ? static_cast<double>(row.progress.total)
                                           : static_cast<double>(row.progress.done);
        case EntryRowModel::ProgressColumn:
            return row.progress.crawl ? row.progress.crawl->pages + row.progress.crawl->files
                                      : PercentDone(row);
        case EntryRowModel::SpeedColumn:
            return row.progress.bytesPerSecond;
        case EntryRowModel::EtaColumn:
            return static_cast<double>(row.progress.etaSeconds);
        default:
            return -1;
    }
}

bool IsTextColumn(int column) {
    return column == EntryRowModel::ProjectColumn || column == EntryRowModel::StatusColumn;
}

struct Keyed {
    std::uint64_t chunk = 0;
    std::uint32_t row = 0;
    const QChar* text = nullptr;  // held here so that each pass reads the text alone
    qsizetype size = 0;
};

// Four UTF-16 units of the text from `offset` as one number that orders like the text; the
// units past the end are 0, so a shorter text comes first.
std::uint64_t ChunkAt(const Keyed& item, qsizetype offset) {
    std::uint64_t chunk = 0;
    for (qsizetype n = 0; n < 4; ++n) {
        const qsizetype at = offset + n;
        chunk = (chunk << 16) | (at < item.size ? item.text[at].unicode() : 0u);
    }
    return chunk;
}

// Sorts items[begin, end) by their texts from `offset` on: by four units at a time, then
// each run of equal units again by the next four. Equal texts keep the row order.
void RadixSort(std::vector<Keyed>& items, std::size_t begin, std::size_t end, qsizetype offset) {
    bool allEqual = true;
    for (std::size_t n = begin; n < end; ++n) {
        items[n].chunk = ChunkAt(items[n], offset);
        allEqual = allEqual && items[n].chunk == items[begin].chunk;
    }
    // A prefix every text shares (a scheme, a host) needs no sorting, only the next pass.
    if (allEqual) {
        if ((items[begin].chunk & 0xffff) != 0) {
            RadixSort(items, begin, end, offset + 4);
        }
        return;
    }
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(begin),
              items.begin() + static_cast<std::ptrdiff_t>(end), [](const Keyed& a, const Keyed& b) {
                  return a.chunk != b.chunk ? a.chunk < b.chunk : a.row < b.row;
              });
    for (std::size_t run = begin; run < end;) {
        std::size_t next = run + 1;
        while (next < end && items[next].chunk == items[run].chunk) {
            ++next;
        }
        // A chunk ending in 0 means the texts ended here: the run is in row order already.
        if (next - run > 1 && (items[run].chunk & 0xffff) != 0) {
            RadixSort(items, run, next, offset + 4);
        }
        run = next;
    }
}

}  // namespace

EntryRowFilter::EntryRowFilter(EntryRowModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
    setSourceModel(rows);
    setDynamicSortFilter(true);
}

void EntryRowFilter::SetFilterText(const QString& text) {
    if (text == filterText_) {
        return;
    }
    const QString folded = text.toCaseFolded();
    // A longer text only hides rows, which the proxy does in place; any other change may
    // bring rows back, and sorting them in again one by one is slower than sorting anew.
    const bool narrower = folded.contains(filterKey_);
    filterText_ = text;
    filterKey_ = folded;
    if (narrower) {
        invalidateFilter();
    } else {
        WithRanks(sortColumn(), [this] { invalidate(); });
    }
}

void EntryRowFilter::sort(int column, Qt::SortOrder order) {
    WithRanks(column, [this, column, order] { QSortFilterProxyModel::sort(column, order); });
}

template <typename Resort>
void EntryRowFilter::WithRanks(int column, Resort resort) {
    if (column >= 0) {
        RankRows(column);
    }
    resort();
    ranks_.clear();
}

void EntryRowFilter::RankRows(int column) {
    const int count = rows_->Count();
    std::vector<Keyed> items(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        items[static_cast<std::size_t>(row)].row = static_cast<std::uint32_t>(row);
    }
    if (IsTextColumn(column)) {
        const bool project = column == EntryRowModel::ProjectColumn;
        for (Keyed& item : items) {
            const EntryRowModel::Row& entry = rows_->RowAt(static_cast<int>(item.row));
            const QString& key = project ? entry.projectKey : entry.statusKey;
            item.text = key.constData();
            item.size = key.size();
        }
        RadixSort(items, 0, items.size(), 0);
    } else {
        std::vector<std::pair<double, std::uint32_t>> values(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) {
            values[static_cast<std::size_t>(row)] = {SortValue(rows_->RowAt(row), column),
                                                     static_cast<std::uint32_t>(row)};
        }
        std::sort(values.begin(), values.end());
        for (std::size_t n = 0; n < values.size(); ++n) {
            items[n].row = values[n].second;
        }
    }
    ranks_.assign(items.size(), 0);
    for (std::size_t n = 0; n < items.size(); ++n) {
        ranks_[items[n].row] = static_cast<std::uint32_t>(n);
    }
}

bool EntryRowFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (!ranks_.empty()) {
        return ranks_[static_cast<std::size_t>(left.row())] <
               ranks_[static_cast<std::size_t>(right.row())];
    }
    const EntryRowModel::Row& a = rows_->RowAt(left.row());
    const EntryRowModel::Row& b = rows_->RowAt(right.row());
    const int column = left.column();
    if (IsTextColumn(column)) {
        const QString& textA = column == EntryRowModel::ProjectColumn ? a.projectKey : a.statusKey;
        const QString& textB = column == EntryRowModel::ProjectColumn ? b.projectKey : b.statusKey;
        const int order = textA.compare(textB);
        // Equal texts keep the core's order: the newer entry first.
        return order != 0 ? order < 0 : a.serial > b.serial;
    }
    const double valueA = SortValue(a, column);
    const double valueB = SortValue(b, column);
    return valueA != valueB ? valueA < valueB : a.serial > b.serial;
}

bool EntryRowFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (filterKey_.isEmpty()) {
        return true;
    }
    const EntryRowModel::Row& row = rows_->RowAt(sourceRow);
    return row.projectKey.contains(filterKey_) || row.statusKey.contains(filterKey_);
}

}  // namespace tarnwick
