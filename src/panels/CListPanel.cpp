#include "panels/CListPanel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

#include "panels/EntryRowFilter.h"
#include "panels/EntryRowModel.h"
#include "panels/GuiThread.h"
#include "panels/ProgressBarDelegate.h"

namespace tarnwick {

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

void CListPanel::ShowCategory(ListCategory category, const std::vector<EntryView>& entries) {
    // Sorting a whole list at once is far cheaper than sorting each row in as it comes.
    const int column = filter_->sortColumn();
    const Qt::SortOrder order = filter_->sortOrder();
    if (column >= 0) {
        filter_->sort(-1);
    }
    rows_->Show(category, entries);
    if (column >= 0) {
        filter_->sort(column, order);
    }
}

ListCategory CListPanel::ShownCategory() const {
    return rows_->Shown();
}

std::vector<EntryId> CListPanel::SelectedIds() const {
    std::vector<int> rows;
    for (const QModelIndex& shown : selectionModel()->selectedRows()) {
        rows.push_back(filter_->mapToSource(shown).row());
    }
    std::sort(rows.begin(), rows.end());
    std::vector<EntryId> ids;
    ids.reserve(rows.size());
    for (const int row : rows) {
        ids.push_back(rows_->IdAt(row));
    }
    return ids;
}

void CListPanel::EntryAdded(const EntryView& entry) {
    RunOnGuiThreadAndWait(this, [this, entry] { rows_->Add(entry); });
}

void CListPanel::EntryChanged(const EntryChange& change) {
    RunOnGuiThreadAndWait(this, [this, change] { rows_->Change(change); });
}

void CListPanel::EntryRemoved(ListCategory list, EntryId id) {
    RunOnGuiThreadAndWait(this, [this, list, id] { rows_->Remove(list, id); });
}

void CListPanel::ListsEmptied() {
    RunOnGuiThreadAndWait(this, [this] { rows_->Clear(); });
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
