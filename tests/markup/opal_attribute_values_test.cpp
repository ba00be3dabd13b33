#include "markup/opal_attributes.h"
#include "markup/opal_values.h"

#include <gtest/gtest.h>

using namespace hw::markup;

TEST(OpalAttributes, GetFindsTheFirstOccurrenceAndKeepsTheBlock) {
    const std::string block = "input\r\nvaluename=V\r\nvalue=1\r\nvalue=2\r\nreadonly";
    EXPECT_EQ(GetAttribute(block, "value"), "1");
    EXPECT_EQ(GetAttribute(block, "valuename"), "V");
    // Bare names, the tag name and missing names all read as absent.
    EXPECT_EQ(GetAttribute(block, "readonly"), "");
    EXPECT_EQ(GetAttribute(block, "input"), "");
    EXPECT_EQ(GetAttribute(block, "name"), "");
    EXPECT_EQ(GetAttribute(block, "VALUE"), "");
}

TEST(OpalAttributes, TakeRemovesOneOccurrenceAtATime) {
    std::string block = "label\r\nvalue=1\r\ncolor=red\r\nvalue=2";
    EXPECT_EQ(TakeAttribute(block, "value"), "1");
    EXPECT_EQ(block, "label\r\ncolor=red\r\nvalue=2");
    EXPECT_EQ(TakeAttribute(block, "value"), "2");
    EXPECT_EQ(block, "label\r\ncolor=red");
    EXPECT_EQ(TakeAttribute(block, "value"), "");
    EXPECT_EQ(block, "label\r\ncolor=red");
    EXPECT_EQ(TakeAttribute(block, "color"), "red");
    EXPECT_EQ(block, "label");
}

TEST(OpalAttributes, ValuesKeepEqualSigns) {
    std::string block = "label\r\nvalue=a=b\r\nname=n";
    EXPECT_EQ(TakeAttribute(block, "value"), "a=b");
    EXPECT_EQ(block, "label\r\nname=n");
}

namespace {

struct ColorCase {
    const char* text;
    TColor expected;
};

constexpr TColor kDefault = 7;

void ExpectColors(std::initializer_list<ColorCase> cases) {
    for (const ColorCase& c : cases)
        EXPECT_EQ(ColorValue(c.text, kDefault), c.expected) << c.text;
}

} // namespace

TEST(OpalColorValue, RgbForm) {
    ExpectColors({{"rgb( 255 , 0 , 0 )", 0x0000FF},
                  {"RGB(1,2,3)", 0x030201},
                  {"RGB(\t10\t,20,30)", 0x1E140A},
                  {"RGB(256,0,0)", kDefault},
                  {"RGB(-1,0,0)", kDefault},
                  {"RGB(1,2)", kDefault},
                  {"RGB(1,2,3", kDefault},
                  {"RGB(1,,3)", kDefault},
                  {"RGB(1,2,3,4)", kDefault},
                  {"RGB(1 2,2,3)", kDefault},
                  {"RGB($1,2,3)", kDefault},
                  {"RGB(a,2,3)", kDefault}});
}

TEST(OpalColorValue, HexadecimalFormsAreUsedAsTheyAre) {
    ExpectColors({{"#FF0000", 0xFF0000},
                  {"#0000ff", 0x0000FF},
                  {"0x00ff00", 0x00FF00},
                  {"#FFFFFFFF", 0xFFFFFFFF},
                  {"#", 0},
                  {"0X", 0},
                  {"#123456789", kDefault},
                  {"#12G", kDefault},
                  {"#12 ", kDefault}});
}

TEST(OpalColorValue, NamesAndNumbers) {
    ExpectColors({{"navy", 0x800000},
                  {"Red", 0x0000FF},
                  {"SkyBlue", 0xF0CAA6},
                  {"cream", 0xF0FBFF},
                  {"black", 0},
                  {"white", kDefault},
                  {"12", 12},
                  {"-1", 0xFFFFFFFF},
                  {"$ff", 0xFF},
                  {"", kDefault},
                  {"12px", kDefault},
                  {"99999999999", kDefault}});
}

TEST(OpalBoolValue, OnlyTheOppositeWordsChangeTheDefault) {
    EXPECT_TRUE(BoolValue("Yes", false));
    EXPECT_TRUE(BoolValue("TRUE", false));
    EXPECT_TRUE(BoolValue("1", false));
    EXPECT_FALSE(BoolValue("on", false));
    EXPECT_FALSE(BoolValue("", false));
    EXPECT_FALSE(BoolValue("no", false));

    EXPECT_FALSE(BoolValue("No", true));
    EXPECT_FALSE(BoolValue("false", true));
    EXPECT_FALSE(BoolValue("0", true));
    EXPECT_TRUE(BoolValue("", true));
    EXPECT_TRUE(BoolValue("off", true));
    EXPECT_TRUE(BoolValue(" no", true));
}
