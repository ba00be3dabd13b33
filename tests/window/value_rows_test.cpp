// The value list's rows and records for each type class, read from a real store.
#include "app/value_rows.h"
#include "support/qt/window_fixture.h"

#include <gtest/gtest.h>

namespace hw::window {
namespace {

const char* const kKey = "HKEY_CURRENT_USER\\Test";

class ValueRowsTest : public ::testing::Test {
  protected:
    app::ValueRow RowNamed(const std::string& name) {
        for (app::ValueRow& row : app::ReadValueRows(kKey))
            if (row.record.valueName == name) return row;
        ADD_FAILURE() << "no row " << name;
        return {};
    }
    test::TempRegistry registry_;
};

std::vector<BYTE> Bytes(std::initializer_list<int> values) {
    std::vector<BYTE> bytes;
    for (int value : values)
        bytes.push_back(static_cast<BYTE>(value));
    return bytes;
}

TEST_F(ValueRowsTest, TextValuesShowTheirFirstStringQuoted) {
    test::WriteText(kKey, "plain", "abc");
    test::WriteRawValue(kKey, "multi", REG_MULTI_SZ, Bytes({'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}));
    test::WriteRawValue(kKey, "unterminated", REG_EXPAND_SZ, Bytes({'x', 'y'}));

    const app::ValueRow plain = RowNamed("plain");
    EXPECT_EQ(plain.caption, "plain");
    EXPECT_EQ(plain.typeColumn, "REG_SZ");
    EXPECT_EQ(plain.sizeColumn, "4");
    EXPECT_EQ(plain.dataColumn, "\"abc\"");
    EXPECT_EQ(plain.picture, app::kPictureTextValue);
    EXPECT_EQ(plain.record.type, REG_SZ);
    EXPECT_EQ(plain.record.keyPath, kKey);
    EXPECT_EQ(plain.record.dataText, "abc");

    const app::ValueRow multi = RowNamed("multi");
    EXPECT_EQ(multi.typeColumn, "REG_MULTI_SZ");
    EXPECT_EQ(multi.dataColumn, "\"one\"");
    EXPECT_EQ(multi.record.dataText, "one");

    const app::ValueRow unterminated = RowNamed("unterminated");
    EXPECT_EQ(unterminated.sizeColumn, "2");
    EXPECT_EQ(unterminated.record.dataText, "xy");
}

TEST_F(ValueRowsTest, NumbersShowHexAndUnsignedDecimal) {
    test::WriteRawValue(kKey, "dword", REG_DWORD, Bytes({0x1A, 0, 0, 0}));
    test::WriteRawValue(kKey, "big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 0x1A}));
    test::WriteRawValue(kKey, "max", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    test::WriteRawValue(kKey, "short", REG_DWORD, Bytes({0x01, 0x02}));

    for (const char* name : {"dword", "big"}) {
        const app::ValueRow row = RowNamed(name);
        EXPECT_EQ(row.sizeColumn, "4") << name;
        EXPECT_EQ(row.dataColumn, "0x0000001A (26)") << name;
        EXPECT_EQ(row.record.number, 26u) << name;
        EXPECT_EQ(row.record.dataText, "26") << name;
        EXPECT_EQ(row.picture, app::kPictureNumberValue) << name;
    }
    EXPECT_EQ(RowNamed("big").typeColumn, "REG_DWORD_BIG_ENDIAN");
    EXPECT_EQ(RowNamed("max").dataColumn, "0xFFFFFFFF (4294967295)");
    EXPECT_EQ(RowNamed("max").record.number, 4294967295u);
    // Data shorter than a number is shown without reading past it.
    EXPECT_EQ(RowNamed("short").sizeColumn, "2");
}

TEST_F(ValueRowsTest, BytesShowSixtyFourHexCharactersAndKeepTheRest) {
    std::vector<BYTE> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(static_cast<BYTE>('A' + i));
    test::WriteRawValue(kKey, "binary", REG_BINARY, thirty);
    test::WriteRawValue(kKey, "empty", REG_BINARY, {});
    test::WriteRawValue(kKey, "none", REG_NONE, Bytes({0x41, 0x20}));
    test::WriteRawValue(kKey, "qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));

    const app::ValueRow binary = RowNamed("binary");
    EXPECT_EQ(binary.sizeColumn, "30");
    EXPECT_EQ(binary.record.dataText.size(), 89u);
    EXPECT_EQ(binary.dataColumn, binary.record.dataText.substr(0, 64));
    EXPECT_EQ(binary.dataColumn.substr(0, 8), "41 42 43");
    EXPECT_EQ(binary.record.charText.size(), 30u);
    EXPECT_EQ(binary.picture, app::kPictureBytesValue);

    const app::ValueRow empty = RowNamed("empty");
    EXPECT_EQ(empty.sizeColumn, "0");
    EXPECT_EQ(empty.dataColumn, "");

    const app::ValueRow none = RowNamed("none");
    EXPECT_EQ(none.typeColumn, "REG_UNKNOWN(0)");
    EXPECT_EQ(none.record.dataText, "41 20");
    EXPECT_EQ(none.record.charText, "A.");
    EXPECT_EQ(RowNamed("qword").typeColumn, "REG_UNKNOWN(11)");
}

TEST_F(ValueRowsTest, DefaultValueHasItsCaptionAndAnEmptyName) {
    test::WriteText(kKey, "", "default");
    const app::ValueRow row = RowNamed("");
    EXPECT_EQ(row.caption, "<Unknow Name>");
    EXPECT_EQ(row.record.dataText, "default");
}

TEST_F(ValueRowsTest, MissingKeyGivesNoRows) {
    EXPECT_TRUE(app::ReadValueRows("HKEY_CURRENT_USER\\No\\Such\\Key").empty());
    EXPECT_TRUE(app::ReadValueRows("HKEY_NOWHERE\\Key").empty());
}

} // namespace
} // namespace hw::window
