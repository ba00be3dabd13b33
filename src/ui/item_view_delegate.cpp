#include "ui/item_view_delegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace hw::ui {

void ItemViewDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // Ctrl+C, Del and the like act on the focused pane: the other pane's selection looks inactive.
    const QWidget* view = option->widget;
    if (view && !view->hasFocus()) option->state &= ~QStyle::State_Active;
}

bool ItemViewDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!tipsForCutCells_ || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A cell whose model gives a tip (a text shown differently) always shows it.
    const QVariant tip = index.data(Qt::ToolTipRole);
    const QString text = tip.isValid() ? tip.toString() : index.data(Qt::DisplayRole).toString();
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const bool cut = sizeHint(cell, index).width() > view->visualRect(index).width();
    if ((cut || tip.isValid()) && !text.isEmpty())
        QToolTip::showText(event->globalPos(), text, view->viewport(), view->visualRect(index));
    else
        QToolTip::hideText();
    return true;
}

} // namespace hw::ui
