// Keeping a window on the screens there are: a place saved on a screen that is gone, or partly off one,
// comes back whole onto a screen, so that its title bar can always be reached.
#pragma once

#include <QList>
#include <QRect>

class QWidget;

namespace hw::ui {

// The frame moved (and shrunk where it is larger) into the available area of the screen it covers most;
// onto the first screen when it covers none. Unchanged without screens.
QRect OnScreen(QRect frame, const QList<QRect>& screens);

// The available areas of the screens, the primary one first.
QList<QRect> AvailableScreenAreas();

// Gives the window that inner geometry (its frame's inside), moved and shrunk so that the whole frame,
// title bar included, is on a screen.
void PlaceOnScreen(QWidget& window, QRect inner);

} // namespace hw::ui
