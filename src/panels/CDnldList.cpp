#include "panels/CDnldList.h"

#include <QDesktopServices>
#include <QDir>
#include <QMouseEvent>
#include <QUrl>

#include "panels/GuiThread.h"

namespace tarnwick {

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
    addTopLevelItem(new QTreeWidgetItem(QStringList{QStringLiteral("No files downloaded")}));
}

void CDnldList::CrawlBegan(EntryId project, const std::string& name) {
    RunOnGuiThreadAndWait(this, [this, project, name = QString::fromStdString(name)] {
        const QTreeWidgetItem* first = topLevelItem(0);
        if (first != nullptr && first->text(0).contains(QStringLiteral("No files"))) {
            clear();
            projectItems_.clear();
        }
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (topLevelItem(i)->text(0).contains(name, Qt::CaseSensitive)) {
                projectItems_.insert(project, topLevelItem(i));
                return;
            }
        }
        auto* item = new QTreeWidgetItem(QStringList{name});
        addTopLevelItem(item);
        projectItems_.insert(project, item);
    });
}

void CDnldList::FileStored(EntryId project, const std::string&, const std::string& localPath) {
    RunOnGuiThreadAndWait(this, [this, project, path = QString::fromStdString(localPath)] {
        QTreeWidgetItem* item = projectItems_.value(project);
        if (item == nullptr) {
            return;
        }
        item->addChild(new QTreeWidgetItem(QStringList{path}));
        item->setExpanded(true);
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
