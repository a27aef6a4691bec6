#include "panels/CListPanel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "panels/EntryRowFilter.h"
#include "panels/EntryRowModel.h"
#include "panels/GuiThread.h"
#include "panels/ProgressBarDelegate.h"

namespace tarnwick {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CListPanel::CListPanel(QWidget* parent)
    : QTreeView(parent),
      rows_(new EntryRowModel(this)),
      filter_(new EntryRowFilter(rows_, this)),
      contextMenu_(new QMenu(this)),
      headerMenu_(new QMenu(this)) {
    setModel(filter_);
    setItemDelegateForColumn(EntryRowModel::ProgressColumn, new ProgressBarDelegate(this));
    header()->setDefaultAlignment(Qt::AlignCenter);
    header()->setSectionsMovable(true);
    header()->setStretchLastSection(false);
    setColumnWidth(EntryRowModel::ProjectColumn, 335);
    setColumnWidth(EntryRowModel::StatusColumn, 140);
    setColumnWidth(EntryRowModel::SizeColumn, 80);
    // Wide enough for a crawl's "240 pages, 18 files, 950 queued".
    setColumnWidth(EntryRowModel::ProgressColumn, 205);
    setColumnWidth(EntryRowModel::SpeedColumn, 90);
    setColumnWidth(EntryRowModel::EtaColumn, 60);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // No column is chosen at first: the core's order, newest on top.
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    header()->setSortIndicatorShown(true);
    setSortingEnabled(true);
    // The selection shows only while the list has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);

    auto addCommand = [this](QMenu* menu, const QString& text, Command command) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this,
                [this, command] { emit CommandChosen(command); });
        return action;
    };
    openActions_ << addCommand(contextMenu_, tr("Open"), OpenCommand);
    openActions_ << addCommand(contextMenu_, tr("Open Containing Folder"), OpenFolderCommand);
    openReportAction_ = addCommand(contextMenu_, tr("Open Report"), OpenReportCommand);
    openActions_ << contextMenu_->addSeparator();
    SetOpenCommandsShown(false, false);
    addCommand(contextMenu_, tr("Delete\tDel"), DeleteCommand);
    contextMenu_->addSeparator();
    QMenu* sendTo = contextMenu_->addMenu(tr("Send To"));
    addCommand(sendTo, tr("&Requested Files List"), SendToFilesCommand);
    addCommand(sendTo, tr("Requested &Web Sites"), SendToWebSitesCommand);
    contextMenu_->addSeparator();
    addCommand(contextMenu_, tr("Properties..."), PropertiesCommand);

    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        FillHeaderMenu();
        headerMenu_->popup(header()->mapToGlobal(at));
    });
}

void CListPanel::FillHeaderMenu() {
    headerMenu_->clear();
    for (int column = 0; column < EntryRowModel::ColumnCount; ++column) {
        QAction* shown = headerMenu_->addAction(
            rows_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        shown->setCheckable(true);
        shown->setChecked(!isColumnHidden(column));
        // The project column stays: without it no row could be told from another.
        shown->setEnabled(column != EntryRowModel::ProjectColumn);
        connect(shown, &QAction::toggled, this,
                [this, column](bool on) { setColumnHidden(column, !on); });
    }
    headerMenu_->addSeparator();
    QAction* unsorted = headerMenu_->addAction(tr("Newest First"));
    connect(unsorted, &QAction::triggered, this, [this] { sortByColumn(-1, Qt::AscendingOrder); });
}

void CListPanel::SetOpenCommandsShown(bool downloaded, bool sites) {
    for (QAction* action : openActions_) {
        action->setVisible(downloaded || (sites && action->isSeparator()));
    }
    openReportAction_->setVisible(sites);
}

bool CListPanel::InsertRowAtTop(const std::string& project, const std::string& status) {
    return RunOnGuiThreadAndWait(this, [this, project, status] {
        rows_->InsertAtTop(FromUtf8(project), FromUtf8(status));
        return true;
    });
}

std::size_t CListPanel::InsertRowsAtTop(
    const std::vector<std::pair<std::string, std::string>>& rows) {
    return RunOnGuiThreadAndWait(this, [this, &rows] {
        QList<std::pair<QString, QString>> texts;
        texts.reserve(static_cast<qsizetype>(rows.size()));
        for (const auto& [project, status] : rows) {
            texts.emplace_back(FromUtf8(project), FromUtf8(status));
        }
        // Sorting a whole list at once is far cheaper than sorting each row in as it comes.
        const int column = filter_->sortColumn();
        const Qt::SortOrder order = filter_->sortOrder();
        if (column >= 0) {
            filter_->sort(-1);
        }
        rows_->InsertManyAtTop(texts);
        if (column >= 0) {
            filter_->sort(column, order);
        }
        return rows.size();
    });
}

void CListPanel::SetRowStatus(int row, const std::string& status) {
    RunOnGuiThreadAndWait(this, [this, row, status] { rows_->SetStatus(row, FromUtf8(status)); });
}

void CListPanel::SetRowProject(int row, const std::string& project) {
    RunOnGuiThreadAndWait(this,
                          [this, row, project] { rows_->SetProject(row, FromUtf8(project)); });
}

void CListPanel::DeleteRow(int row) {
    RunOnGuiThreadAndWait(this, [this, row] { rows_->Remove(row); });
}

void CListPanel::DeleteAllRows() {
    RunOnGuiThreadAndWait(this, [this] { rows_->Clear(); });
}

int CListPanel::RowCount() {
    return RunOnGuiThreadAndWait(this, [this] { return rows_->Count(); });
}

int CListPanel::SelectedCount() {
    return RunOnGuiThreadAndWait(
        this, [this] { return static_cast<int>(selectionModel()->selectedRows().size()); });
}

bool CListPanel::IsRowSelected(int row) {
    return RunOnGuiThreadAndWait(this, [this, row] {
        const int shown = ViewRowOf(row);
        return shown >= 0 && selectionModel()->isRowSelected(shown, {});
    });
}

std::string CListPanel::RowText(int row, int column) {
    return RunOnGuiThreadAndWait(this, [this, row, column] {
        return row >= 0 && row < rows_->Count()
                   ? rows_->index(row, column).data().toString().toStdString()
                   : std::string();
    });
}

void CListPanel::ShowTransferProgress(const std::string& url, const TransferSnapshot& progress) {
    RunOnGuiThreadAndWait(this,
                          [this, url, progress] { rows_->ShowProgress(FromUtf8(url), progress); });
}

void CListPanel::ShowTransferHeld(const std::string& url) {
    RunOnGuiThreadAndWait(this, [this, url] { rows_->HoldProgress(FromUtf8(url)); });
}

void CListPanel::SetFilterText(const QString& text) {
    filter_->SetFilterText(text);
}

int CListPanel::ViewRowOf(int row) const {
    if (row < 0 || row >= rows_->Count()) {
        return -1;
    }
    const QModelIndex shown = filter_->mapFromSource(rows_->index(row, 0));
    return shown.isValid() ? shown.row() : -1;
}

QByteArray CListPanel::ColumnLayout() const {
    return header()->saveState();
}

void CListPanel::RestoreColumnLayout(const QByteArray& layout) {
    if (!layout.isEmpty()) {
        header()->restoreState(layout);
    }
    // A layout of an older run may have hidden the one column every row needs.
    setColumnHidden(EntryRowModel::ProjectColumn, false);
}

void CListPanel::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        sendToEnabled_ = searchResultsShown_;
        if (selectionModel()->hasSelection()) {
            OpenContextMenu(event->globalPosition().toPoint());
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        emit SelectionTouched();
    }
}

void CListPanel::keyReleaseEvent(QKeyEvent* event) {
    emit SelectionTouched();
    QTreeView::keyReleaseEvent(event);
}

void CListPanel::OpenContextMenu(const QPoint& position) {
    // Every item is enabled whenever the menu opens: each command decides for itself.
    contextMenu_->popup(position);
}

}  // namespace tarnwick
