#include "app/window/header_sorting.h"

#include <QHeaderView>
#include <QTreeView>

namespace hw::window {

void SortOnHeaderClicks(QTreeView& view) {
    QHeaderView* header = view.header();
    // The view's own sorting would sort at once; until a click the model keeps its own order.
    header->setSortIndicatorShown(false);
    // No column holds the mark yet, so that each column's first click sorts it ascending.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSectionsClickable(true);
    QObject::connect(header, &QHeaderView::sortIndicatorChanged, &view,
                     [&view, header](int section, Qt::SortOrder order) {
                         header->setSortIndicatorShown(true);
                         if (view.model()) view.model()->sort(section, order);
                     });
}

} // namespace hw::window
