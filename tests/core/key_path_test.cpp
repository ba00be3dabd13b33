#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/value_text.h"
#include "support/temp_registry.h"
#include "util/text.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

TEST(KeyPath, RootAndSubKeyTellAbsentEmptyAndPresentApart) {
    EXPECT_EQ(RootKeyOfPath("hklm\\Software\\Example"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(SubKeyOfPath("hklm\\Software\\Example"), "Software\\Example");
    EXPECT_EQ(RootKeyOfPath("HKLM"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(SubKeyOfPath("HKLM"), std::nullopt);
    EXPECT_EQ(SubKeyOfPath("HKLM\\"), "");
    EXPECT_EQ(SubKeyOfPath("HKCU\\Software\\\\Example\\"), "Software\\\\Example\\");
    EXPECT_EQ(RootKeyOfPath("Hkey_Dyn_Data\\x"), HKEY_DYN_DATA);
    EXPECT_EQ(RootKeyOfPath("HKPD"), HKEY_PERFORMANCE_DATA);
}

TEST(KeyPath, UnrecognisedRootsGiveNothing) {
    for (const char* path : {"\\HKLM\\Software", " HKLM\\Software", "HKLMX\\Software", "Software", ""}) {
        EXPECT_EQ(RootKeyOfPath(path), 0u) << path;
        EXPECT_EQ(SubKeyOfPath(path), std::nullopt) << path;
        EXPECT_EQ(RealKeyPath(path), "") << path;
    }
}

class RealPaths : public ::testing::Test {
  protected:
    // The current user's key under HKEY_USERS, as the store seeded it.
    static std::string UserKey() {
        NameList users;
        ListSubKeysOfPath("HKEY_USERS", users);
        for (const auto& user : users) {
            if (user.starts_with("S-1-5-21-") && !user.ends_with("_Classes")) return user;
        }
        return "missing";
    }

    test::TempRegistry registry;
};

TEST_F(RealPaths, ClassesRootMapsToMachineClasses) {
    EXPECT_EQ(RealKeyPath("HKCR\\.txt"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\.txt");
    EXPECT_EQ(RealKeyPath("HKCR"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES");
    EXPECT_EQ(RealKeyPath("HKCR\\"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES");
}

TEST_F(RealPaths, CurrentUserMapsToTheUserWithTheSameLogonName) {
    EXPECT_EQ(RealKeyPath("HKCU\\Software"), "HKEY_USERS\\" + UserKey() + "\\Software");
    EXPECT_EQ(RealKeyPath("HKEY_CURRENT_USER"), "HKEY_USERS\\" + UserKey());
}

TEST_F(RealPaths, FirstUserWithAnEqualLogonNameWinsIgnoringCase) {
    const std::string explorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
    const std::string login = ReadValueTextOfPath("HKCU" + explorer, "Logon User Name");
    ASSERT_FALSE(login.empty());
    ASSERT_TRUE(WriteValueTextOfPath("HKU\\A-first" + explorer, "Logon User Name",
                                     util::UpperCaseAscii(login), REG_SZ));
    EXPECT_EQ(RealKeyPath("HKCU\\Software"), "HKEY_USERS\\A-first\\Software");
}

TEST_F(RealPaths, CurrentUserWithoutLogonNameMatchesNobody) {
    DeleteValuePath("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "Logon User Name");
    EXPECT_EQ(RealKeyPath("HKCU\\Software"), "HKEY_USERS\\Software");
}

TEST_F(RealPaths, ControlSetAndHardwareProfileResolve) {
    EXPECT_EQ(RealKeyPath("HKLM\\SYSTEM\\CurrentControlSet\\Services"),
              "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services");
    EXPECT_EQ(RealKeyPath("hklm\\system\\currentcontrolset\\hardware profiles\\current\\x"),
              "HKEY_LOCAL_MACHINE\\system\\ControlSet001\\hardware profiles\\0001\\x");
    EXPECT_EQ(RealKeyPath("HKCC"), "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Hardware Profiles\\0001");
    EXPECT_EQ(RealKeyPath("HKCC\\Software\\"),
              "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Hardware Profiles\\0001\\Software");
    EXPECT_EQ(RealKeyPath("HKLM\\SYSTEM\\CurrentControlSet"), "HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001");
    // With fewer than two components nothing is resolved.
    EXPECT_EQ(RealKeyPath("HKLM\\CurrentControlSet"), "HKEY_LOCAL_MACHINE\\CurrentControlSet");
}

TEST_F(RealPaths, MachinePathsLoseEmptyComponents) {
    EXPECT_EQ(RealKeyPath("HKLM\\Software\\\\Example\\"), "HKEY_LOCAL_MACHINE\\Software\\Example");
    EXPECT_EQ(RealKeyPath("HKLM\\"), "HKEY_LOCAL_MACHINE");
}

TEST_F(RealPaths, UserClassesMapIntoTheUsersSoftwareClasses) {
    const std::string user = UserKey();
    EXPECT_EQ(RealKeyPath("HKU\\" + user + "_Classes\\.txt"),
              "HKEY_USERS\\" + user + "\\Software\\Classes\\.txt");
    EXPECT_EQ(RealKeyPath("HKU\\.default_CLASSES\\x"), "HKEY_USERS\\.default\\Software\\Classes\\x");
    // The class key itself is the same key as the user's Software\Classes.
    EXPECT_EQ(RealKeyPath("HKU\\" + user + "_Classes"), "HKEY_USERS\\" + user + "\\Software\\Classes");
    EXPECT_FALSE(KeyPathsUnrelated("HKU\\" + user + "_Classes", "HKCU\\Software\\Classes\\X"));
    EXPECT_EQ(RealKeyPath("HKU\\Nobody_Classes\\x"), "HKEY_USERS\\Nobody_Classes\\x");
    EXPECT_EQ(RealKeyPath("HKU\\" + user + "_Classes_Classes\\x"),
              "HKEY_USERS\\" + user + "_Classes_Classes\\x");
    EXPECT_EQ(RealKeyPath("HKU\\.DEFAULT\\Software"), "HKEY_USERS\\.DEFAULT\\Software");
}

TEST_F(RealPaths, OtherRootsKeepTheirPath) {
    EXPECT_EQ(RealKeyPath("HKPD\\x\\"), "HKEY_PERFORMANCE_DATA\\x");
    EXPECT_EQ(RealKeyPath("HKDD"), "HKEY_DYN_DATA");
}

TEST_F(RealPaths, NestingIsJudgedOnRealPathsAsText) {
    EXPECT_FALSE(KeyPathsUnrelated("HKCR\\.txt", "HKLM\\Software\\Classes\\.txt\\Sub"));
    EXPECT_TRUE(KeyPathsUnrelated("HKCU\\A", "HKCU\\B"));
    EXPECT_FALSE(KeyPathsUnrelated("HKCU\\A", "HKCU\\A"));
    EXPECT_FALSE(KeyPathsUnrelated("HKCU\\A", "hkcu\\a\\B"));
    EXPECT_TRUE(KeyPathsUnrelated("HKLM\\Soft", "HKLM\\Software"));
    EXPECT_FALSE(KeyPathsUnrelated("HKCC\\X", "HKLM\\SYSTEM\\CurrentControlSet"));
    EXPECT_FALSE(KeyPathsUnrelated("HKU\\" + UserKey() + "\\Software\\Y", "HKCU\\Software"));
    EXPECT_TRUE(KeyPathsUnrelated("HKCU\\Software", "HKLM\\Software"));
    EXPECT_FALSE(KeyPathsUnrelated(std::nullopt, "HKCU\\A"));
    EXPECT_FALSE(KeyPathsUnrelated("HKCU\\A", "Bogus\\A"));
}

} // namespace
} // namespace hw::core
