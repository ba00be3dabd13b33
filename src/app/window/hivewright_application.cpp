#include "app/window/hivewright_application.h"

#include "i18n/text_table.h"
#include "registry/change_journal.h"
#include "util/dialog.h"

#include <QThread>

#include <exception>

namespace hw::window {

bool HivewrightApplication::notify(QObject* receiver, QEvent* event) {
    try {
        // Whatever one event of the window's thread changes in the registry (a key press, a shortcut, a
        // click, a button's delayed click), through any window, is one step to undo; events handled inside it
        // (a modal dialog's) join it.
        if (QThread::currentThread() == thread()) {
            const registry::UndoStep step({});
            return QApplication::notify(receiver, event);
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        util::ErrorBox(failure.what());
    } catch (...) {
        util::ErrorBox(i18n::LookupText(i18n::Text::UnknownError));
    }
    return false;
}

} // namespace hw::window
