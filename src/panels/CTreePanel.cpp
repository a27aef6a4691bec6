#include "panels/CTreePanel.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "model/ListCategory.h"

namespace tarnwick {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTreeWidgetItem* AddGroup(QTreeWidget* tree, std::string_view text,
                          const std::array<ListCategory, 3>& categories) {
    auto* group = new QTreeWidgetItem(tree, QStringList{ToQString(text)});
    for (ListCategory category : categories) {
        new QTreeWidgetItem(group, QStringList{ToQString(TreeText(category))});
    }
    return group;
}

}  // namespace

CTreePanel::CTreePanel(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The selection shows only while the tree has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);

    QTreeWidgetItem* requested = AddGroup(this, kRequestedItemsText, kRequestedCategories);
    AddGroup(this, kDownloadedItemsText, kDownloadedCategories);
    requested->setExpanded(true);
    setCurrentItem(requested->child(0));
}

void CTreePanel::SelectItem(const QString& text) {
    const auto found = findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty()) {
        setCurrentItem(found.first());
        ReportSelectedItem();
    }
}

void CTreePanel::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    ReportSelectedItem();
}

void CTreePanel::keyReleaseEvent(QKeyEvent* event) {
    ReportSelectedItem();
    QTreeWidget::keyReleaseEvent(event);
}

void CTreePanel::ReportSelectedItem() {
    if (QTreeWidgetItem* item = currentItem()) {
        emit ItemChosen(item->text(0));
    }
}

}  // namespace tarnwick
