#include "ui/qt_language.h"

#include "ui/ui_text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace hw::ui {

QtLanguage::QtLanguage() : subscription_(i18n::OnLanguageChanged([this] { Load(); })) {
    Load();
}

QtLanguage::~QtLanguage() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
}

void QtLanguage::Load() {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    installed_ = translator_.load(QLocale(UiText(i18n::Text::QtLocale)), QStringLiteral("qtbase"),
                                  QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                 QCoreApplication::installTranslator(&translator_);
}

} // namespace hw::ui
