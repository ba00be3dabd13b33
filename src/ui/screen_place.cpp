#include "ui/screen_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace hw::ui {

namespace {

int Area(const QRect& rect) {
    return rect.isEmpty() ? 0 : rect.width() * rect.height();
}

// The window system tells the frame only once the window was shown; until then a title bar is assumed.
QMargins FrameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    const QMargins known = handle ? handle->frameMargins() : QMargins();
    if (!known.isNull()) return known;
    return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), 0, 0};
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

void PlaceOnScreen(QWidget& window, QRect inner) {
    const QMargins margins = FrameMargins(window);
    // The layout will not let the window be smaller than this, so the place is found for the size it gets.
    inner.setSize(inner.size().expandedTo(window.minimumSizeHint()));
    window.setGeometry(OnScreen(inner.marginsAdded(margins), AvailableScreenAreas()).marginsRemoved(margins));
}

} // namespace hw::ui
