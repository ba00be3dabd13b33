// The natural order of value names.
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

} // namespace
} // namespace hw::app
