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

EntryRowModel::Row EntryRowModel::MadeRow(const QString& project, const QString& status) {
    Row row{project, status, project.toCaseFolded(), status.toCaseFolded(), nextSerial_++,
            false,   {}};
    if (const auto found = progressOfUrl_.constFind(project); found != progressOfUrl_.constEnd()) {
        row.hasProgress = true;
        row.progress = *found;
    }
    serialOfUrl_.insert(project, row.serial);
    return row;
}

void EntryRowModel::InsertAtTop(const QString& project, const QString& status) {
    beginInsertRows({}, 0, 0);
    rows_.push_front(MadeRow(project, status));
    endInsertRows();
}

void EntryRowModel::InsertManyAtTop(const QList<std::pair<QString, QString>>& rows) {
    if (rows.isEmpty()) {
        return;
    }
    beginInsertRows({}, 0, static_cast<int>(rows.size()) - 1);
    for (const auto& [project, status] : rows) {
        rows_.push_front(MadeRow(project, status));
    }
    endInsertRows();
}

void EntryRowModel::SetStatus(int row, const QString& status) {
    if (row < 0 || row >= Count()) {
        return;
    }
    Row& changed = rows_[static_cast<std::size_t>(row)];
    changed.status = status;
    changed.statusKey = status.toCaseFolded();
    EmitRowChanged(row, StatusColumn, StatusColumn);
}

void EntryRowModel::SetProject(int row, const QString& project) {
    if (row < 0 || row >= Count()) {
        return;
    }
    Row& changed = rows_[static_cast<std::size_t>(row)];
    Forget(changed);
    changed.project = project;
    changed.projectKey = project.toCaseFolded();
    serialOfUrl_.insert(project, changed.serial);
    // The progress shown is the new name's, not the old one's.
    const auto found = progressOfUrl_.constFind(project);
    changed.hasProgress = found != progressOfUrl_.constEnd();
    changed.progress = changed.hasProgress ? *found : TransferSnapshot{};
    EmitRowChanged(row, ProjectColumn, EtaColumn);
}

void EntryRowModel::Remove(int row) {
    if (row < 0 || row >= Count()) {
        return;
    }
    beginRemoveRows({}, row, row);
    Forget(rows_[static_cast<std::size_t>(row)]);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void EntryRowModel::Clear() {
    beginResetModel();
    rows_.clear();
    serialOfUrl_.clear();
    endResetModel();
}

void EntryRowModel::ShowProgress(const QString& url, const TransferSnapshot& progress) {
    progressOfUrl_.insert(url, progress);
    const auto found = serialOfUrl_.constFind(url);
    if (found == serialOfUrl_.constEnd()) {
        return;
    }
    const int row = RowOfSerial(*found);
    if (row < 0) {
        return;
    }
    Row& shown = rows_[static_cast<std::size_t>(row)];
    shown.hasProgress = true;
    shown.progress = progress;
    EmitRowChanged(row, SizeColumn, EtaColumn);
}

void EntryRowModel::HoldProgress(const QString& url) {
    const auto found = progressOfUrl_.constFind(url);
    if (found == progressOfUrl_.constEnd()) {
        return;
    }
    TransferSnapshot held = *found;
    held.bytesPerSecond = 0;
    held.etaSeconds = -1;
    ShowProgress(url, held);
}

int EntryRowModel::OverallPercent(const std::vector<std::string>& urls) const {
    double done = 0;
    double total = 0;
    for (const std::string& url : urls) {
        const auto found = progressOfUrl_.constFind(QString::fromStdString(url));
        if (found != progressOfUrl_.constEnd() && found->total > 0) {
            done += static_cast<double>(found->done);
            total += static_cast<double>(found->total);
        }
    }
    return total > 0 ? std::clamp(static_cast<int>(done * 100.0 / total), 0, 100) : -1;
}

int EntryRowModel::RowOfSerial(std::uint64_t serial) const {
    const auto found =
        std::lower_bound(rows_.begin(), rows_.end(), serial,
                         [](const Row& row, std::uint64_t wanted) { return row.serial > wanted; });
    return found != rows_.end() && found->serial == serial ? static_cast<int>(found - rows_.begin())
                                                           : -1;
}

void EntryRowModel::Forget(const Row& row) {
    const auto found = serialOfUrl_.find(row.project);
    if (found != serialOfUrl_.end() && *found == row.serial) {
        serialOfUrl_.erase(found);
    }
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
