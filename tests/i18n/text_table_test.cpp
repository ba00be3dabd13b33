#include "i18n/text_table.h"

#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

namespace hw::i18n {
namespace {

TEST(BuiltInTextsTest, TableHoldsTheListedTextsAndBlanksElsewhere) {
    // 0 to 264 the interface's own, 265 to 299 blank, then the program's additions and those for undo.
    int withText = 0;
    for (int number = 0; number < kFirstOwnText; ++number)
        withText += kBuiltInTexts[number].empty() ? 0 : 1;
    EXPECT_EQ(withText, 252);
    // The additions run without gaps from 300, and again from 400; blanks only after the first block.
    bool blankSeen = false;
    for (int number = kFirstOwnText; number < kTextCount; ++number) {
        if (number == kFirstUndoText) blankSeen = false;
        if (blankSeen) {
            EXPECT_TRUE(kBuiltInTexts[number].empty()) << number;
        }
        blankSeen = blankSeen || kBuiltInTexts[number].empty();
        if (number == kFirstOwnText || number >= kFirstUndoText) {
            EXPECT_FALSE(blankSeen) << number;
        }
    }
    for (int blank : {1, 2, 127, 129, 236, 237, 238, 239, 240, 241, 242, 243, 244})
        EXPECT_EQ(kBuiltInTexts[blank], "") << blank;

    EXPECT_EQ(LookupText(0), "Unknown");
    EXPECT_EQ(LookupText(31), "Invalid key name!should not with \"\\\" character");
    EXPECT_EQ(LookupText(43), "Import success!");
    EXPECT_EQ(LookupText(96), "Resource Re&quirements List Value");
    EXPECT_EQ(LookupText(130), "&About...");
    EXPECT_EQ(LookupText(171), "There is a invalid chararcter \"%s\" in it,please check it!");
    EXPECT_EQ(LookupText(222), "Position[x:%d y:%d]");
    EXPECT_EQ(LookupText(235), "Found Item At:");
    EXPECT_EQ(LookupText(245), "String Editor");
    EXPECT_EQ(LookupText(264), "&Set as default language");
    const std::string help = LookupText(263);
    EXPECT_TRUE(help.starts_with("If you select the \"Wild char support\" , then wild char is \"*\""));
    EXPECT_NE(help.find("you'd input \"\\\\*\" to the edit boxAll in a words"), std::string::npos);
    EXPECT_TRUE(help.ends_with("but \"\\*\" , it's will be translate to \"*\" character"));
}

TEST(BuiltInTextsTest, NumbersOutsideTheTableGiveNothing) {
    EXPECT_EQ(LookupText(-1), "");
    EXPECT_EQ(LookupText(265), "");
    EXPECT_EQ(LookupText(kTextCount), "");
}

class LoadTextSectionTest : public ::testing::Test {
  protected:
    void TearDown() override { LoadTextSection("", ""); }
    void WriteFile(const std::string& content) { ASSERT_TRUE(util::WriteFileBytes(file_, content)); }

    test::TempDir dir_;
    std::string file_ = dir_.file("LANGUAGE.INI");
};

TEST_F(LoadTextSectionTest, ReplacesOnlyValidNumberedEntries) {
    WriteFile("[Deutsch]\r\n43=Import erfolgreich!\r\n999=x\r\nabc=x\r\n-1=x\r\n42=\r\n 5 = Ab=bruch \r\n"
              "3=first\r\n3=second\r\nnoequals\r\n[Other]\r\n0=other\r\n");
    LoadTextSection(file_, "deutsch");
    EXPECT_EQ(LookupText(43), "Import erfolgreich!");
    EXPECT_EQ(LookupText(42), "Not found!");
    EXPECT_EQ(LookupText(5), " Ab=bruch ");
    EXPECT_EQ(LookupText(3), "second");
    EXPECT_EQ(LookupText(0), "Unknown");
    EXPECT_EQ(LookupText(264), "&Set as default language");
}

TEST_F(LoadTextSectionTest, EveryLoadStartsFromTheDefaults) {
    WriteFile("[A]\n43=a\n[B]\n42=b\n");
    LoadTextSection(file_, "A");
    LoadTextSection(file_, "B");
    EXPECT_EQ(LookupText(43), "Import success!");
    EXPECT_EQ(LookupText(42), "b");
    LoadTextSection(file_, "Missing");
    EXPECT_EQ(LookupText(42), "Not found!");
    LoadTextSection(file_, "A");
    LoadTextSection("", "A");
    EXPECT_EQ(LookupText(43), "Import success!");
}

TEST_F(LoadTextSectionTest, MissingFileKeepsDefaults) {
    LoadTextSection(dir_.file("none.ini"), "Deutsch");
    EXPECT_EQ(LookupText(43), "Import success!");
}

TEST(FormatTextTest, FillsMarkersInOrder) {
    EXPECT_EQ(FormatText(Text::CaretPosition, {"3", "7"}), "Position[x:3 y:7]");
    EXPECT_EQ(FormatText(Text::SubKeyExists, {"HKEY_CURRENT_USER\\a"}),
              "Same Name Sub Key:[HKEY_CURRENT_USER\\a] Exists");
    EXPECT_EQ(FormatPattern("100%% %5d|%-3s|%.2s", {"a", "b", "c"}), "100% a|b|c");
}

TEST(FormatTextTest, SurvivesTranslationsWithOtherMarkers) {
    // A translation may hold more markers than the caller fills, or stray percent signs.
    EXPECT_EQ(FormatPattern("%s %s %n %d", {"x"}), "x   ");
    EXPECT_EQ(FormatPattern("50% off %", {"x"}), "50% off %");
    EXPECT_EQ(FormatPattern("%s", {"%d"}), "%d");
}

} // namespace
} // namespace hw::i18n
