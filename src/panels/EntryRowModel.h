#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "model/EntryEvents.h"

namespace tarnwick {

// The rows of the entry list: the entries of the category shown, newest on top, kept by the
// entry events. The view shows them through a sorting and filtering proxy; a row here is in
// the core's order, whatever the screen shows. Each row also carries the latest progress
// reported for its entry; progress is kept for every entry, so a list shown again after
// another category gets its progress back at once. Events are taken as they come, so one
// that repeats what a list shown anew already holds changes nothing.
class EntryRowModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        ProjectColumn,
        StatusColumn,
        SizeColumn,
        ProgressColumn,
        SpeedColumn,
        EtaColumn,
        ColumnCount
    };
    // The percent done (0 to 100) for the progress column; -1 when the size is unknown.
    static constexpr int PercentRole = Qt::UserRole + 1;

    struct Row {
        EntryId id = kNoEntry;
        QString project;
        QString status;
        // Case-folded once here, so that sorting and filtering compare plain texts.
        QString projectKey;
        QString statusKey;
        std::uint64_t serial = 0;  // grows with each insert: rows are in falling serial order
        bool hasProgress = false;
        TransferSnapshot progress;
    };

    explicit EntryRowModel(QObject* parent = nullptr);

    // Shows a category's entries, given oldest first, in place of what was shown.
    void Show(ListCategory category, const std::vector<EntryView>& entries);
    ListCategory Shown() const { return shown_; }

    void Add(const EntryView& entry);
    void Change(const EntryChange& change);
    void Remove(ListCategory list, EntryId id);
    void Clear();

    // The row of the entry, -1 when it is not shown.
    int RowOf(EntryId id) const;
    EntryId IdAt(int row) const;

    // Bytes held against bytes wanted over these entries' transfers of known size, in percent;
    // -1 when none of them has a known size yet.
    int OverallPercent(const std::vector<EntryId>& ids) const;

    const Row& RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Count() const { return static_cast<int>(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Row MadeRow(const EntryView& entry);
    void EmitRowChanged(int row, int firstColumn, int lastColumn);

    ListCategory shown_ = ListCategory::RequestedFiles;
    std::deque<Row> rows_;
    std::uint64_t nextSerial_ = 1;
    QHash<EntryId, std::uint64_t> serialOf_;       // the shown entries' rows
    QHash<EntryId, TransferSnapshot> progressOf_;  // every entry reported in this run
};

// The texts the progress columns show.
QString SizeText(const EntryRowModel::Row& row);
QString SpeedText(const EntryRowModel::Row& row);
QString EtaText(std::int64_t seconds);
int PercentDone(const EntryRowModel::Row& row);

}  // namespace tarnwick
