#include "panels/CListPanel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "panels/GuiThread.h"

namespace tarnwick {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CListPanel::CListPanel(QWidget* parent) : QTreeWidget(parent), contextMenu_(new QMenu(this)) {
    setColumnCount(2);
    setHeaderLabels({tr("Project"), tr("Status")});
    header()->setDefaultAlignment(Qt::AlignCenter);
    setColumnWidth(0, 250);
    setColumnWidth(1, 300);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    // The selection shows only while the list has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);

    auto addCommand = [this](QMenu* menu, const QString& text, Command command) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, command] { emit CommandChosen(command); });
        return action;
    };
    addCommand(contextMenu_, tr("Delete\tDel"), DeleteCommand);
    contextMenu_->addSeparator();
    QMenu* sendTo = contextMenu_->addMenu(tr("Send To"));
    addCommand(sendTo, tr("&Requested Files List"), SendToFilesCommand);
    addCommand(sendTo, tr("Requested &Web Sites"), SendToWebSitesCommand);
    contextMenu_->addSeparator();
    addCommand(contextMenu_, tr("Properties..."), PropertiesCommand);
}

bool CListPanel::InsertRowAtTop(const std::string& project, const std::string& status) {
    return RunOnGuiThreadAndWait(this, [this, project, status] {
        insertTopLevelItem(0, new QTreeWidgetItem(QStringList{FromUtf8(project), FromUtf8(status)}));
        return true;
    });
}

void CListPanel::SetRowStatus(int row, const std::string& status) {
    RunOnGuiThreadAndWait(this, [this, row, status] {
        if (QTreeWidgetItem* item = topLevelItem(row)) {
            item->setText(1, FromUtf8(status));
        }
    });
}

void CListPanel::SetRowProject(int row, const std::string& project) {
    RunOnGuiThreadAndWait(this, [this, row, project] {
        if (QTreeWidgetItem* item = topLevelItem(row)) {
            item->setText(0, FromUtf8(project));
        }
    });
}

void CListPanel::DeleteRow(int row) {
    RunOnGuiThreadAndWait(this, [this, row] { delete takeTopLevelItem(row); });
}

void CListPanel::DeleteAllRows() {
    RunOnGuiThreadAndWait(this, [this] { clear(); });
}

int CListPanel::RowCount() {
    return RunOnGuiThreadAndWait(this, [this] { return topLevelItemCount(); });
}

int CListPanel::SelectedCount() {
    return RunOnGuiThreadAndWait(this, [this] { return static_cast<int>(selectedItems().size()); });
}

bool CListPanel::IsRowSelected(int row) {
    return RunOnGuiThreadAndWait(this, [this, row] {
        QTreeWidgetItem* item = topLevelItem(row);
        return item != nullptr && item->isSelected();
    });
}

std::string CListPanel::RowText(int row, int column) {
    return RunOnGuiThreadAndWait(this, [this, row, column] {
        QTreeWidgetItem* item = topLevelItem(row);
        return item != nullptr ? item->text(column).toStdString() : std::string();
    });
}

void CListPanel::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        sendToEnabled_ = searchResultsShown_;
        if (!selectedItems().isEmpty()) {
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
    QTreeWidget::keyReleaseEvent(event);
}

void CListPanel::OpenContextMenu(const QPoint& position) {
    // Every item is enabled whenever the menu opens: each command decides for itself.
    contextMenu_->popup(position);
}

}  // namespace tarnwick
