#include "core/number_text.h"

#include <gtest/gtest.h>

namespace hw::core {
namespace {

TEST(TextToInt64, DecimalAndHexadecimalForms) {
    EXPECT_EQ(TextToInt64("42"), 42);
    EXPECT_EQ(TextToInt64("   -1"), -1);
    EXPECT_EQ(TextToInt64("+7"), 7);
    EXPECT_EQ(TextToInt64("$ff"), 255);
    EXPECT_EQ(TextToInt64("0X10"), 16);
    EXPECT_EQ(TextToInt64("-$10"), -16);
    EXPECT_EQ(TextToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(TextToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(TextToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(TextToInt64, RejectsAnythingElse) {
    for (const char* text : {"", "   ", "-", "$", "0x", "12 ", "1a", "$G", "1.0", "9223372036854775808",
                             "$10000000000000000", "\t1"}) {
        EXPECT_EQ(TextToInt64(text), std::nullopt) << text;
    }
}

} // namespace
} // namespace hw::core
