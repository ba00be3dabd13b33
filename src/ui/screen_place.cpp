#include "ui/screen_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace hw::ui {

namespace {

int Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : rect.width() * rect.height();
}

QMargins FrameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

} // namespace

QRect OnScreen(QRect frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return frame;
    QRect screen = screens.front();
    int covered = 0;
    for (const QRect& candidate : screens) {
        const int area = Area(candidate.intersected(frame));
        if (area > covered) {
            covered = area;
            screen = candidate;
        }
    }
    frame.setSize(frame.size().boundedTo(screen.size()));
    frame.moveLeft(std::clamp(frame.left(), screen.left(), screen.right() + 1 - frame.width()));
    frame.moveTop(std::clamp(frame.top(), screen.top(), screen.bottom() + 1 - frame.height()));
    return frame;
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) areas.append(screen->availableGeometry());
    return areas;
}

void PlaceOnScreen(QWidget& window, QPoint framePlace, QSize innerSize) {
    const QMargins margins = FrameMargins(window);
    // The layout will not let the window be smaller than this, so the place is found for the size it gets.
    const QSize frameSize = innerSize.expandedTo(window.minimumSizeHint()).grownBy(margins);
    const QRect placed = OnScreen(QRect(framePlace, frameSize), AvailableScreenAreas());
    window.resize(placed.size().shrunkBy(margins));
    window.move(placed.topLeft());
}

} // namespace hw::ui
