// The value list's rows and records for each type class, read from a real store.
#include "app/value_rows.h"
#include "app/window/value_list_model.h"
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
    EXPECT_EQ(plain.Caption(), "plain");
    EXPECT_EQ(plain.TypeColumn(), "REG_SZ");
    EXPECT_EQ(plain.SizeColumn(), "4");
    EXPECT_EQ(plain.DataColumn(), "\"abc\"");
    EXPECT_EQ(plain.Picture(), app::kPictureTextValue);
    EXPECT_EQ(plain.record.type, REG_SZ);
    EXPECT_EQ(plain.record.keyPath, kKey);
    EXPECT_EQ(plain.record.DataText(), "abc");

    const app::ValueRow multi = RowNamed("multi");
    EXPECT_EQ(multi.TypeColumn(), "REG_MULTI_SZ");
    EXPECT_EQ(multi.DataColumn(), "\"one\"");
    EXPECT_EQ(multi.record.DataText(), "one");

    const app::ValueRow unterminated = RowNamed("unterminated");
    EXPECT_EQ(unterminated.SizeColumn(), "2");
    EXPECT_EQ(unterminated.record.DataText(), "xy");
}

TEST_F(ValueRowsTest, NumbersShowHexAndUnsignedDecimal) {
    test::WriteRawValue(kKey, "dword", REG_DWORD, Bytes({0x1A, 0, 0, 0}));
    test::WriteRawValue(kKey, "big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 0x1A}));
    test::WriteRawValue(kKey, "max", REG_DWORD, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    test::WriteRawValue(kKey, "short", REG_DWORD, Bytes({0x01, 0x02}));

    for (const char* name : {"dword", "big"}) {
        const app::ValueRow row = RowNamed(name);
        EXPECT_EQ(row.SizeColumn(), "4") << name;
        EXPECT_EQ(row.DataColumn(), "0x0000001A (26)") << name;
        EXPECT_EQ(row.record.number, 26u) << name;
        EXPECT_EQ(row.record.DataText(), "26") << name;
        EXPECT_EQ(row.Picture(), app::kPictureNumberValue) << name;
    }
    EXPECT_EQ(RowNamed("big").TypeColumn(), "REG_DWORD_BIG_ENDIAN");
    EXPECT_EQ(RowNamed("max").DataColumn(), "0xFFFFFFFF (4294967295)");
    EXPECT_EQ(RowNamed("max").record.number, 4294967295u);
    // Data shorter than a number is shown without reading past it.
    EXPECT_EQ(RowNamed("short").SizeColumn(), "2");
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
    EXPECT_EQ(binary.SizeColumn(), "30");
    EXPECT_EQ(binary.record.DataText().size(), 89u);
    EXPECT_EQ(binary.DataColumn(), binary.record.DataText().substr(0, 64));
    EXPECT_EQ(binary.DataColumn().substr(0, 8), "41 42 43");
    EXPECT_EQ(binary.record.CharText().size(), 30u);
    EXPECT_EQ(binary.Picture(), app::kPictureBytesValue);

    const app::ValueRow empty = RowNamed("empty");
    EXPECT_EQ(empty.SizeColumn(), "0");
    EXPECT_EQ(empty.DataColumn(), "");

    const app::ValueRow none = RowNamed("none");
    EXPECT_EQ(none.TypeColumn(), "REG_UNKNOWN(0)");
    EXPECT_EQ(none.record.DataText(), "41 20");
    EXPECT_EQ(none.record.CharText(), "A.");
    EXPECT_EQ(RowNamed("qword").TypeColumn(), "REG_UNKNOWN(11)");
}

std::vector<BYTE> Counting(std::size_t count) {
    std::vector<BYTE> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<BYTE>(i);
    return bytes;
}

// What the list draws for each kind of value, made from the bytes the row keeps; a large byte value shows
// only the 64 characters that fit the column.
TEST_F(ValueRowsTest, EachTypeIsDrawnWithItsTextsFromTheKeptBytes) {
    struct Case {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        const char* typeColumn;
        const char* dataColumn;
        std::string dataText;
        const char* charText;
        DWORD number;
        int picture;
    };
    const std::vector<BYTE> large = Counting(100000);
    const std::vector<Case> cases = {
        {"sz", REG_SZ, Bytes({'a', 'b', 'c', 0}), "REG_SZ", "\"abc\"", "abc", "", 0, app::kPictureTextValue},
        {"expand", REG_EXPAND_SZ, Bytes({'x', 'y'}), "REG_EXPAND_SZ", "\"xy\"", "xy", "", 0,
         app::kPictureTextValue},
        {"multi", REG_MULTI_SZ, Bytes({'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}), "REG_MULTI_SZ", "\"one\"",
         "one", "", 0, app::kPictureTextValue},
        {"dword", REG_DWORD, Bytes({0x1A, 0, 0, 0}), "REG_DWORD", "0x0000001A (26)", "26", "", 26,
         app::kPictureNumberValue},
        {"big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 0x1A}), "REG_DWORD_BIG_ENDIAN", "0x0000001A (26)", "26",
         "", 26, app::kPictureNumberValue},
        {"short", REG_DWORD, Bytes({0x01, 0x02}), "REG_DWORD", "0x00000201 (513)", "513", "", 513,
         app::kPictureNumberValue},
        {"binary", REG_BINARY, Bytes({0x00, 0x41, 0x7F}), "REG_BINARY", "00 41 7F", "00 41 7F", ".A.", 0,
         app::kPictureBytesValue},
        {"empty", REG_BINARY, {}, "REG_BINARY", "", "", "", 0, app::kPictureBytesValue},
        {"qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), "REG_UNKNOWN(11)", "01 02 03 04 05 06 07 08",
         "01 02 03 04 05 06 07 08", "........", 0, app::kPictureBytesValue},
        {"large", REG_BINARY, large, "REG_BINARY",
         "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 1", "", "", 0,
         app::kPictureBytesValue},
    };
    for (const Case& value : cases)
        test::WriteRawValue(kKey, value.name, value.type, value.data);

    window::ValueListModel model;
    model.SetRows(app::ReadValueRows(kKey));
    ASSERT_EQ(model.Count(), static_cast<int>(cases.size()));
    for (const Case& value : cases) {
        int row = 0;
        while (row < model.Count() && model.Row(row).record.valueName != value.name)
            ++row;
        ASSERT_LT(row, model.Count()) << value.name;
        auto shown = [&](int column) {
            return model.data(model.index(row, column), Qt::DisplayRole).toString().toStdString();
        };
        EXPECT_EQ(shown(window::ValueListModel::kNameColumn), value.name);
        EXPECT_EQ(shown(window::ValueListModel::kTypeColumn), value.typeColumn) << value.name;
        EXPECT_EQ(shown(window::ValueListModel::kSizeColumn), std::to_string(value.data.size()))
            << value.name;
        EXPECT_EQ(shown(window::ValueListModel::kDataColumn), value.dataColumn) << value.name;

        const app::ValueRow& kept = model.Row(row);
        EXPECT_EQ(kept.record.data, value.data) << value.name;
        EXPECT_EQ(kept.record.number, value.number) << value.name;
        EXPECT_EQ(kept.Picture(), value.picture) << value.name;
        if (value.data != large) {
            EXPECT_EQ(kept.record.DataText(), value.dataText) << value.name;
            EXPECT_EQ(kept.record.CharText(), value.charText) << value.name;
        }
    }
    // The whole texts are still made on demand for the commands.
    const app::ValueRow whole = RowNamed("large");
    const std::string hex = whole.record.DataText();
    EXPECT_EQ(hex.size(), large.size() * 3 - 1);
    EXPECT_EQ(hex.substr(hex.size() - 5), "9E 9F");
    EXPECT_EQ(whole.record.CharText().size(), large.size());
}

TEST_F(ValueRowsTest, DefaultValueHasItsCaptionAndAnEmptyName) {
    test::WriteText(kKey, "", "default");
    const app::ValueRow row = RowNamed("");
    EXPECT_EQ(row.Caption(), "<Unknow Name>");
    EXPECT_EQ(row.record.DataText(), "default");
}

TEST_F(ValueRowsTest, MissingKeyGivesNoRows) {
    EXPECT_TRUE(app::ReadValueRows("HKEY_CURRENT_USER\\No\\Such\\Key").empty());
    EXPECT_TRUE(app::ReadValueRows("HKEY_NOWHERE\\Key").empty());
}

} // namespace
} // namespace hw::window
