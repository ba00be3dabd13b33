// Not a check: saves pictures of the main window for looking at by eye. Run with
//   HIVEWRIGHT_SCREENSHOT_DIR=/tmp/shots test_window --gtest_also_run_disabled_tests
//   --gtest_filter='*Screenshot*'
#include "support/qt/child.h"
#include "support/qt/window_fixture.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QTimer>
#include <QTreeView>

#include <cstdlib>

namespace hw::test {
namespace {

class ScreenshotTest : public MainWindowTest {};

TEST_F(ScreenshotTest, DISABLED_SaveMainWindowPictures) {
    const char* dir = std::getenv("HIVEWRIGHT_SCREENSHOT_DIR");
    ASSERT_NE(dir, nullptr);
    WriteText("HKEY_CURRENT_USER\\Software\\Example", "", "default text");
    WriteText("HKEY_CURRENT_USER\\Software\\Example", "Greeting", "Hello, world");
    WriteRawValue("HKEY_CURRENT_USER\\Software\\Example", "Counter", REG_DWORD, {0x1A, 0, 0, 0});
    WriteRawValue("HKEY_CURRENT_USER\\Software\\Example", "Blob", REG_BINARY, {1, 2, 3, 0x41, 0x42, 0xFF});
    CreateKeyPath("HKEY_CURRENT_USER\\Software\\Example\\Child");
    CreateWindow();
    frmMain_->show();
    ASSERT_TRUE(Browser().GoToPath("HKCU\\Software\\Example"));
    QApplication::processEvents();
    frmMain_->grab().save(QString(dir) + "/main.png");

    QTimer::singleShot(300, [&] {
        frmMain_->grab().save(QString(dir) + "/menu_edit.png");
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->grab().save(QString(dir) + "/menu_popup.png");
        QApplication::activePopupWidget()->close();
    });
    Child<QMenu>(*frmMain_, "mnitmEdit")->exec(frmMain_->mapToGlobal(QPoint(60, 20)));
    frmMain_->resize(1000, 600);
    QApplication::processEvents();
    frmMain_->grab().save(QString(dir) + "/main_large.png");

    // A dark desktop theme.
    const QPalette saved = QApplication::palette();
    QPalette dark(QColor(45, 45, 45), QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 40));
    QApplication::setPalette(dark);
    QApplication::processEvents();
    frmMain_->grab().save(QString(dir) + "/main_dark.png");
    QApplication::setPalette(saved);
}

} // namespace
} // namespace hw::test
