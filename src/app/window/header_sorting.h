// Sorting a list by clicking its column headers: the first click on a column sorts it ascending, the next
// reverses it; the sort mark shows once the user has clicked.
#pragma once

class QTreeView;

namespace hw::window {

void SortOnHeaderClicks(QTreeView& view);

} // namespace hw::window
