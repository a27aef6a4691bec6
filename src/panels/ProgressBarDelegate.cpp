#include "panels/ProgressBarDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionProgressBar>

#include "panels/EntryRowModel.h"

namespace tarnwick {

void ProgressBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const int percent = index.data(EntryRowModel::PercentRole).toInt();
    if (percent < 0 && !text.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const bool transferring =
        percent >= 0 ||
        !index.siblingAtColumn(EntryRowModel::SizeColumn).data().toString().isEmpty();
    // The selection background first, as other cells of the row have it.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);
    if (!transferring) {
        return;
    }
    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 2, -2, -2);
    bar.state = option.state | QStyle::State_Horizontal;
    bar.direction = option.direction;
    bar.fontMetrics = option.fontMetrics;
    bar.palette = option.palette;
    // The list blanks its inactive selection colour, which the bar's fill is drawn in: the
    // bar keeps the active one, or it would vanish whenever the window lost the focus.
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        bar.palette.setColor(QPalette::Inactive, role,
                             option.palette.color(QPalette::Active, role));
    }
    bar.minimum = 0;
    bar.maximum = percent >= 0 ? 100 : 0;  // 0 to 0: the style's busy bar
    bar.progress = std::max(percent, 0);
    bar.text = text;
    bar.textVisible = percent >= 0;
    bar.textAlignment = Qt::AlignCenter;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
}

}  // namespace tarnwick
