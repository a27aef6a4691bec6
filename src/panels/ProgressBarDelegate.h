#pragma once

#include <QStyledItemDelegate>

namespace tarnwick {

// Draws the progress column as a bar with its percent; a transfer of unknown length as a
// busy bar, a crawl's counts as plain text (it has no whole to show a share of), and a row
// without a transfer as an empty cell.
class ProgressBarDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace tarnwick
