#include "regfile/reg_import.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

namespace hw::regfile {
namespace {

using test::GetRawValue;
using test::ImportText;
using test::StoredValue;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\ImportTest";
const std::string kSection = "[" + kKey + "]\r\n";

StoredValue Sz(const std::string& text) {
    return {REG_SZ, text + std::string(1, '\0')};
}
StoredValue Dw(DWORD number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(number >> (8 * i));
    return {REG_DWORD, bytes};
}

class ImportTest : public ::testing::Test {
  protected:
    test::TempRegistry registry;
};

TEST_F(ImportTest, AcceptsOnlyTheThreeExactHeaders) {
    for (const char* header : {"REGEDIT3", "REGEDIT4", "Windows Registry Editor Version 5.00"}) {
        EXPECT_EQ(ImportText(std::string(header) + "\r\n" + kSection + "\"h\"=\"1\"\r\n"),
                  ImportResult::Success);
    }
    EXPECT_EQ(GetRawValue(kKey, "h"), Sz("1"));
    for (const char* refused : {"", "REGEDIT4 \r\n", "regedit4\r\n", " REGEDIT4\r\n",
                                "\xEF\xBB\xBFREGEDIT4\r\n", "\r\nREGEDIT4\r\n"}) {
        EXPECT_EQ(ImportText(std::string(refused) + kSection + "\"r\"=\"1\"\r\n"),
                  ImportResult::UnknownHeader)
            << refused;
    }
    EXPECT_EQ(GetRawValue(kKey, "r"), std::nullopt);
    EXPECT_EQ(ImportText("REGEDIT4"), ImportResult::Success);
    EXPECT_EQ(ImportRegLines({}), ImportResult::UnknownHeader);
}

TEST_F(ImportTest, ReportsMissingFilesDirectoriesAndFailures) {
    EXPECT_EQ(ImportRegFile(registry.dir().file("missing.reg")), ImportResult::FileNotFound);
    EXPECT_EQ(ImportRegFile(""), ImportResult::FileNotFound);
    EXPECT_EQ(ImportRegFile(registry.dir().path().string()), ImportResult::Incomplete);
}

TEST_F(ImportTest, SectionLinesNeedFullRootNames) {
    EXPECT_EQ(ImportText("REGEDIT4\r\n\"early\"=\"1\"\r\n[HKCU\\Software\\ImportTest]\r\n\"abbr\"=\"1\"\r\n"
                         "[hkey_current_user]\r\n\"atRoot\"=\"1\"\r\n"
                         "[HKEY_CURRENT_USER\\Software\\ImportTest\\x]y]\r\n\"bracket\"=\"1\"\r\n"
                         "[HKEY_CURRENT_USER\\Software\\ImportTest\\open\r\n\"unclosed\"=\"1\"\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue("HKEY_CURRENT_USER", "early"), std::nullopt);
    EXPECT_EQ(GetRawValue("HKEY_CURRENT_USER", "abbr"), std::nullopt);
    EXPECT_EQ(GetRawValue("HKEY_CURRENT_USER", "atRoot"), Sz("1"));
    EXPECT_EQ(GetRawValue(kKey + "\\x]y", "bracket"), Sz("1"));
    EXPECT_EQ(GetRawValue("HKEY_CURRENT_USER", "unclosed"), std::nullopt);
    EXPECT_FALSE(test::KeyPresent(kKey + "\\open"));
}

TEST_F(ImportTest, ReadsStringsWithEscapesAndMissingQuotes) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + kSection + "\"x\\\"y\"=\"a\\\\b\\\"c\"\r\n\"\"=\"default\"\r\n" +
                         "\"open\"=\"\r\n\"inner\"=\"say \"hi\"\"  \r\n  \"indented\"=\"v\"\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "x\"y"), Sz("a\\b\"c"));
    EXPECT_EQ(GetRawValue(kKey, ""), Sz("default"));
    EXPECT_EQ(GetRawValue(kKey, "open"), Sz(""));
    EXPECT_EQ(GetRawValue(kKey, "inner"), Sz("say \"hi\""));
    EXPECT_EQ(GetRawValue(kKey, "indented"), Sz("v"));
}

TEST_F(ImportTest, BadDWordsFlagAnErrorAndKeepEverythingElse) {
    ASSERT_EQ(
        ImportText("REGEDIT4\r\n" + kSection +
                   "\"a\"=dword:ffffffff\r\n\"b\"=dword:1F\r\n\"c\"=dword:123456789\r\n\"d\"=dword:12G\r\n"
                   "\"e\"=dword:\r\n\"f\"=dword:1 \r\n\"g\"=\"after\"\r\n"),
        ImportResult::Incomplete);
    EXPECT_EQ(GetRawValue(kKey, "a"), Dw(0xFFFFFFFF));
    EXPECT_EQ(GetRawValue(kKey, "b"), Dw(31));
    EXPECT_EQ(GetRawValue(kKey, "c"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey, "d"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey, "e"), Dw(0));
    EXPECT_EQ(GetRawValue(kKey, "f"), Dw(1)); // a trailing blank, as other tools write
    EXPECT_EQ(GetRawValue(kKey, "g"), Sz("after"));
}

TEST_F(ImportTest, ReadsBinariesAndTheirContinuationLines) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + kSection + "\"a\"=hex:0a,ff\r\n\"empty\"=hex:\r\n" +
                         "\"cont\"=hex:01,02,\\\r\n    03,04\r\n\"next\"=\"n\"\r\n" +
                         "\"gap\"=hex:05, \\\r\n  \r\n  06,\\\r\n  07\r\n  08\r\n" +
                         "\"stop\"=hex:09,\\\r\n\"after\"=dword:2\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "a"), (StoredValue{REG_BINARY, "\x0A\xFF"}));
    EXPECT_EQ(GetRawValue(kKey, "empty"), (StoredValue{REG_BINARY, ""}));
    EXPECT_EQ(GetRawValue(kKey, "cont"), (StoredValue{REG_BINARY, "\x01\x02\x03\x04"}));
    EXPECT_EQ(GetRawValue(kKey, "next"), Sz("n"));
    EXPECT_EQ(GetRawValue(kKey, "gap"), (StoredValue{REG_BINARY, "\x05\x06\x07"}));
    EXPECT_EQ(GetRawValue(kKey, "stop"), (StoredValue{REG_BINARY, "\x09"}));
    EXPECT_EQ(GetRawValue(kKey, "after"), Dw(2));
}

TEST_F(ImportTest, ATruncatedContinuationKeepsWhatItHas) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + kSection + "\"a\"=hex:01,02,\\"), ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "a"), (StoredValue{REG_BINARY, "\x01\x02"}));
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + kSection + "\"b\"=hex:03,\\\r\n@=\"d\"\r\n;note\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "b"), (StoredValue{REG_BINARY, "\x03"}));
    EXPECT_EQ(GetRawValue(kKey, ""), Sz("d"));
}

TEST_F(ImportTest, ReadsFilesOfOtherToolsWithDefaultsTypesAndDeletions) {
    test::SetRawValue(kKey, "gone", REG_SZ, "x");
    test::SetRawValue(kKey + "\\Old\\Deeper", "v", REG_SZ, "x");
    ASSERT_EQ(
        ImportText("Windows Registry Editor Version 5.00\r\n\r\n; exported elsewhere\r\n" + kSection +
                   "@=\"default\"\r\n\"gone\"=-\r\n\"never\"=-\r\n\"exp\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                   "\"multi\"=hex(7):61,00,62,\\\r\n  00,00\r\n\"q\"=hex(B):01,00,00,00,00,00,00,00\r\n"
                   "\"big\"=hex(5):00,00,00,01\r\n;\"skipped\"=\"1\"\r\n" +
                   "[-" + kKey + "\\Old]\r\n\"orphan\"=\"1\"\r\n[-" + kKey + "\\NeverWas]\r\n"),
        ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, ""), Sz("default"));
    EXPECT_EQ(GetRawValue(kKey, "gone"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey, "exp"), (StoredValue{REG_EXPAND_SZ, std::string("%A%\0", 4)}));
    EXPECT_EQ(GetRawValue(kKey, "multi"), (StoredValue{REG_MULTI_SZ, std::string("a\0b\0\0", 5)}));
    EXPECT_EQ(GetRawValue(kKey, "q"), (StoredValue{11, std::string("\x01\0\0\0\0\0\0\0", 8)}));
    EXPECT_EQ(GetRawValue(kKey, "big"), (StoredValue{REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\x01", 4)}));
    EXPECT_EQ(GetRawValue(kKey, "skipped"), std::nullopt);
    EXPECT_FALSE(test::KeyPresent(kKey + "\\Old"));
    EXPECT_EQ(GetRawValue(kKey, "orphan"), std::nullopt);
}

TEST_F(ImportTest, DefaultValueTakesEveryDataForm) {
    const std::string sub = kKey + "\\D";
    const std::string section = "[" + sub + "]\r\n";
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + section + "@=dword:00000010\r\n"), ImportResult::Success);
    EXPECT_EQ(GetRawValue(sub, ""), Dw(16));
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + section + "@=hex:01,\\\r\n  02\r\n"), ImportResult::Success);
    EXPECT_EQ(GetRawValue(sub, ""), (StoredValue{REG_BINARY, "\x01\x02"}));
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + section + "@=-\r\n"), ImportResult::Success);
    EXPECT_EQ(GetRawValue(sub, ""), std::nullopt);
}

TEST_F(ImportTest, DeletingARootIsRefused) {
    EXPECT_EQ(ImportText("REGEDIT4\r\n[-HKEY_CURRENT_USER]\r\n"), ImportResult::Incomplete);
    EXPECT_TRUE(test::KeyPresent("HKEY_CURRENT_USER\\Software"));
}

TEST_F(ImportTest, SectionsThatCannotBeCreatedSkipTheirValues) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\" + std::string(300, 'k') +
                         "]\r\n\"lost\"=\"1\"\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]\r\n"
                         "\"Identifier\"=\"changed\"\r\n" +
                         kSection + "\"kept\"=\"1\"\r\n"),
              ImportResult::Incomplete);
    EXPECT_EQ(GetRawValue(kKey, "kept"), Sz("1"));
    EXPECT_EQ(GetRawValue("HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System", "Identifier"),
              Sz("AT/AT COMPATIBLE"));
}

TEST_F(ImportTest, ReadsUtf16FilesAsUtf8) {
    // "\u00e9" as UTF-16LE in both the text and a hex(2) payload.
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n" + kSection +
                             "\"caf\xC3\xA9\"=\"cr\xC3\xA8me\"\r\n\"exp\"=hex(2):25,00,e9,00,25,00,00,00\r\n"
                             "\"raw\"=hex:e9,00\r\n";
    std::string utf16 = "\xFF\xFE";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char16_t unit = c;
        if (c == 0xC3) unit = static_cast<char16_t>(0xC0 | (static_cast<unsigned char>(text[++i]) & 0x3F));
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    ASSERT_EQ(ImportText(utf16), ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "caf\xC3\xA9"), Sz("cr\xC3\xA8me"));
    EXPECT_EQ(GetRawValue(kKey, "exp"), (StoredValue{REG_EXPAND_SZ, std::string("%\xC3\xA9%\0", 5)}));
    EXPECT_EQ(GetRawValue(kKey, "raw"), (StoredValue{REG_BINARY, std::string("\xE9\0", 2)}));
}

TEST_F(ImportTest, SurvivesGarbageNulBytesAndHugeLines) {
    std::string garbage = "REGEDIT4\r\n" + kSection + "\"before\"=\"1\"\r\n";
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) & 0xFF);
    garbage += "\r\n" + kSection + "\"nul\"=\"a" + std::string(1, '\0') + "b\"\r\n";
    garbage += "\"huge\"=\"" + std::string(8 << 20, 'h') + "\"\r\n";
    garbage += "\"hugehex\"=hex:" + std::string(3 << 20, ',') + "\r\n";
    garbage += kSection + "\"after\"=\"2\"\r\n";
    ImportText(garbage);
    EXPECT_EQ(GetRawValue(kKey, "before"), Sz("1"));
    EXPECT_EQ(GetRawValue(kKey, "nul"), Sz(std::string("a\0b", 3)));
    EXPECT_EQ(GetRawValue(kKey, "huge")->bytes.size(), (8u << 20) + 1);
    EXPECT_EQ(GetRawValue(kKey, "after"), Sz("2"));
}

// Sections are opened below earlier sections that contain them; the keys must still be the ones named.
TEST_F(ImportTest, SectionsInAnyOrderLandInTheirOwnKeys) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n" + kSection + "\"v\"=\"top\"\r\n[" + kKey +
                         "\\A\\B]\r\n\"v\"=\"ab\"\r\n[" + kKey + "\\AB]\r\n\"v\"=\"AB\"\r\n[" + kKey +
                         "\\A]\r\n\"v\"=\"a\"\r\n[-" + kKey + "\\A]\r\n[" + kKey +
                         "\\A\\C]\r\n\"v\"=\"ac\"\r\n[HKEY_USERS\\.DEFAULT\\Software]\r\n"
                         "\"v\"=\"users\"\r\n[" +
                         kKey + "]\r\n\"w\"=\"again\"\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "v"), Sz("top"));
    EXPECT_EQ(GetRawValue(kKey, "w"), Sz("again"));
    EXPECT_EQ(GetRawValue(kKey + "\\A\\B", "v"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey + "\\AB", "v"), Sz("AB"));
    EXPECT_EQ(GetRawValue(kKey + "\\A", "v"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey + "\\A\\C", "v"), Sz("ac"));
    EXPECT_EQ(GetRawValue("HKEY_USERS\\.DEFAULT\\Software", "v"), Sz("users"));
}

// A section whose parent section was closed earlier is opened below that parent, which stays open for the
// sections after it; keys, values and the keys made on the way must be the ones the file names.
TEST_F(ImportTest, SectionsBelowAClosedParentLandInTheirOwnKeys) {
    ASSERT_EQ(ImportText("REGEDIT4\r\n[" + kKey + "\\P]\r\n\"v\"=\"p\"\r\n[" + kKey + "\\Q]\r\n[" + kKey +
                         "\\P\\A]\r\n\"v\"=\"pa\"\r\n[" + kKey + "\\P\\B]\r\n\"v\"=\"pb\"\r\n[" + kKey +
                         "\\P\\B\\C]\r\n\"v\"=\"pbc\"\r\n[" + kKey + "\\Q\\X\\Y\\Z]\r\n\"v\"=\"qxyz\"\r\n[" +
                         kKey + "\\Q\\X\\Y\\W]\r\n\"v\"=\"qxyw\"\r\n[" + kKey +
                         "\\P\\\\D\\]\r\n\"v\"=\"pd\"\r\n[" + kKey + "\\P]\r\n\"w\"=\"p2\"\r\n"),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey + "\\P", "v"), Sz("p"));
    EXPECT_EQ(GetRawValue(kKey + "\\P", "w"), Sz("p2"));
    EXPECT_EQ(GetRawValue(kKey + "\\P\\A", "v"), Sz("pa"));
    EXPECT_EQ(GetRawValue(kKey + "\\P\\B", "v"), Sz("pb"));
    EXPECT_EQ(GetRawValue(kKey + "\\P\\B\\C", "v"), Sz("pbc"));
    EXPECT_EQ(GetRawValue(kKey + "\\Q\\X\\Y\\Z", "v"), Sz("qxyz"));
    EXPECT_EQ(GetRawValue(kKey + "\\Q\\X\\Y\\W", "v"), Sz("qxyw"));
    EXPECT_EQ(GetRawValue(kKey + "\\Q\\X\\Y", "v"), std::nullopt);
    EXPECT_EQ(GetRawValue(kKey + "\\P\\D", "v"), Sz("pd"));
    EXPECT_EQ(GetRawValue(kKey + "\\Q", "v"), std::nullopt);
    for (const char* stray : {"\\A", "\\B", "\\X", "\\Y", "\\Z", "\\P\\C", "\\Q\\Y"})
        EXPECT_FALSE(test::KeyPresent(kKey + stray)) << stray;
}

TEST_F(ImportTest, ImportsFromALineList) {
    EXPECT_EQ(ImportRegLines({"REGEDIT4", "[" + kKey + "]", "\"a\"=hex:01,\\", "  02", "\"b\"=\"x\""}),
              ImportResult::Success);
    EXPECT_EQ(GetRawValue(kKey, "a"), (StoredValue{REG_BINARY, "\x01\x02"}));
    EXPECT_EQ(GetRawValue(kKey, "b"), Sz("x"));
}

} // namespace
} // namespace hw::regfile
