// Qt's own texts (message box and dialog buttons, the file and print dialogs, key names such as Ctrl and
// Del in menus) follow the program's language: each language names its locale in the text table, and
// Qt's translations for that locale come from Qt's translations folder. The application object keeps
// one for the run.
#pragma once

#include "i18n/language.h"

#include <QTranslator>

namespace hw::ui {

class QtLanguage {
  public:
    QtLanguage();
    ~QtLanguage();
    QtLanguage(const QtLanguage&) = delete;
    QtLanguage& operator=(const QtLanguage&) = delete;

  private:
    void Load();

    QTranslator translator_;
    bool installed_ = false;
    i18n::LanguageSubscription subscription_;
};

} // namespace hw::ui
