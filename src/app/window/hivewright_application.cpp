#include "app/window/hivewright_application.h"

#include "util/dialog.h"

#include <exception>

namespace hw::window {

bool HivewrightApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        util::ErrorBox(failure.what());
    } catch (...) {
        util::ErrorBox("Unknown error");
    }
    return false;
}

} // namespace hw::window
