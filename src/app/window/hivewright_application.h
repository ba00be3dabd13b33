// The window program's application object: a failure that escapes a command is shown, and the program goes
// on.
#pragma once

#include <QApplication>

namespace hw::window {

class HivewrightApplication : public QApplication {
  public:
    HivewrightApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace hw::window
