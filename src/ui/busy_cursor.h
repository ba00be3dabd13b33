// Shows the busy cursor for the lifetime of the object, for long work on the user-interface thread.
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace hw::ui {

class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace hw::ui
