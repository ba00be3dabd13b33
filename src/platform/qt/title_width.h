// How wide a window must be for its title bar to show the whole title: window managers cut a title
// wider than its window ("S…fy" for "System Notify").
#pragma once

class QWidget;

namespace hw::platform {

// The title's width in the title bar's (bold) font, with room for the bar's icon and buttons.
int TitleBarWidth(const QWidget& window);

} // namespace hw::platform
