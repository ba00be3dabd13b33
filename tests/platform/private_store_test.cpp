// A new store is its owner's alone; one the owner opens up with chmod stays open, log files included.
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace {

unsigned ModeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Writes one value through a store on database, keeping the store open while check runs.
template <typename Check> void WithWrittenStore(const std::string& database, Check&& check) {
    std::string error;
    auto store = hw::platform::OpenSqliteStore(database, &error);
    ASSERT_TRUE(store) << error;
    hw::platform::UseRegistry(std::move(store));
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Private", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(hw::platform::FlushRegistry(), "");
    check();
    hw::platform::UseRegistry(nullptr);
}

TEST(PrivateStore, ANewStoreAndItsFolderAreTheOwnersAloneAndAChmodOpensThemUp) {
    hw::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    const std::string folder = dir.file("data/hivewright");
    const std::string database = folder + "/registry.db";
    WithWrittenStore(database, [&] {
        EXPECT_EQ(ModeOf(folder), 0700u);
        for (const char* suffix : {"", "-wal", "-shm"})
            EXPECT_EQ(ModeOf(database + suffix), 0600u) << suffix;
    });
    // Folders above the store's own are made as usual.
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(ModeOf(dir.file("data")), 0777u & ~mask);

    // The owner shares the store on purpose: the log files follow the database's mode.
    ASSERT_EQ(chmod(folder.c_str(), 0770), 0);
    ASSERT_EQ(chmod(database.c_str(), 0660), 0);
    WithWrittenStore(database, [&] {
        EXPECT_EQ(ModeOf(folder), 0770u);
        for (const char* suffix : {"", "-wal", "-shm"})
            EXPECT_EQ(ModeOf(database + suffix), 0660u) << suffix;
    });
}

} // namespace
