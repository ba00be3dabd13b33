// Not a check: saves pictures of the Find and Replace windows holding thousands of rows, in English and
// German, for looking at by eye. Run with
//   HIVEWRIGHT_SCREENSHOT_DIR=/tmp/shots test_search_window --gtest_also_run_disabled_tests
//   --gtest_filter='*Screenshot*'
#include "i18n/language.h"
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <cstdlib>

namespace hw::test {
namespace {

class FindScreenshotTest : public MainWindowTest {};

TEST_F(FindScreenshotTest, DISABLED_SaveFindWindowPictures) {
    const char* dir = std::getenv("HIVEWRIGHT_SCREENSHOT_DIR");
    ASSERT_NE(dir, nullptr);
    for (int i = 0; i < 3000; ++i) {
        const std::string key = "HKEY_CURRENT_USER\\Software\\Shots\\Key" + std::to_string(i);
        WriteText(key, "Greeting" + std::to_string(i), "hello number " + std::to_string(i));
        WriteRawValue(key, "Count", REG_DWORD, {static_cast<BYTE>(i), 0, 0, 0});
        WriteRawValue(key, "Blob", REG_BINARY, {0x4E, 0x55, 0x4D, static_cast<BYTE>(i)});
    }
    CreateWindow();
    i18n::SetLanguageFilePath(
        std::string(std::getenv("HIVEWRIGHT_LANGUAGE_FILE") ? std::getenv("HIVEWRIGHT_LANGUAGE_FILE") : ""));
    for (const char* language : {"", "Deutsch"}) {
        i18n::ApplyLanguage(language);
        frmFind_->ApplyLanguage();
        frmReplace_->ApplyLanguage();
        for (window::TfrmFind* window : {frmFind_.get(), frmReplace_.get()}) {
            window->SetCurrentKey("HKEY_CURRENT_USER\\Software\\Shots");
            Child<QCheckBox>(*window, "chckbxWildCharSupport")->setChecked(false);
            Child<QLineEdit>(*window, "edtItem")->setText("n");
            window->show();
            window->btnOkClick();
            QApplication::processEvents();
            const QString name = window == frmFind_.get() ? "find" : "replace";
            window->grab().save(QString(dir) + "/" + name + (*language ? "_de" : "_en") + ".png");
            Child<QCheckBox>(*window, "chckbxShowHelpInfo")->setChecked(true);
            QApplication::processEvents();
            window->grab().save(QString(dir) + "/" + name + (*language ? "_de" : "_en") + "_help.png");
            Child<QCheckBox>(*window, "chckbxShowHelpInfo")->setChecked(false);
            window->hide();
        }
    }
    i18n::ApplyLanguage("");
    i18n::SetLanguageFilePath("");
}

} // namespace
} // namespace hw::test
