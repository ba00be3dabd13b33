#include "platform/qt/title_width.h"

#include <QFontMetrics>
#include <QWidget>

namespace hw::platform {

namespace {

// The window icon and the minimise, maximise and close buttons of a common title bar.
constexpr int kTitleBarControls = 4 * 32;
constexpr int kTitleMargins = 2 * 16;

} // namespace

int TitleBarWidth(const QWidget& window) {
    QFont font = window.font();
    font.setBold(true);
    // The title's "[*]" stands for the modified mark, which takes about as much room.
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + kTitleBarControls + kTitleMargins;
}

} // namespace hw::platform
