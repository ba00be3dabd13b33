// The Windows directory: only an existing absolute folder named by SystemRoot is used.
#include "app/windows_dir.h"
#include "support/qt/window_fixture.h"

#include <filesystem>

namespace hw::test {
namespace {

class WindowsDirTest : public MainWindowTest {};

TEST_F(WindowsDirTest, SystemRootThatIsNoLinuxFolderFallsBackToTheConfigFolder) {
    const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    const std::string fallback = registry_.dir().file("config") + "/hivewright";
    std::filesystem::create_directories(registry_.dir().file("win"));
    const struct {
        std::string systemRoot;
        std::string expected;
    } cases[] = {
        {"C:\\windows", fallback},
        {"C:\\windows\\", fallback},
        {"", fallback},
        {"config", fallback}, // relative: would depend on the current folder
        {registry_.dir().file("absent"), fallback},
        {registry_.dir().file("win"), registry_.dir().file("win")},
        {registry_.dir().file("win") + "\\", registry_.dir().file("win")},
    };
    for (const auto& [systemRoot, expected] : cases) {
        WriteText(key, "SystemRoot", systemRoot);
        CreateWindow();
        EXPECT_EQ(frmMain_->WindowsDir(), expected) << systemRoot;
    }
    EXPECT_FALSE(std::filesystem::exists("C:\\windows/HIVEWRIGHT_FAVORITES.INI"));
}

} // namespace
} // namespace hw::test
