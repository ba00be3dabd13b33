// The window program's application object: a failure that escapes a command is shown, and the program goes
// on; Qt's own texts follow the program's language.
#pragma once

#include "ui/qt_language.h"

#include <QApplication>

namespace hw::window {

class HivewrightApplication : public QApplication {
  public:
    HivewrightApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    ui::QtLanguage qtLanguage_;
};

} // namespace hw::window
