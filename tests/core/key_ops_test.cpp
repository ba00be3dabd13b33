#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/platform_facts.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

class KeyOps : public ::testing::Test {
  protected:
    static void MakeKey(const std::string& path) {
        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &key), ERROR_SUCCESS) << path;
        RegCloseKey(key);
    }
    static void Put(const std::string& path, const std::string& name, const std::string& text) {
        ASSERT_TRUE(WriteValueTextOfPath(path, name, text, REG_SZ)) << path;
    }
    static NameList SubKeys(const std::string& path) {
        NameList names;
        ListSubKeysOfPath(path, names);
        return names;
    }

    test::TempRegistry registry;
};

TEST_F(KeyOps, ListingNamesInEnumerationOrder) {
    MakeKey("L\\b");
    MakeKey("L\\a");
    Put("HKCU\\L", "", "default");
    Put("HKCU\\L", "x", "1");
    EXPECT_EQ(SubKeys("HKCU\\L"), (NameList{"a", "b"}));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "L", 0, KEY_READ, &key), ERROR_SUCCESS);
    NameList values{"stale"};
    ListValueNames(key, values);
    RegCloseKey(key);
    EXPECT_EQ(values, (NameList{"", "x"}));
}

TEST_F(KeyOps, ListingAKeyThatCannotBeOpenedLeavesTheListAlone) {
    NameList names{"kept"};
    ListSubKeysOfPath("HKLM\\SAM", names);
    ListSubKeysOfPath("HKCU\\Missing", names);
    EXPECT_EQ(names, NameList{"kept"});
}

TEST_F(KeyOps, ExistenceOfKeysAndValues) {
    MakeKey("E");
    Put("HKCU\\E", "v", "");
    EXPECT_TRUE(KeyPathExists("HKCU\\e"));
    EXPECT_TRUE(KeyPathExists("HKCU"));
    EXPECT_FALSE(KeyPathExists("HKCU\\Missing"));
    EXPECT_FALSE(KeyPathExists("HKLM\\SAM"));
    EXPECT_TRUE(KeyPathExists("HKLM\\HARDWARE"));
    EXPECT_TRUE(ValuePathExists("HKCU\\E", "V"));
    EXPECT_FALSE(ValuePathExists("HKCU\\E", "w"));
    EXPECT_FALSE(ValuePathExists("HKCU\\Missing", "v"));
}

TEST_F(KeyOps, NewKeyNameTakesTheLowestFreeNumberIgnoringCase) {
    MakeKey("N");
    EXPECT_EQ(NewKeyNameOfPath("HKCU\\N"), "New Key #1");
    MakeKey("N\\New Key #1");
    MakeKey("N\\NEW KEY #2");
    EXPECT_EQ(NewKeyNameOfPath("HKCU\\N"), "New Key #3");
    MakeKey("N\\new key #4");
    DeleteKeyPath("HKCU\\N\\New Key #1");
    EXPECT_EQ(NewKeyNameOfPath("HKCU\\N"), "New Key #1");
    EXPECT_EQ(NewKeyNameOfPath("HKCU\\Missing"), "");
}

TEST_F(KeyOps, NewValueNameNeedsAKeyTheUserMayChange) {
    Put("HKCU\\N", "New Value #2", "");
    EXPECT_EQ(NewValueName(HKEY_CURRENT_USER, "N"), "New Value #1");
    Put("HKCU\\N", "new value #1", "");
    EXPECT_EQ(NewValueName(HKEY_CURRENT_USER, "N"), "New Value #3");
    EXPECT_EQ(NewValueName(HKEY_LOCAL_MACHINE, "HARDWARE"), "");
    EXPECT_EQ(NewKeyName(HKEY_LOCAL_MACHINE, "HARDWARE"), "New Key #1");
}

TEST_F(KeyOps, DeletingATreeRemovesEverythingBelow) {
    MakeKey("A\\B\\D");
    MakeKey("A\\C");
    Put("HKCU\\A\\B", "v", "x");
    EXPECT_TRUE(DeleteKeyPath("HKCU\\A"));
    EXPECT_FALSE(KeyPathExists("HKCU\\A"));
    EXPECT_FALSE(DeleteKeyPath("HKCU\\A"));
}

TEST_F(KeyOps, DeletingALinkKeepsWhatItPointsAt) {
    ASSERT_TRUE(WriteValueTextOfPath("HKLM\\SYSTEM\\ControlSet001\\Services\\Probe", "v", "kept", REG_SZ));
    EXPECT_TRUE(DeleteKeyPath("HKLM\\SYSTEM\\CurrentControlSet"));
    EXPECT_FALSE(KeyPathExists("HKLM\\SYSTEM\\CurrentControlSet"));
    EXPECT_EQ(ReadValueTextOfPath("HKLM\\SYSTEM\\ControlSet001\\Services\\Probe", "v"), "kept");
}

TEST_F(KeyOps, DeletingNeverEmptiesARoot) {
    MakeKey("Keep");
    EXPECT_FALSE(DeleteKeyPath("HKCU"));
    EXPECT_FALSE(DeleteKeyPath("HKCU\\"));
    EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, "\\"));
    EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, "\\\\\\"));
    EXPECT_TRUE(KeyPathExists("HKCU\\Keep"));
    // One leading backslash is tolerated.
    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, "\\Keep"));
}

TEST_F(KeyOps, DeletingAValue) {
    Put("HKCU\\V", "a", "1");
    DeleteValuePath("HKCU\\V", "a");
    EXPECT_FALSE(ValuePathExists("HKCU\\V", "a"));
    Put("HKCU", "rootValue", "1");
    DeleteValue(HKEY_CURRENT_USER, "", "rootValue");
    EXPECT_FALSE(ValuePathExists("HKCU", "rootValue"));
}

TEST_F(KeyOps, CopyMergesIntoAnExistingDestination) {
    Put("HKCU\\A", "same", "from A");
    Put("HKCU\\A", "onlyA", "a");
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\A\\Sub\\Deep", "bin", "00 01 FF", REG_BINARY));
    Put("HKCU\\C", "same", "from C");
    Put("HKCU\\C", "onlyC", "c");
    Put("HKCU\\C\\Sub", "mine", "c");

    ASSERT_TRUE(CopyKeyPath("HKCU\\A", "HKCU\\C", false));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\C", "same"), "from A");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\C", "onlyA"), "a");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\C", "onlyC"), "c");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\C\\Sub", "mine"), "c");
    const auto copied = ReadRawValue(HKEY_CURRENT_USER, "C\\Sub\\Deep", "bin");
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->type, REG_BINARY);
    EXPECT_EQ(copied->data, (std::vector<BYTE>{0x00, 0x01, 0xFF}));
    EXPECT_TRUE(KeyPathExists("HKCU\\A\\Sub\\Deep"));
}

TEST_F(KeyOps, CopyRefusesItselfAndNestedKeys) {
    Put("HKCU\\A", "v", "1");
    EXPECT_FALSE(CopyKeyPath("HKCU\\A", "HKCU\\A", false));
    EXPECT_FALSE(CopyKey(HKEY_CURRENT_USER, HKEY_CURRENT_USER, "A", false, "a"));
    EXPECT_FALSE(CopyKeyPath("HKCU\\A", "HKCU\\A\\B", false));
    EXPECT_FALSE(CopyKeyPath("HKCU\\A\\B", "HKCU\\A", true));
    EXPECT_FALSE(CopyKeyPath("HKCR\\.txt", "HKLM\\Software\\Classes\\.txt\\Sub", false));
    EXPECT_FALSE(KeyPathExists("HKCU\\A\\B"));
    EXPECT_FALSE(KeyPathExists("HKCR\\.txt\\Sub"));
    EXPECT_FALSE(CopyKeyPath("HKCU\\Missing", "HKCU\\Other", false));
    EXPECT_FALSE(KeyPathExists("HKCU\\Other"));
}

TEST_F(KeyOps, RenamingAKeyMovesItsWholeTree) {
    Put("HKCU\\A", "v", "1");
    Put("HKCU\\A\\Sub", "w", "2");
    ASSERT_TRUE(RenameKeyPath("HKCU\\A", "HKCU\\B"));
    EXPECT_FALSE(KeyPathExists("HKCU\\A"));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\B", "v"), "1");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\B\\Sub", "w"), "2");
    // A new name that merely starts with the old one is another key, not one inside it.
    ASSERT_TRUE(RenameKeyPath("HKCU\\B", "HKCU\\B (old)"));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\B (old)\\Sub", "w"), "2");
}

TEST_F(KeyOps, RenamingAKeyRefusesTakenNamesCaseChangesAndItsOwnSubtree) {
    Put("HKCU\\A", "v", "1");
    Put("HKCU\\B", "v", "2");
    EXPECT_FALSE(RenameKeyPath("HKCU\\A", "HKCU\\B"));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\B", "v"), "2");
    EXPECT_FALSE(RenameKeyPath("HKCU\\A", "HKCU\\a"));
    EXPECT_FALSE(RenameKeyPath("HKCU\\Missing", "HKCU\\New"));
    EXPECT_FALSE(RenameKeyPath("HKCU\\A", "HKCU\\A\\Inner"));
    EXPECT_FALSE(KeyPathExists("HKCU\\A\\Inner"));
    EXPECT_EQ(SubKeys("HKCU\\A"), NameList{});
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\A", "v"), "1");
}

TEST_F(KeyOps, RenamingValues) {
    Put("HKCU\\V", "x", "1");
    Put("HKCU\\V", "y", "2");
    EXPECT_FALSE(RenameValuePath("HKCU\\V", "x", "y"));
    EXPECT_FALSE(RenameValuePath("HKCU\\V", "x", "X"));
    EXPECT_FALSE(RenameValuePath("HKCU\\V", "missing", "z"));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\V", "x"), "1");

    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\V", "", "7", REG_DWORD_BIG_ENDIAN));
    ASSERT_TRUE(RenameValuePath("HKCU\\V", "", "z"));
    EXPECT_FALSE(ValuePathExists("HKCU\\V", ""));
    const auto moved = ReadRawValue(HKEY_CURRENT_USER, "V", "z");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->type, REG_DWORD_BIG_ENDIAN);
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\V", "z"), "7");
}

TEST_F(KeyOps, RenamingAnEmptyValueKeepsItsType) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\V", "empty", "", REG_BINARY));
    ASSERT_TRUE(RenameValue(HKEY_CURRENT_USER, "V", "empty", "still empty"));
    EXPECT_FALSE(ValuePathExists("HKCU\\V", "empty"));
    DWORD type = 0;
    DWORD size = 99;
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "V", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "still empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 0u);
}

TEST_F(KeyOps, MoveIntoAReadOnlyPlaceKeepsTheSource) {
    Put("HKCU\\A", "v", "1");
    Put("HKCU\\A\\Sub", "w", "2");
    EXPECT_FALSE(CopyKeyPath("HKCU\\A", "HKLM\\HARDWARE\\A", true));
    EXPECT_FALSE(RenameKeyPath("HKCU\\A", "HKLM\\HARDWARE\\A"));
    // The destination exists but cannot take values: nothing arrives, so nothing may go.
    EXPECT_FALSE(CopyKeyPath("HKCU\\A", "HKLM\\HARDWARE", true));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\A", "v"), "1");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\A\\Sub", "w"), "2");
}

TEST_F(KeyOps, MoveOfAReadOnlySourceCopiesButReportsFailure) {
    NameList before;
    ListSubKeysOfPath("HKLM\\HARDWARE", before);
    EXPECT_FALSE(CopyKeyPath("HKLM\\HARDWARE", "HKCU\\Hardware copy", true));
    EXPECT_TRUE(KeyPathExists("HKCU\\Hardware copy"));
    EXPECT_EQ(SubKeys("HKLM\\HARDWARE"), before);
}

} // namespace
} // namespace hw::core

namespace hw::core {
namespace {

class KeyInformation : public ::testing::Test {
  protected:
    void TearDown() override { platform::SetPlatformFactsForTesting(platform::ReadPlatformFacts()); }

    static KeyInfo InfoWith(const platform::PlatformFacts& facts) {
        platform::SetPlatformFactsForTesting(facts);
        HKEY key = 0;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "I", 0, KEY_READ, &key), ERROR_SUCCESS);
        const auto info = QueryKeyInfo(key);
        RegCloseKey(key);
        return info.value_or(KeyInfo{});
    }

    test::TempRegistry registry;
};

TEST_F(KeyInformation, FarEastNtSystemsDoubleNameLengthsOnly) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\I\\abc", "", "", REG_SZ));
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\I", "de", "12345", REG_SZ));
    const auto plain = InfoWith({platform::kPlatformNt, 5, false});
    EXPECT_EQ(plain.subKeyCount, 1u);
    EXPECT_EQ(plain.maxSubKeyNameLength, 3u);
    EXPECT_EQ(plain.valueCount, 1u);
    EXPECT_EQ(plain.maxValueNameLength, 2u);
    EXPECT_EQ(plain.maxValueDataSize, 6u);
    const auto farEast = InfoWith({platform::kPlatformNt, 5, true});
    EXPECT_EQ(farEast.maxSubKeyNameLength, 6u);
    EXPECT_EQ(farEast.maxValueNameLength, 4u);
    EXPECT_EQ(farEast.maxValueDataSize, 6u);
    EXPECT_EQ(InfoWith({platform::kPlatformWin9x, 4, true}).maxSubKeyNameLength, 3u);
}

} // namespace
} // namespace hw::core
