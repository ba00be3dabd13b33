#include "regfile/reg_export.h"

#include "platform/platform_facts.h"
#include "platform/registry_store.h"
#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace hw::regfile {
namespace {

using test::SetRawValue;
using ::testing::ElementsAre;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\ExportTest";

std::string Text(const std::string& text) {
    return text + std::string(1, '\0');
}

// The value lines of one key exported alone (its empty line and section line dropped).
RegLines ValueLinesOf(const std::string& path) {
    RegLines lines;
    EXPECT_TRUE(ExportKeyPath(path, lines));
    EXPECT_GE(lines.size(), 2u);
    return RegLines(lines.begin() + 2, lines.end());
}

class ExportTest : public ::testing::Test {
  protected:
    test::TempRegistry registry;
};

TEST_F(ExportTest, EscapesNamesAndStringData) {
    SetRawValue(kKey, "x\"y", REG_SZ, Text("a\\b\"c"));
    SetRawValue(kKey, "a\\b", REG_BINARY, "\x01");
    SetRawValue(kKey, "", REG_SZ, Text("1"));
    EXPECT_THAT(ValueLinesOf(kKey), ::testing::UnorderedElementsAre("\"x\\\"y\"=\"a\\\\b\\\"c\"",
                                                                    "\"a\\\\b\"=hex:01", "\"\"=\"1\""));
}

TEST_F(ExportTest, WritesDWordsAndBinariesInTheirPlainForms) {
    SetRawValue(kKey, "a", REG_DWORD, std::string("\xFF\x00\x00\x00", 4));
    SetRawValue(kKey, "b", REG_DWORD, "\xFF\xFF\xFF\xFF");
    SetRawValue(kKey, "c", REG_BINARY, std::string("\x0A\xFF\x00", 3));
    SetRawValue(kKey, "d", REG_BINARY, "");
    EXPECT_THAT(ValueLinesOf(kKey), ElementsAre("\"a\"=dword:000000FF", "\"b\"=dword:FFFFFFFF",
                                                "\"c\"=hex:0A,FF,00", "\"d\"=hex:"));
}

// Values the plain forms would lose or change keep their type and bytes in the typed form.
TEST_F(ExportTest, WritesEveryOtherValueAsTypedBytes) {
    SetRawValue(kKey, "a", REG_DWORD_BIG_ENDIAN, std::string("\x00\x00\x00\x01", 4));
    SetRawValue(kKey, "b", REG_EXPAND_SZ, Text("%P%"));
    SetRawValue(kKey, "c", REG_MULTI_SZ, std::string("x\0y\0\0", 5));
    SetRawValue(kKey, "d", REG_NONE, "");
    SetRawValue(kKey, "e", REG_QWORD, std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8));
    SetRawValue(kKey, "f", REG_SZ, "no end");
    SetRawValue(kKey, "g", REG_SZ, std::string("a\0b\0", 4));
    SetRawValue(kKey, "h", REG_SZ, Text("two\r\nlines"));
    SetRawValue(kKey, "i", REG_DWORD, "\x01\x02");
    SetRawValue(kKey, "j", 0x1234ABCD, "\x7F");
    // Text payloads are UTF-16LE, as version 5 files carry them.
    EXPECT_THAT(ValueLinesOf(kKey),
                ElementsAre("\"a\"=hex(5):00,00,00,01", "\"b\"=hex(2):25,00,50,00,25,00,00,00",
                            "\"c\"=hex(7):78,00,00,00,79,00,00,00,00,00",
                            "\"d\"=hex(0):", "\"e\"=hex(b):01,00,00,00,00,00,00,00",
                            "\"f\"=hex(1):6E,00,6F,00,20,00,65,00,6E,00,64,00",
                            "\"g\"=hex(1):61,00,00,00,62,00,00,00",
                            "\"h\"=hex(1):74,00,77,00,6F,00,0D,00,0A,00,6C,00,69,00,6E,00,65,00,73,00,00,00",
                            "\"i\"=hex(4):01,02", "\"j\"=hex(1234abcd):7F"));
}

TEST_F(ExportTest, WalksParentsBeforeChildrenWithPathsAsGiven) {
    SetRawValue(kKey + "\\Example\\b", "v", REG_SZ, Text("1"));
    SetRawValue(kKey + "\\Example\\a\\deep", "w", REG_SZ, Text("2"));
    RegLines lines;
    ASSERT_TRUE(ExportKeyPath("hkcu\\software\\exporttest\\example", lines));
    EXPECT_THAT(lines,
                ElementsAre("", "[HKEY_CURRENT_USER\\software\\exporttest\\example]", "",
                            "[HKEY_CURRENT_USER\\software\\exporttest\\example\\a]", "",
                            "[HKEY_CURRENT_USER\\software\\exporttest\\example\\a\\deep]", "\"w\"=\"2\"", "",
                            "[HKEY_CURRENT_USER\\software\\exporttest\\example\\b]", "\"v\"=\"1\""));
}

TEST_F(ExportTest, AMissingKeyAppendsNothing) {
    RegLines lines;
    EXPECT_FALSE(ExportKeyPath(kKey + "\\Missing", lines));
    EXPECT_FALSE(ExportKeyPath("HKXX\\Software", lines));
    EXPECT_TRUE(lines.empty());
}

TEST_F(ExportTest, LeavesOutKeysItCannotOpen) {
    RegLines lines;
    ASSERT_TRUE(ExportKeyPath("HKEY_LOCAL_MACHINE", lines));
    EXPECT_THAT(lines, ::testing::Contains("[HKEY_LOCAL_MACHINE\\HARDWARE]"));
    EXPECT_THAT(lines, ::testing::Not(::testing::Contains("[HKEY_LOCAL_MACHINE\\SAM]")));
}

TEST_F(ExportTest, LeavesOutNamesThatWouldSplitTheLine) {
    SetRawValue(kKey, "bad\r\n\"evil\"", REG_SZ, Text("1"));
    SetRawValue(kKey + "\\odd\nkey", "v", REG_SZ, Text("1"));
    SetRawValue(kKey, "good", REG_SZ, Text("2"));
    RegLines lines;
    ASSERT_TRUE(ExportKeyPath(kKey, lines));
    EXPECT_THAT(lines, ElementsAre("", "[" + kKey + "]", "\"good\"=\"2\""));
}

TEST_F(ExportTest, AWalkADamagedDatabaseStopsSaysWhereAndWhy) {
    for (int i = 0; i < 3000; ++i)
        SetRawValue(kKey + "\\Key" + std::to_string(i), "v", REG_SZ, Text(std::string(200, 'x')));
    platform::UseRegistry(nullptr); // everything in the file, no log beside it
    {
        // Pages from the middle on overwritten, as a failing disk might.
        std::fstream file(registry.databasePath(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(registry.databasePath()) / 2));
        const std::string garbage(256 * 1024, '\xA5');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    platform::UseRegistry(platform::OpenSqliteStore(registry.databasePath()));
    RegLines lines;
    std::vector<std::string> leftOut, unopened;
    std::string unreadable;
    ASSERT_TRUE(ExportKeyPath(kKey, lines, leftOut, unopened, unreadable));
    EXPECT_THAT(unreadable, ::testing::StartsWith(kKey));
    EXPECT_THAT(unreadable, ::testing::HasSubstr("cannot be read: the registry database is damaged"));
    EXPECT_LT(lines.size(), 2u * 3000u);
}

TEST_F(ExportTest, FileHasHeaderSectionsAndCrLfLines) {
    SetRawValue(kKey, "v", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    SetRawValue(kKey + "\\Sub", "", REG_SZ, Text("x"));
    const std::string file = registry.dir().file("out.reg");
    ASSERT_EQ(ExportKeyPathToFile(kKey, file, "REGEDIT4"), ExportResult::Success);
    EXPECT_EQ(test::ReadWholeFile(file), "REGEDIT4\r\n\r\n[" + kKey + "]\r\n\"v\"=dword:00000001\r\n\r\n[" +
                                             kKey + "\\Sub]\r\n\"\"=\"x\"\r\n");
}

TEST_F(ExportTest, TellsAMissingKeyAndAnUnwritableFileFromSuccess) {
    const std::string file = registry.dir().file("out.reg");
    test::WriteWholeFile(file, "old content");
    EXPECT_EQ(ExportKeyPathToFile(kKey + "\\Missing", file, "REGEDIT4"), ExportResult::KeyNotFound);
    EXPECT_EQ(test::ReadWholeFile(file), "REGEDIT4\r\n");
    EXPECT_EQ(ExportKeyPathToFile("HKEY_CURRENT_USER", registry.dir().file("no/such/dir.reg"), "REGEDIT4"),
              ExportResult::WriteFailed);
    EXPECT_EQ(ExportKeyPathToFile("HKEY_CURRENT_USER", registry.dir().path().string(), "REGEDIT4"),
              ExportResult::WriteFailed);
    EXPECT_EQ(ExportKeyPathToFile("HKEY_CURRENT_USER", "/dev/full", "REGEDIT4"), ExportResult::WriteFailed);
}

TEST_F(ExportTest, WholeRegistryHoldsMachineThenUsers) {
    const std::string file = registry.dir().file("all.reg");
    ASSERT_EQ(ExportRegistryToFile(file, "REGEDIT4"), ExportResult::Success);
    const std::string text = test::ReadWholeFile(file);
    const auto machine = text.find("\r\n[HKEY_LOCAL_MACHINE]\r\n");
    const auto users = text.find("\r\n[HKEY_USERS]\r\n");
    ASSERT_NE(machine, std::string::npos);
    ASSERT_NE(users, std::string::npos);
    EXPECT_LT(machine, users);
    EXPECT_EQ(text.find("[HKEY_CURRENT_USER"), std::string::npos);
}

TEST(RegFileHeaderTest, FollowsPlatformFamilyAndVersion) {
    const platform::PlatformFacts saved = platform::GetPlatformFacts();
    auto headerFor = [](int family, int major) {
        platform::SetPlatformFactsForTesting({family, major, false});
        return RegFileHeader();
    };
    EXPECT_EQ(headerFor(platform::kPlatformNt, 5), "Windows Registry Editor Version 5.00");
    EXPECT_EQ(headerFor(platform::kPlatformNt, 4), "REGEDIT4");
    EXPECT_EQ(headerFor(platform::kPlatformWin9x, 4), "REGEDIT4");
    EXPECT_EQ(headerFor(platform::kPlatformWin9x, 5), "REGEDIT3");
    EXPECT_EQ(headerFor(platform::kPlatformNt, 3), "REGEDIT3");
    platform::SetPlatformFactsForTesting(saved);
}

} // namespace
} // namespace hw::regfile
