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

TEST(OpalColorValue, RgbForm) {
    EXPECT_EQ(ColorValue("rgb( 255 , 0 , 0 )", 7), 0x0000FFu);
    EXPECT_EQ(ColorValue("RGB(1,2,3)", 7), 0x030201u);
    EXPECT_EQ(ColorValue("RGB(\t10\t,20,30)", 7), 0x1E140Au);
    EXPECT_EQ(ColorValue("RGB(256,0,0)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(-1,0,0)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(1,2)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(1,2,3", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(1,,3)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(1,2,3,4)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(1 2,2,3)", 7), 7u);
    EXPECT_EQ(ColorValue("RGB(a,2,3)", 7), 7u);
}

TEST(OpalColorValue, HexadecimalFormsAreUsedAsTheyAre) {
    EXPECT_EQ(ColorValue("#FF0000", 7), 0xFF0000u);
    EXPECT_EQ(ColorValue("#0000ff", 7), 0x0000FFu);
    EXPECT_EQ(ColorValue("0x00ff00", 7), 0x00FF00u);
    EXPECT_EQ(ColorValue("#FFFFFFFF", 7), 0xFFFFFFFFu);
    EXPECT_EQ(ColorValue("#", 7), 0u);
    EXPECT_EQ(ColorValue("0X", 7), 0u);
    EXPECT_EQ(ColorValue("#123456789", 7), 7u);
    EXPECT_EQ(ColorValue("#12G", 7), 7u);
    EXPECT_EQ(ColorValue("#12 ", 7), 7u);
}

TEST(OpalColorValue, NamesAndNumbers) {
    EXPECT_EQ(ColorValue("navy", 7), 0x800000u);
    EXPECT_EQ(ColorValue("Red", 7), 0x0000FFu);
    EXPECT_EQ(ColorValue("SkyBlue", 7), 0xF0CAA6u);
    EXPECT_EQ(ColorValue("cream", 7), 0xF0FBFFu);
    EXPECT_EQ(ColorValue("black", 7), 0u);
    EXPECT_EQ(ColorValue("white", 7), 7u);
    EXPECT_EQ(ColorValue("12", 7), 12u);
    EXPECT_EQ(ColorValue("-1", 7), 0xFFFFFFFFu);
    EXPECT_EQ(ColorValue("$ff", 7), 0xFFu);
    EXPECT_EQ(ColorValue("", 7), 7u);
    EXPECT_EQ(ColorValue("12px", 7), 7u);
    EXPECT_EQ(ColorValue("99999999999", 7), 7u);
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
