// Qt's own texts follow the program's language.
#include "i18n/language.h"
#include "ui/qt_language.h"

#include <QApplication>
#include <QKeySequence>

#include <gtest/gtest.h>

#include <filesystem>

namespace hw::ui {
namespace {

const std::string kShippedFile =
    (std::filesystem::path(__FILE__).parent_path() / "../../data/LANGUAGE.INI").lexically_normal().string();

QString KeyNames() {
    return QKeySequence(QStringLiteral("Ctrl+Del")).toString(QKeySequence::NativeText);
}

TEST(QtLanguageTest, KeyNamesAndQtDialogTextsFollowTheProgramsLanguage) {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    i18n::SetLanguageFilePath(kShippedFile);
    {
        const QtLanguage language;
        i18n::ApplyLanguage("Deutsch");
        EXPECT_EQ(KeyNames(), "Strg+Entf");
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
        i18n::ApplyLanguage("English");
        EXPECT_EQ(KeyNames(), "Ctrl+Del");
        i18n::ApplyLanguage("Deutsch");
    }
    // Gone with its owner.
    EXPECT_EQ(KeyNames(), "Ctrl+Del");
    i18n::ApplyLanguage("English");
    i18n::SetLanguageFilePath("");
}

} // namespace
} // namespace hw::ui
