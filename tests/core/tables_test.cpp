#include "core/root_keys.h"
#include "core/value_types.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

TEST(ValueTypes, NamesOfKnownAndUnknownTypes) {
    EXPECT_EQ(ValueTypeName(REG_SZ), "REG_SZ");
    EXPECT_EQ(ValueTypeName(REG_DWORD_BIG_ENDIAN), "REG_DWORD_BIG_ENDIAN");
    EXPECT_EQ(ValueTypeName(REG_RESOURCE_REQUIREMENTS_LIST), "REG_RESOURCE_REQUIREMENTS_LIST");
    EXPECT_EQ(ValueTypeName(0), "REG_UNKNOWN(0)");
    EXPECT_EQ(ValueTypeName(11), "REG_UNKNOWN(11)");
    EXPECT_EQ(ValueTypeName(4294967295u), "REG_UNKNOWN(4294967295)");
}

TEST(ValueTypes, NamesReadBackIgnoringCaseWithTheLittleEndianAlias) {
    for (DWORD type = 1; type <= 10; ++type)
        EXPECT_EQ(ValueTypeFromName(ValueTypeName(type)), type);
    EXPECT_EQ(ValueTypeFromName("reg_multi_sz"), REG_MULTI_SZ);
    EXPECT_EQ(ValueTypeFromName("REG_DWORD_LITTLE_ENDIAN"), REG_DWORD);
    EXPECT_EQ(ValueTypeFromName("REG_UNKNOWN(0)"), std::nullopt);
    EXPECT_EQ(ValueTypeFromName("REG_SZ "), std::nullopt);
}

TEST(ValueTypes, Classes) {
    for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ})
        EXPECT_EQ(ClassOfType(type), TypeClass::Text);
    for (DWORD type : {REG_DWORD, REG_DWORD_BIG_ENDIAN})
        EXPECT_EQ(ClassOfType(type), TypeClass::Number);
    for (DWORD type : {0u, 3u, 6u, 8u, 9u, 10u, 11u})
        EXPECT_EQ(ClassOfType(type), TypeClass::Bytes);
}

TEST(RootKeys, HandleRangeAndNames) {
    EXPECT_TRUE(IsRootKey(0x80000000u));
    EXPECT_TRUE(IsRootKey(0x80000006u));
    EXPECT_FALSE(IsRootKey(0x80000007u));
    EXPECT_FALSE(IsRootKey(0x7FFFFFFFu));
    EXPECT_EQ(RootKeyName(HKEY_CURRENT_CONFIG), "HKEY_CURRENT_CONFIG");
    EXPECT_EQ(RootKeyName(HKEY_PERFORMANCE_DATA), "HKEY_PERFORMANCE_DATA");
    EXPECT_EQ(RootKeyName(0x80000007u), "");
    EXPECT_EQ(RootKeyName(0x7FFFFFFFu), "");
}

TEST(RootKeys, FromFullNamesOnly) {
    EXPECT_EQ(RootKeyFromName("hkey_users"), HKEY_USERS);
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA"), HKEY_DYN_DATA);
    EXPECT_EQ(RootKeyFromName("HKU"), 0u);
    EXPECT_EQ(RootKeyFromName("HKEY_USERS\\"), 0u);
    EXPECT_EQ(RootKeyFromName(""), 0u);
}

TEST(RootKeys, ListingDependsOnPlatform) {
    const std::vector<HKEY> fixed{HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                                  HKEY_CURRENT_CONFIG};
    EXPECT_EQ(ListedRootKeys({platform::kPlatformNt, 5, false}), fixed);

    auto nt4 = fixed;
    nt4.push_back(HKEY_PERFORMANCE_DATA);
    EXPECT_EQ(ListedRootKeys({platform::kPlatformNt, 4, false}), nt4);

    auto win9x = fixed;
    win9x.push_back(HKEY_DYN_DATA);
    EXPECT_EQ(ListedRootKeys({platform::kPlatformWin9x, 4, false}), win9x);
}

} // namespace
} // namespace hw::core
