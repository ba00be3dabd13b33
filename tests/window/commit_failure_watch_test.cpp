// A change the store could not save is shown in an error box between commands, and the store takes changes
// again afterwards.
#include "app/window/commit_failure_watch.h"
#include "platform/registry_store.h"
#include "support/qt/window_fixture.h"
#include "support/small_disk.h"
#include "support/temp_registry.h"
#include "util/scripted_dialogs.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <string>

namespace hw::window {
namespace {

LONG WriteValues(HKEY key, int count) {
    const std::string data(200, 'd');
    for (int i = 0; i < count; ++i) {
        const std::string name = "Value" + std::to_string(i);
        if (const LONG result =
                RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
            result != ERROR_SUCCESS)
            return result;
    }
    return ERROR_SUCCESS;
}

TEST(CommitFailureWatch, ShowsALostGroupOnceNoCommandIsAtWorkAndThenTakesChangesAgain) {
    test::EnsureQtApplication();
    test::TempDir dir;
    test::SmallDisk disk(dir.file("disk"));
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    platform::UseRegistry(platform::OpenSqliteStore(dir.file("disk/registry.db")));
    util::ScriptedDialogs dialogs;
    CommitFailureWatch watch;

    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Watched", &key), ERROR_SUCCESS);
    EXPECT_TRUE(platform::FlushRegistry().empty());
    disk.FillLeaving(16 * 1024);
    WriteValues(key, 2000);
    EXPECT_NE(platform::FlushRegistry(), "");
    EXPECT_NE(WriteValues(key, 1), ERROR_SUCCESS) << "a change after a lost group must wait for the box";

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    EXPECT_FALSE(watch.Check()) << "shown in the middle of a command";
    QGuiApplication::restoreOverrideCursor();
    disk.Empty();
    EXPECT_TRUE(watch.Check());
    ASSERT_EQ(dialogs.texts().size(), 1u);
    EXPECT_NE(dialogs.texts()[0].find("disk full"), std::string::npos) << dialogs.texts()[0];
    EXPECT_FALSE(watch.Check());
    EXPECT_EQ(WriteValues(key, 1), ERROR_SUCCESS);
    EXPECT_TRUE(platform::FlushRegistry().empty());
    RegCloseKey(key);
    platform::UseRegistry(nullptr);
}

} // namespace
} // namespace hw::window
