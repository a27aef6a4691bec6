#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "model/UiPort.h"

namespace tarnwick {

// The rows of the entry list in the core's order: row 0 is the top, the newest entry. The
// view shows them through a sorting and filtering proxy, so a row number here is always the
// one the core addresses, whatever the screen shows. Each row also carries the latest
// transfer progress reported for its URL; progress is kept by URL too, so a list shown
// again after another category gets its progress back at once.
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

    void InsertAtTop(const QString& project, const QString& status);
    // The rows in the order given, the last ending on top, in one step: a whole list shown
    // again costs one pass of the view and the proxy instead of one per row.
    void InsertManyAtTop(const QList<std::pair<QString, QString>>& rows);
    void SetStatus(int row, const QString& status);
    void SetProject(int row, const QString& project);
    void Remove(int row);
    void Clear();
    void ShowProgress(const QString& url, const TransferSnapshot& progress);
    // The URL's transfer is paused: its speed and time left are no longer true.
    void HoldProgress(const QString& url);

    // Bytes held against bytes wanted over these URLs' transfers of known size, in percent;
    // -1 when none of them has a known size yet.
    int OverallPercent(const std::vector<std::string>& urls) const;

    const Row& RowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Count() const { return static_cast<int>(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Row MadeRow(const QString& project, const QString& status);
    int RowOfSerial(std::uint64_t serial) const;
    void Forget(const Row& row);
    void EmitRowChanged(int row, int firstColumn, int lastColumn);

    std::deque<Row> rows_;
    std::uint64_t nextSerial_ = 1;
    QHash<QString, std::uint64_t> serialOfUrl_;       // the newest row showing each URL
    QHash<QString, TransferSnapshot> progressOfUrl_;  // every URL reported in this run
};

// The texts the progress columns show.
QString SizeText(const EntryRowModel::Row& row);
QString SpeedText(const EntryRowModel::Row& row);
QString EtaText(std::int64_t seconds);
int PercentDone(const EntryRowModel::Row& row);

}  // namespace tarnwick
