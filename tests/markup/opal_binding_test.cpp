#include "markup/opal_binding.h"

#include <gtest/gtest.h>

using namespace hw::markup;

TEST(OpalBinding, TypeAttributes) {
    EXPECT_EQ(InputTypeOf("CheckBox"), InputType::CheckBox);
    EXPECT_EQ(InputTypeOf("checklistbox"), InputType::CheckList);
    EXPECT_EQ(InputTypeOf("textarea"), InputType::Memo);
    EXPECT_EQ(InputTypeOf("text"), InputType::Edit);
    EXPECT_EQ(InputTypeOf(""), InputType::Edit);
    EXPECT_EQ(DataTypeOf("reg_dword_big_endian"), 5u);
    EXPECT_EQ(DataTypeOf("REG_DWORD_LITTLE_ENDIAN"), 4u);
    EXPECT_EQ(DataTypeOf("REG_RESOURCE_REQUIREMENTS_LIST"), 10u);
    EXPECT_EQ(DataTypeOf("REG_QWORD"), 1u);
    EXPECT_EQ(DataTypeOf(""), 1u);
}

TEST(OpalBinding, NormalizeValueTextByTypeClass) {
    struct Case {
        const char* text;
        DWORD type;
        const char* normalized;
    };
    const Case cases[] = {
        {"a\r\nb", REG_MULTI_SZ, "a\r\nb"},
        {"42", REG_DWORD, "42"},
        {"4294967295", REG_DWORD_BIG_ENDIAN, "4294967295"},
        {"4294967296", REG_DWORD, "0"},
        {"-1", REG_DWORD, "0"},
        {"abc", REG_DWORD, "0"},
        {"", REG_DWORD, "0"},
        {"0a-1b-2c", REG_BINARY, "0a 1b 2c "},
        {"ABCDE", REG_LINK, "AB CD E"},
        {"x", 0, ""},
        {"x", 11, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormalizeValueText(c.text, c.type), c.normalized) << c.text << " type " << c.type;
    EXPECT_EQ(DwordOfText(""), 0u);
    EXPECT_EQ(DwordOfText("7"), 7u);
    EXPECT_FALSE(DwordOfText("-1"));
    EXPECT_FALSE(DwordOfText("4294967296"));
    EXPECT_FALSE(DwordOfText("seven"));
}

TEST(OpalBinding, OptionsShowNonEmptyTextsAndLookUpRegardlessOfCase) {
    const OptionList options({"Off=0", "=hidden", "On=1", "on=2", "Plain"});
    EXPECT_EQ(options.ItemTexts(), (std::vector<std::string>{"Off", "On", "on", "Plain"}));
    EXPECT_EQ(options.ValueOf("ON"), "1");
    EXPECT_EQ(options.ValueOf("Plain"), "");
    EXPECT_EQ(options.ValueOf("missing"), "");
    // The first item with the value is selected; an unknown value selects nothing.
    EXPECT_EQ(SelectedItemOf(options, "1"), 1);
    // Item "on" looks its value up by text and finds "On=1" first, so no item stands for 2.
    EXPECT_EQ(SelectedItemOf(options, "2"), -1);
    EXPECT_EQ(SelectedItemOf(options, "9"), -1);
    EXPECT_EQ(SelectedItemValueText(options, 0), "0");
    EXPECT_EQ(SelectedItemValueText(options, -1), "");
}

TEST(OpalBinding, CheckBoxFollowsTheTrueAndFalseLines) {
    const std::vector<std::string> lines = {"true=1", "false=0"};
    EXPECT_TRUE(CheckBoxChecked(lines, "1"));
    EXPECT_FALSE(CheckBoxChecked(lines, "0"));
    // A missing value reads as empty: unchecked.
    EXPECT_FALSE(CheckBoxChecked(lines, ""));
    EXPECT_TRUE(CheckBoxChecked({"TRUE=Yes"}, "yes"));
    const OptionList options(lines);
    EXPECT_EQ(CheckBoxValueText(options, true), "1");
    EXPECT_EQ(CheckBoxValueText(options, false), "0");
    EXPECT_EQ(CheckBoxValueText(OptionList({}), true), "");
}

TEST(OpalBinding, CheckListBitSumsLinesAndSubstrings) {
    const OptionList bits({"A=1", "B=2", "C=4", "Any=0", "Word=x"});
    using States = std::vector<std::optional<bool>>;
    EXPECT_EQ(CheckListStates(bits, REG_DWORD, "5"), (States{true, false, true, true, std::nullopt}));
    // Not a 32-bit number: nothing is set.
    EXPECT_EQ(CheckListStates(bits, REG_DWORD, "4294967296"), States(5));
    EXPECT_EQ(CheckListValueText(bits, REG_DWORD, {true, true, true, false, true}), "7");
    EXPECT_EQ(CheckListValueText(bits, REG_DWORD, {false, false, false, true, false}), "");

    const OptionList names({"One=a", "Two=b", "Three=c"});
    EXPECT_EQ(CheckListStates(names, REG_MULTI_SZ, "A\r\nc"), (States{true, false, true}));
    EXPECT_EQ(CheckListValueText(names, REG_SZ, {true, false, true}), "a\r\nc");
    EXPECT_EQ(CheckListStates(names, REG_BINARY, "xxbxx"), (States{false, true, false}));
    EXPECT_EQ(CheckListValueText(names, REG_BINARY, {true, true, false}), "\r\na\r\nb");
}
