#pragma once

#include <QByteArray>
#include <QTreeView>

#include <vector>

#include "model/EntryEvents.h"

class QMenu;

namespace tarnwick {

class EntryRowFilter;
class EntryRowModel;

// The entry list: the entries of the category shown, newest on top, in the columns "Project"
// and "Status", then the transfer's size, progress, speed and time left. Clicking a header
// sorts and the filter text narrows what is shown; the rows are kept by entry, so sorting and
// filtering never change which entry a command acts on. It reports what the user does
// (selection changes, context-menu commands) and leaves the decisions to the main window.
// The entry events may come from any thread; from a worker each returns once the GUI thread
// has applied it.
class CListPanel : public QTreeView, public EntryEvents {
    Q_OBJECT

public:
    // The context menu's commands, by the identifiers the main menu uses too.
    enum Command {
        DeleteCommand = 32787,
        PropertiesCommand = 32789,
        SendToFilesCommand = 32796,
        SendToWebSitesCommand = 32797,
        OpenCommand = 33001,
        OpenFolderCommand = 33002,
        OpenReportCommand = 33003
    };

    explicit CListPanel(QWidget* parent = nullptr);

    // Shows a category's entries, given oldest first.
    void ShowCategory(ListCategory category, const std::vector<EntryView>& entries);
    ListCategory ShownCategory() const;
    // The selected entries, top row of the core's order first.
    std::vector<EntryId> SelectedIds() const;

    void EntryAdded(const EntryView& entry) override;
    void EntryChanged(const EntryChange& change) override;
    void EntryRemoved(ListCategory list, EntryId id) override;
    void ListsEmptied() override;

    void SetFilterText(const QString& text);
    // The screen position of a row of the core, -1 while the filter hides it.
    int ViewRowOf(int row) const;
    EntryRowModel* Rows() const { return rows_; }
    EntryRowFilter* Filter() const { return filter_; }

    // The columns' order, widths, visibility and sorting, to be restored in a later run.
    QByteArray ColumnLayout() const;
    void RestoreColumnLayout(const QByteArray& layout);

    // True when the last right-click happened while "Search Results" was shown.
    bool SendToEnabled() const { return sendToEnabled_; }
    // Told by the main window before each right-click's menu, from the current category.
    void SetSearchResultsShown(bool shown) { searchResultsShown_ = shown; }
    // Told likewise which open commands the entries shown have: downloaded ones can be
    // opened, and a site's, requested or downloaded, has the report of its last run.
    void SetOpenCommandsShown(bool downloaded, bool sites);

    QMenu* ContextMenu() const { return contextMenu_; }
    QMenu* HeaderMenu() const { return headerMenu_; }

signals:
    // The selection may have changed: the main window echoes it into the status panel.
    void SelectionTouched();
    // A command chosen from the panel's own context menu.
    void CommandChosen(int command);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void OpenContextMenu(const QPoint& position);
    void FillHeaderMenu();

    EntryRowModel* rows_;
    EntryRowFilter* filter_;
    QMenu* contextMenu_;
    QMenu* headerMenu_;
    QList<QAction*> openActions_;
    QAction* openReportAction_ = nullptr;
    bool sendToEnabled_ = true;
    bool searchResultsShown_ = false;
};

}  // namespace tarnwick
