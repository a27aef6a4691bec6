#include "panels/EntryRowFilter.h"

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
            return PercentDone(row);
        case EntryRowModel::SpeedColumn:
            return row.progress.bytesPerSecond;
        case EntryRowModel::EtaColumn:
            return static_cast<double>(row.progress.etaSeconds);
        default:
            return -1;
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
        invalidate();
    }
}

bool EntryRowFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const EntryRowModel::Row& a = rows_->RowAt(left.row());
    const EntryRowModel::Row& b = rows_->RowAt(right.row());
    const int column = left.column();
    if (column == EntryRowModel::ProjectColumn || column == EntryRowModel::StatusColumn) {
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
