#include "platform/ini_profile.h"

#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace hw::platform {
namespace {

class IniProfileTest : public ::testing::Test {
  protected:
    void WriteFile(const std::string& content) { std::ofstream(file_, std::ios::binary) << content; }
    std::string FileContent() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    test::TempDir dir_;
    std::string file_ = dir_.file("LANGUAGE.INI");
};

TEST_F(IniProfileTest, MissingFileOrSectionGivesNothing) {
    EXPECT_TRUE(ReadProfileSection(file_, "S").empty());
    EXPECT_EQ(ReadProfileString(file_, "S", "k", "dflt"), "dflt");
    WriteFile("[Other]\r\nk=v\r\n");
    EXPECT_TRUE(ReadProfileSection(file_, "S").empty());
    EXPECT_EQ(ReadProfileString(file_, "S", "k", ""), "");
}

TEST_F(IniProfileTest, SectionEntriesInFileOrderWithoutBlankOrCommentLines) {
    WriteFile("[A]\r\nx=1\r\n[ Lang ]\r\n43=Import erfolgreich!\r\n\r\n; note\r\n  abc=x = y \r\nnoequals\r\n"
              "[B]\r\ny=2");
    EXPECT_EQ(ReadProfileSection(file_, "lang"),
              (std::vector<std::string>{"43=Import erfolgreich!", "abc=x = y ", "noequals"}));
    EXPECT_EQ(ReadProfileSection(file_, "B"), std::vector<std::string>{"y=2"});
}

TEST_F(IniProfileTest, StringLookupIgnoresCaseAndTakesTextAfterFirstEquals) {
    WriteFile("[Hivewright Language Setting]\nDeutsch=Deutsch\n default = a=b \nDEFAULT=second\n");
    EXPECT_EQ(ReadProfileString(file_, "HIVEWRIGHT LANGUAGE SETTING", "Default", ""), "a=b");
    EXPECT_EQ(ReadProfileString(file_, "Hivewright Language Setting", "deutsch", ""), "Deutsch");
    EXPECT_EQ(ReadProfileString(file_, "Hivewright Language Setting", "none", "x"), "x");
}

TEST_F(IniProfileTest, WriteCreatesFileAndSection) {
    ASSERT_TRUE(WriteProfileString(file_, "Setting", "DEFAULT", "Deutsch"));
    EXPECT_EQ(FileContent(), "[Setting]\r\nDEFAULT=Deutsch\r\n");
    ASSERT_TRUE(WriteProfileString(file_, "Other", "k", ""));
    EXPECT_EQ(FileContent(), "[Setting]\r\nDEFAULT=Deutsch\r\n\r\n[Other]\r\nk=\r\n");
    EXPECT_EQ(ReadProfileString(file_, "Other", "k", "dflt"), "");
}

TEST_F(IniProfileTest, WriteReplacesOnlyTheKeysLineKeepingEveryOtherByte) {
    const std::string before =
        "; top\r\n[S]\r\na=1\r\n  Default = old value\r\nb=2\r\n\r\n[T]\r\nDEFAULT=t\r\n";
    WriteFile(before);
    ASSERT_TRUE(WriteProfileString(file_, "s", "DEFAULT", "new"));
    EXPECT_EQ(FileContent(), "; top\r\n[S]\r\na=1\r\nDEFAULT=new\r\nb=2\r\n\r\n[T]\r\nDEFAULT=t\r\n");
}

TEST_F(IniProfileTest, WriteAddsMissingKeyAtTheEndOfItsSectionInTheFilesLineEnding) {
    WriteFile("[S]\na=1\n\n[T]\nb=2");
    ASSERT_TRUE(WriteProfileString(file_, "S", "DEFAULT", "x"));
    EXPECT_EQ(FileContent(), "[S]\na=1\nDEFAULT=x\n\n[T]\nb=2");
    ASSERT_TRUE(WriteProfileString(file_, "T", "c", "3"));
    EXPECT_EQ(FileContent(), "[S]\na=1\nDEFAULT=x\n\n[T]\nb=2\nc=3\n");
}

TEST_F(IniProfileTest, WriteKeepsMixedLineEndingsOfOtherLines) {
    WriteFile("[S]\r\na=1\nb=2\r\n");
    ASSERT_TRUE(WriteProfileString(file_, "S", "a", "9"));
    EXPECT_EQ(FileContent(), "[S]\r\na=9\nb=2\r\n");
}

TEST_F(IniProfileTest, WriteRefusesTextsThatWouldBreakLines) {
    WriteFile("[S]\r\na=1\r\n");
    EXPECT_FALSE(WriteProfileString(file_, "S", "a", "x\r\n[Evil]"));
    EXPECT_FALSE(WriteProfileString(file_, "S]", "a", "x"));
    EXPECT_FALSE(WriteProfileString(file_, "S", "a=b", "x"));
    EXPECT_FALSE(WriteProfileString(file_, "S", "", "x"));
    EXPECT_EQ(FileContent(), "[S]\r\na=1\r\n");
}

TEST_F(IniProfileTest, WriteLeavesNoTempFilesAndKeepsPermissions) {
    WriteFile("[S]\r\na=1\r\n");
    std::filesystem::permissions(file_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write |
                                            std::filesystem::perms::group_read);
    ASSERT_TRUE(WriteProfileString(file_, "S", "a", "2"));
    EXPECT_EQ(std::filesystem::status(file_).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(IniProfileTest, WriteIntoMissingFolderFailsWithoutCreatingAnything) {
    EXPECT_FALSE(WriteProfileString(dir_.file("no/such/LANGUAGE.INI"), "S", "a", "1"));
}

TEST_F(IniProfileTest, WriteThroughSymlinkUpdatesTheTarget) {
    WriteFile("[S]\r\na=1\r\n");
    const std::string link = dir_.file("link.ini");
    std::filesystem::create_symlink(file_, link);
    ASSERT_TRUE(WriteProfileString(link, "S", "a", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FileContent(), "[S]\r\na=2\r\n");
}

TEST_F(IniProfileTest, ByteOrderMarkBeforeFirstSectionIsTolerated) {
    WriteFile("\xEF\xBB\xBF[S]\r\na=1\r\n");
    EXPECT_EQ(ReadProfileString(file_, "S", "a", ""), "1");
}

} // namespace
} // namespace hw::platform
