// The value list's orders and one-line texts, on plain rows.
#include "app/one_line_text.h"
#include "app/value_order.h"

#include <gtest/gtest.h>

namespace hw::app {
namespace {

TEST(ValueOrderTest, NaturalOrderComparesDigitRunsAsNumbersAndLettersWithoutCase) {
    struct Case {
        std::string_view first;
        std::string_view second;
        int expected;
    };
    const Case cases[] = {
        {"Value2", "Value10", -1},
        {"value10", "Value9", 1},
        {"a", "B", -1},
        {"", "a", -1},
        {"x99999999999999999999", "x100000000000000000000", -1}, // longer than any integer type
        {"v007", "v7", -1},                                      // equal numbers: the bytes decide
        {"v7", "v7a", -1},
        {"ABC", "abc", -1},
        {"abc", "abc", 0},
        {"\xC3\xA4", "z", 1}, // other bytes compare unsigned
        {"1.10", "1.9", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareNatural(c.first, c.second), c.expected) << c.first << " " << c.second;
        EXPECT_EQ(CompareNatural(c.second, c.first), -c.expected) << c.second << " " << c.first;
    }
}

ValueRow Row(const std::string& name, DWORD type, std::vector<BYTE> data) {
    return MakeValueRow("HKEY_CURRENT_USER\\T", name, type, data.data(), static_cast<DWORD>(data.size()));
}

TEST(ValueOrderTest, DataOrderTakesNumbersAsNumbersAndBytesUnsigned) {
    const std::vector<ValueRow> rows = {
        Row("q-big", REG_QWORD, {0, 0, 0, 0, 1, 0, 0, 0}), // 2^32
        Row("d-max", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}),
        Row("be-1", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}),
        Row("q-short", REG_QWORD, {0xFF}), // not a number: its bytes
        Row("bin-7f", REG_BINARY, {0x7F, 0xFF}),
        Row("bin-empty", REG_BINARY, {}),
        Row("text-b", REG_EXPAND_SZ, {'b', 0, 'a', 0}),
        Row("text-a2", REG_SZ, {'A', '2', 0}),
        Row("text-a10", REG_SZ, {'a', '1', '0', 0}),
    };
    const std::vector<std::string> ascending = {"text-a2", "text-a10",  "text-b", "be-1",   "d-max",
                                                "q-big",   "bin-empty", "bin-7f", "q-short"};
    for (const bool descending : {false, true}) {
        std::vector<std::string> names;
        for (std::size_t row : ValueRowOrder(rows, ValueColumn::Data, descending))
            names.push_back(rows[row].record.valueName);
        EXPECT_EQ(names,
                  descending ? std::vector<std::string>(ascending.rbegin(), ascending.rend()) : ascending);
    }
}

TEST(ValueOrderTest, LineBreaksBecomeOneMarkEach) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"plain", "plain"}, {"a\r\nb", "a↵b"}, {"a\n\nb", "a↵↵b"},
        {"a\rb\n", "a↵b↵"}, {"\n\r", "↵↵"},    {"\xFF\n", "\xFF↵"}, // bytes that are no text stay as they are
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(OneLineText(text), shown) << text;
        EXPECT_EQ(HasLineBreak(text), shown != text) << text;
    }
}

} // namespace
} // namespace hw::app
