#include "core/key_ops.h"
#include "core/scoped_key.h"
#include "core/value_enum.h"
#include "core/value_text.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

class ValueTextIo : public ::testing::Test {
  protected:
    static std::vector<BYTE> Stored(const std::string& subKey, const std::string& name) {
        const auto value = ReadRawValue(HKEY_CURRENT_USER, subKey, name);
        return value ? value->data : std::vector<BYTE>{0xEE};
    }
    static void SetRaw(const std::string& name, DWORD type, std::vector<BYTE> data) {
        HKEY key = 0;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "T", &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    test::TempRegistry registry;
};

TEST_F(ValueTextIo, StringsRoundTripWithTheirNul) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "s", "hello", REG_SZ));
    EXPECT_EQ(Stored("T", "s"), (std::vector<BYTE>{'h', 'e', 'l', 'l', 'o', 0}));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "s"), "hello");
    EXPECT_EQ(ReadValueTextsOfPath("HKEY_CURRENT_USER\\T", "s").display, "\"hello\"");

    ASSERT_TRUE(WriteValueText(HKEY_CURRENT_USER, "T", "", REG_EXPAND_SZ, ""));
    EXPECT_EQ(Stored("T", ""), std::vector<BYTE>{0});
    EXPECT_EQ(ReadValueTextsOfPath("HKCU\\T", "").display, "\"\"");
}

TEST_F(ValueTextIo, DwordsInBothByteOrders) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "d", "255", REG_DWORD));
    const auto texts = ReadValueTextsOfPath("HKCU\\T", "d");
    EXPECT_EQ(texts.value, "255");
    EXPECT_EQ(texts.display, "0x000000FF (255)");

    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "d", "-1", REG_DWORD));
    EXPECT_EQ(Stored("T", "d"), (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ReadValueTextsOfPath("HKCU\\T", "d").display, "0xFFFFFFFF (4294967295)");

    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "b", "$1", REG_DWORD_BIG_ENDIAN));
    EXPECT_EQ(Stored("T", "b"), (std::vector<BYTE>{0, 0, 0, 1}));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "b"), "1");
    EXPECT_TRUE(WriteValueTextOfPath("HKCU\\T", "b", "4294967295", REG_DWORD_BIG_ENDIAN));
}

TEST_F(ValueTextIo, TextsThatAreNotNumbersWriteNothing) {
    EXPECT_FALSE(WriteValueTextOfPath("HKCU\\T", "b", "-1", REG_DWORD_BIG_ENDIAN));
    EXPECT_FALSE(WriteValueTextOfPath("HKCU\\T", "b", "4294967296", REG_DWORD_BIG_ENDIAN));
    EXPECT_FALSE(WriteValueTextOfPath("HKCU\\T", "d", "", REG_DWORD));
    EXPECT_FALSE(WriteValueTextOfPath("HKCU\\T", "d", "12abc", REG_DWORD));
    EXPECT_FALSE(KeyPathExists("HKCU\\T"));
}

TEST_F(ValueTextIo, BytesTypesAsByteText) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "bin", "41 42", REG_BINARY));
    EXPECT_EQ(Stored("T", "bin"), (std::vector<BYTE>{0x41, 0x42}));
    const auto texts = ReadValueTextsOfPath("HKCU\\T", "bin");
    EXPECT_EQ(texts.value, "41 42");
    EXPECT_EQ(texts.display, "AB");

    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "odd", "0a,ff,7", 11));
    const auto odd = ReadRawValue(HKEY_CURRENT_USER, "T", "odd");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->type, 11u);
    EXPECT_EQ(odd->data, (std::vector<BYTE>{0x0A, 0xFF}));
}

TEST_F(ValueTextIo, EmptyOrAbsentValuesReadAsEmptyTexts) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\T", "none", "", REG_BINARY));
    EXPECT_TRUE(ValuePathExists("HKCU\\T", "none"));
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, "T", "none").has_value());
    const auto texts = ReadValueTextsOfPath("HKCU\\T", "none");
    EXPECT_EQ(texts.value, "");
    EXPECT_EQ(texts.display, "");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "missing"), "");
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\Missing", "x"), "");
    EXPECT_EQ(ReadValueTextOfPath("Bogus\\T", "x"), "");
}

TEST_F(ValueTextIo, ReadsNeverGoPastTheData) {
    SetRaw("short", REG_DWORD, {0x34, 0x12});
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "short"), "4660");
    SetRaw("open", REG_SZ, {'a', 'b', 'c'});
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "open"), "abc");
    SetRaw("multi", REG_MULTI_SZ, {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0});
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\T", "multi"), "one");
}

TEST_F(ValueTextIo, WritingByPathCreatesMissingKeys) {
    ASSERT_TRUE(WriteValueTextOfPath("HKCU\\New\\Deeper", "v", "x", REG_SZ));
    EXPECT_TRUE(KeyPathExists("HKCU\\New"));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\New\\Deeper", "v"), "x");
    // A root with an empty path is written directly.
    ASSERT_TRUE(WriteValueTextOfPath("HKCU", "atRoot", "7", REG_DWORD));
    EXPECT_EQ(ReadValueTextOfPath("HKCU\\", "atRoot"), "7");
}

TEST_F(ValueTextIo, ReadOnlyKeysRefuseWrites) {
    EXPECT_FALSE(WriteValueTextOfPath("HKLM\\HARDWARE", "v", "x", REG_SZ));
    EXPECT_FALSE(WriteValueTextOfPath("HKLM\\HARDWARE\\New", "v", "x", REG_SZ));
    EXPECT_FALSE(KeyPathExists("HKLM\\HARDWARE\\New"));
}

// The key information can be stale by the time the values are read: a value that outgrew it is read whole.
TEST_F(ValueTextIo, OneEnumerationReadsNameTypeAndDataEvenPastStaleSizes) {
    SetRaw("", REG_SZ, {'d', 0});
    SetRaw("a rather long value name", REG_BINARY, std::vector<BYTE>(5000, 0xAB));
    SetRaw("n", REG_DWORD, {1, 0, 0, 0});
    const ScopedKey key = OpenKey(HKEY_CURRENT_USER, "T", KEY_READ);
    ASSERT_TRUE(key);
    const auto info = QueryKeyInfo(key.get());
    ASSERT_TRUE(info);

    for (const KeyInfo& sizes : {*info, KeyInfo{.valueCount = info->valueCount}}) {
        std::vector<std::string> seen;
        EXPECT_TRUE(VisitValues(
            key.get(), sizes, [&](std::string_view name, DWORD type, const BYTE* data, DWORD size) {
                EXPECT_EQ(name.data()[name.size()], '\0');
                seen.push_back(std::string(name) + "/" + std::to_string(type) + "/" + std::to_string(size) +
                               "/" + std::to_string(size ? data[size - 1] : 0));
                return true;
            }));
        EXPECT_EQ(seen,
                  (std::vector<std::string>{"/1/2/0", "a rather long value name/3/5000/171", "n/4/4/0"}));
    }
    EXPECT_FALSE(VisitValues(key.get(), *info,
                             [](std::string_view name, DWORD, const BYTE*, DWORD) { return name != "n"; }));
}

} // namespace
} // namespace hw::core
