#include "panels/CDnldList.h"

#include <QDesktopServices>
#include <QDir>
#include <QMouseEvent>
#include <QUrl>

#include "panels/GuiThread.h"

namespace tarnwick {

namespace {

constexpr int kItemIdRole = Qt::UserRole;

}  // namespace

CDnldList::CDnldList(QWidget* parent)
    : QTreeWidget(parent), opener_([](const QString& absolutePath) {
          QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
      }) {
    setHeaderHidden(true);
    // Long paths keep their file name in view.
    setTextElideMode(Qt::ElideMiddle);
    setColumnCount(1);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    AddTopLevelItem(QStringLiteral("No files downloaded"));
}

QTreeWidgetItem* CDnldList::AddTopLevelItem(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kItemIdRole, nextItemId_++);
    addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* CDnldList::TopLevelItemWithId(int id) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (item->data(0, kItemIdRole).toInt() == id) {
            return item;
        }
    }
    return nullptr;
}

void CDnldList::ClearPlaceholderItem() {
    RunOnGuiThreadAndWait(this, [this] {
        const QTreeWidgetItem* first = topLevelItem(0);
        if (first != nullptr && first->text(0).contains(QStringLiteral("No files"))) {
            clear();
        }
    });
}

int CDnldList::FindOrAddProjectItem(const std::string& projectName) {
    return RunOnGuiThreadAndWait(this, [this, name = QString::fromStdString(projectName)] {
        for (int i = 0; i < topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = topLevelItem(i);
            if (item->text(0).contains(name, Qt::CaseSensitive)) {
                return item->data(0, kItemIdRole).toInt();
            }
        }
        return AddTopLevelItem(name)->data(0, kItemIdRole).toInt();
    });
}

void CDnldList::AddDownloadedFileItem(int projectItem, const std::string& localPath) {
    RunOnGuiThreadAndWait(this, [this, projectItem, path = QString::fromStdString(localPath)] {
        QTreeWidgetItem* project = TopLevelItemWithId(projectItem);
        if (project == nullptr) {
            return;
        }
        project->addChild(new QTreeWidgetItem(QStringList{path}));
        project->setExpanded(true);
    });
}

void CDnldList::mouseDoubleClickEvent(QMouseEvent* event) {
    // The tree's own handling first: it opens or closes a project item.
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty() || selected.first()->parent() == nullptr) {
        return;
    }
    // Paths are relative to the working directory, where the crawler saved them.
    opener_(QDir::current().absoluteFilePath(selected.first()->text(0)));
}

}  // namespace tarnwick
