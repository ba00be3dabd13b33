// How the key tree and the value list draw their cells: the selection of the unfocused pane in the inactive
// colour, and a tool tip with the whole text of a cell that is cut (or the model's own tip).
#pragma once

#include <QStyledItemDelegate>

namespace hw::ui {

class ItemViewDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    ItemViewDelegate(bool tipsForCutCells, QObject* parent)
        : QStyledItemDelegate(parent), tipsForCutCells_(tipsForCutCells) {}

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    bool tipsForCutCells_;
};

} // namespace hw::ui
