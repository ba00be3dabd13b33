// A Windows installation's hives at their places: the roots, the current control set, the current user, the
// classes, and edits that land in their own file.
#include "hive_test_support.h"
#include "support/temp_registry.h"
#include "support/windows_installation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace hw::test {
namespace {

class WindowsInstallation : public ::testing::Test {
  protected:
    void SetUp() override { LayOutWindowsInstallation(root); }

    std::unique_ptr<platform::RegistryStore> Open(const std::string& user = "") {
        std::string error;
        auto store = platform::OpenWindowsInstallation(root, user, &error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    std::map<std::string, FileState> Files() const {
        std::map<std::string, FileState> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) files[entry.path().string()] = StateOf(entry.path().string());
        return files;
    }

    TempDir dir;
    std::string root = dir.file("C");
    const std::string sid = kWindowsUserSid;
};

TEST_F(WindowsInstallation, RootsControlSetUserAndClassesShowTheirHives) {
    auto store = Open();
    ASSERT_TRUE(store);
    EXPECT_EQ(SubKeys(*store, HKEY_LOCAL_MACHINE, ""),
              (std::vector<std::string>{"HARDWARE", "SAM", "SECURITY", "SOFTWARE", "SYSTEM"}));
    EXPECT_TRUE(SubKeys(*store, HKEY_LOCAL_MACHINE, "HARDWARE").empty());
    // Profiles by their SID from ProfileList, else by folder; shared profile folders are no one's.
    EXPECT_EQ(SubKeys(*store, HKEY_USERS, ""),
              (std::vector<std::string>{".DEFAULT", "bob", sid, sid + "_Classes"}));
    EXPECT_EQ(SubKeys(*store, HKEY_LOCAL_MACHINE, "SYSTEM"),
              (std::vector<std::string>{"ControlSet001", "ControlSet002", "CurrentControlSet", "Select"}));
    EXPECT_EQ(ReadText(*store, HKEY_LOCAL_MACHINE, "system\\currentcontrolset\\control", "Which"), "two");
    EXPECT_EQ(ReadText(*store, HKEY_CURRENT_CONFIG, "", ""), "two");
    EXPECT_EQ(ReadText(*store, HKEY_CURRENT_USER, "Software\\Microsoft", "Owner"), "alice");
    EXPECT_EQ(ReadText(*store, HKEY_USERS, ".DEFAULT\\Software", ""), "default");
    EXPECT_EQ(ReadText(*store, HKEY_CLASSES_ROOT, ".txt", ""), "txtfile");
    EXPECT_EQ(ReadText(*store, HKEY_USERS, sid + "_Classes\\.user", ""), "userfile");
    EXPECT_EQ(ReadText(*Open("bob"), HKEY_CURRENT_USER, "Software", "Owner"), "bob");
    std::string error;
    EXPECT_FALSE(platform::OpenWindowsInstallation(root, "carol", &error));
    EXPECT_THAT(error, ::testing::HasSubstr("carol"));
    EXPECT_FALSE(platform::OpenWindowsInstallation(dir.file("empty"), "", &error));
}

TEST_F(WindowsInstallation, AnEditLandsInItsOwnFileAndNowhereElse) {
    const auto before = Files();
    {
        auto store = Open();
        HKEY key = 0;
        ASSERT_EQ(store->CreateKey(HKEY_CURRENT_USER, "Software\\Edited", 0, &key, nullptr), ERROR_SUCCESS);
        store->CloseKey(key);
        ASSERT_EQ(store->CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Probe", 0, &key,
                                   nullptr),
                  ERROR_SUCCESS);
        store->CloseKey(key);
    }
    const auto after = Files();
    const std::string profile = root + "/Users/alice/NTUSER.DAT",
                      system = root + "/windows/System32/CONFIG/system";
    for (const auto& [file, state] : before)
        EXPECT_EQ(after.at(file) == state, file != profile && file != system) << file;
    EXPECT_EQ(after.size(), before.size() + 2); // the two backups
    auto store = Open();
    EXPECT_THAT(SubKeys(*store, HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet002\\Services"),
                ::testing::ElementsAre("Probe"));
    EXPECT_TRUE(SubKeys(*store, HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet001\\Services").empty());
    EXPECT_THAT(SubKeys(*store, HKEY_CURRENT_USER, "Software"), ::testing::Contains("Edited"));
}

} // namespace
} // namespace hw::test
