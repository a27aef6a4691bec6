#pragma once

#include <QSortFilterProxyModel>

#include <cstdint>
#include <vector>

namespace tarnwick {

class EntryRowModel;

// What the entry list shows of its rows: sorted by the column whose header was clicked, or
// in the core's order (newest on top) while no column is chosen, and narrowed to the rows
// whose project or status holds the filter text. A whole sort first ranks every row by the
// column in contiguous arrays (a radix pass over the texts), so that the proxy's own sort
// compares two numbers instead of chasing two rows and their texts through memory: at
// 100 000 rows that is most of the time. A single row moving while sorted compares rows.
class EntryRowFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit EntryRowFilter(EntryRowModel* rows, QObject* parent = nullptr);

    // Case-insensitive; an empty text shows every row.
    void SetFilterText(const QString& text);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QString FilterText() const { return filterText_; }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    // Ranks every row by the column, runs `resort`, then drops the ranks again.
    template <typename Resort>
    void WithRanks(int column, Resort resort);
    void RankRows(int column);

    EntryRowModel* rows_;
    std::vector<std::uint32_t> ranks_;  // by source row, while a whole sort runs
    QString filterText_;
    QString filterKey_;  // case-folded
};

}  // namespace tarnwick
