#include "panels/EntryRowModel.h"

#include <algorithm>

#include "model/ProgressText.h"

namespace tarnwick {

namespace {

// The units of the status texts and the command line's progress lines.
QString ByteText(std::uint64_t bytes) {
    return QString::fromStdString(ByteCountText(bytes));
}

}  // namespace

QString SizeText(const EntryRowModel::Row& row) {
    if (!row.hasProgress) {
        return {};
    }
    if (row.progress.crawl) {
        return row.progress.done > 0 ? ByteText(row.progress.done) : QString();
    }
    if (row.progress.total >= 0) {
        return ByteText(static_cast<std::uint64_t>(row.progress.total));
    }
    // Unknown length: what has arrived so far, marked as a lower bound.
    return row.progress.done > 0 ? QStringLiteral("> ") + ByteText(row.progress.done) : QString();
}

QString SpeedText(const EntryRowModel::Row& row) {
    if (!row.hasProgress || row.progress.bytesPerSecond <= 0) {
        return {};
    }
    return ByteText(static_cast<std::uint64_t>(row.progress.bytesPerSecond)) + QStringLiteral("/s");
}

QString EtaText(std::int64_t seconds) {
    if (seconds < 0) {
        return {};
    }
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds / 60 % 60;
    const std::int64_t rest = seconds % 60;
    if (hours > 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(rest, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
}

int PercentDone(const EntryRowModel::Row& row) {
    // A crawl's whole is unknown until it ends: each page may add links.
    if (!row.hasProgress || row.progress.total < 0 || row.progress.crawl) {
        return -1;
    }
    if (row.progress.total == 0) {
        return 100;
    }
    const double share =
        static_cast<double>(row.progress.done) / static_cast<double>(row.progress.total);
    return std::clamp(static_cast<int>(share * 100.0), 0, 100);
}

EntryRowModel::EntryRowModel(QObject* parent) : QAbstractTableModel(parent) {}

EntryRowModel::Row EntryRowModel::MadeRow(const EntryView& entry) {
    const QString project = QString::fromStdString(entry.key);
    const QString status = QString::fromStdString(entry.status);
    Row row{entry.id,      project, status, project.toCaseFolded(), status.toCaseFolded(),
            nextSerial_++, false,   {}};
    if (const auto found = progressOf_.constFind(entry.id); found != progressOf_.constEnd()) {
        row.hasProgress = true;
        row.progress = *found;
    }
    serialOf_.insert(entry.id, row.serial);
    return row;
}

void EntryRowModel::Show(ListCategory category, const std::vector<EntryView>& entries) {
    beginResetModel();
    shown_ = category;
    rows_.clear();
    serialOf_.clear();
    for (const EntryView& entry : entries) {
        rows_.push_front(MadeRow(entry));
    }
    endResetModel();
}

void EntryRowModel::Add(const EntryView& entry) {
    if (entry.list != shown_ || serialOf_.contains(entry.id)) {
        return;
    }
    beginInsertRows({}, 0, 0);
    rows_.push_front(MadeRow(entry));
    endInsertRows();
}

void EntryRowModel::Change(const EntryChange& change) {
    if (change.progress) {
        progressOf_.insert(change.id, *change.progress);
    } else if (change.held) {
        // Paused: what it holds stays, its speed and time left are no longer true.
        if (const auto found = progressOf_.find(change.id); found != progressOf_.end()) {
            found->bytesPerSecond = 0;
            found->etaSeconds = -1;
        }
    }
    const int row = change.list == shown_ ? RowOf(change.id) : -1;
    if (row < 0) {
        return;
    }
    Row& shown = rows_[static_cast<std::size_t>(row)];
    shown.project = QString::fromStdString(change.key);
    shown.projectKey = shown.project.toCaseFolded();
    if (change.status) {
        shown.status = QString::fromStdString(*change.status);
        shown.statusKey = shown.status.toCaseFolded();
    }
    if (const auto found = progressOf_.constFind(change.id); found != progressOf_.constEnd()) {
        shown.hasProgress = true;
        shown.progress = *found;
    }
    EmitRowChanged(row, ProjectColumn, EtaColumn);
}

void EntryRowModel::Remove(ListCategory list, EntryId id) {
    const int row = list == shown_ ? RowOf(id) : -1;
    if (row < 0) {
        return;
    }
    beginRemoveRows({}, row, row);
    serialOf_.remove(id);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void EntryRowModel::Clear() {
    beginResetModel();
    rows_.clear();
    serialOf_.clear();
    endResetModel();
}

int EntryRowModel::OverallPercent(const std::vector<EntryId>& ids) const {
    double done = 0;
    double total = 0;
    for (const EntryId id : ids) {
        const auto found = progressOf_.constFind(id);
        if (found != progressOf_.constEnd() && found->total > 0) {
            done += static_cast<double>(found->done);
            total += static_cast<double>(found->total);
        }
    }
    return total > 0 ? std::clamp(static_cast<int>(done * 100.0 / total), 0, 100) : -1;
}

int EntryRowModel::RowOf(EntryId id) const {
    const auto serial = serialOf_.constFind(id);
    if (serial == serialOf_.constEnd()) {
        return -1;
    }
    const auto found =
        std::lower_bound(rows_.begin(), rows_.end(), *serial,
                         [](const Row& row, std::uint64_t wanted) { return row.serial > wanted; });
    return found != rows_.end() && found->serial == *serial
               ? static_cast<int>(found - rows_.begin())
               : -1;
}

EntryId EntryRowModel::IdAt(int row) const {
    return row >= 0 && row < Count() ? RowAt(row).id : kNoEntry;
}

void EntryRowModel::EmitRowChanged(int row, int firstColumn, int lastColumn) {
    emit dataChanged(index(row, firstColumn), index(row, lastColumn));
}

int EntryRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int EntryRowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryRowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) {
        return {};
    }
    const Row& row = RowAt(index.row());
    if (role == PercentRole) {
        return PercentDone(row);
    }
    if (role == Qt::TextAlignmentRole && index.column() >= SizeColumn) {
        return QVariant::fromValue(
            (index.column() == ProgressColumn ? Qt::AlignHCenter : Qt::AlignRight) |
            Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
        return {};
    }
    switch (index.column()) {
        case ProjectColumn:
            return row.project;
        case StatusColumn:
            return row.status;
        case SizeColumn:
            return SizeText(row);
        case ProgressColumn: {
            if (row.hasProgress && row.progress.crawl) {
                return QString::fromStdString(CrawlCountsText(*row.progress.crawl));
            }
            const int percent = PercentDone(row);
            return percent >= 0 ? QStringLiteral("%1%").arg(percent) : QString();
        }
        case SpeedColumn:
            return SpeedText(row);
        case EtaColumn:
            return row.hasProgress ? EtaText(row.progress.etaSeconds) : QString();
        default:
            return {};
    }
}

QVariant EntryRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case ProjectColumn:
            return tr("Project");
        case StatusColumn:
            return tr("Status");
        case SizeColumn:
            return tr("Size");
        case ProgressColumn:
            return tr("Progress");
        case SpeedColumn:
            return tr("Speed");
        case EtaColumn:
            return tr("ETA");
        default:
            return {};
    }
}

}  // namespace tarnwick
