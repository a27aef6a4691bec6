#pragma once

#include <QTreeWidget>

#include "model/UiPort.h"

class QMenu;

namespace tarnwick {

// The entry list: the entries of the current category, newest on top, in the columns
// "Project" and "Status". It reports what the user does (selection changes, context-menu
// commands) and leaves the decisions to the main window. Every row operation may be called
// from any thread; from a worker it returns once the GUI thread has applied it.
class CListPanel : public QTreeWidget, public EntryRows {
    Q_OBJECT

public:
    // The context menu's commands, by the identifiers the main menu uses too.
    enum Command { DeleteCommand = 32787, PropertiesCommand = 32789,
                   SendToFilesCommand = 32796, SendToWebSitesCommand = 32797 };

    explicit CListPanel(QWidget* parent = nullptr);

    bool InsertRowAtTop(const std::string& project, const std::string& status) override;
    void SetRowStatus(int row, const std::string& status) override;
    void SetRowProject(int row, const std::string& project) override;
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    int RowCount() override;
    int SelectedCount() override;
    bool IsRowSelected(int row) override;
    std::string RowText(int row, int column) override;

    // True when the last right-click happened while "Search Results" was shown.
    bool SendToEnabled() const { return sendToEnabled_; }
    // Told by the main window before each right-click's menu, from the current category.
    void SetSearchResultsShown(bool shown) { searchResultsShown_ = shown; }

    QMenu* ContextMenu() const { return contextMenu_; }

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

    QMenu* contextMenu_;
    bool sendToEnabled_ = true;
    bool searchResultsShown_ = false;
};

}  // namespace tarnwick
