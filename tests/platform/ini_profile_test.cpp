#include "platform/ini_profile.h"

#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace hw::platform {
namespace {

class IniProfileTest : public ::testing::Test {
  protected:
    void WriteFile(const std::string& content) { ASSERT_TRUE(util::WriteFileBytes(file_, content)); }
    std::string FileContent() const { return util::ReadFileBytes(file_).value_or("<missing>"); }

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
    EXPECT_EQ(ReadProfileSection(file_, " B\t"), std::vector<std::string>{"y=2"});
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

TEST_F(IniProfileTest, WriteIntoMissingFolderFailsWithoutCreatingAnything) {
    EXPECT_FALSE(WriteProfileString(dir_.file("no/such/LANGUAGE.INI"), "S", "a", "1"));
}

TEST_F(IniProfileTest, WriteAfterUnterminatedLastLineKeepsItsText) {
    WriteFile("[T]\nx=1\r");
    ASSERT_TRUE(WriteProfileString(file_, "S", "k", "v"));
    EXPECT_EQ(ReadProfileSection(file_, "T"), std::vector<std::string>{"x=1"});
    EXPECT_EQ(FileContent(), "[T]\nx=1\r\n\n[S]\nk=v\n");
}

TEST_F(IniProfileTest, WriteNeverReplacesWhatItCannotRead) {
    std::filesystem::create_directory(file_);
    EXPECT_FALSE(WriteProfileString(file_, "S", "a", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(file_));
}

TEST_F(IniProfileTest, WriteLeavesAFileItsUserCannotReadAlone) {
    if (geteuid() != 0) GTEST_SKIP() << "another user's view needs root to take it";
    const std::string before = "[Hivewright Language Setting]\r\nDEFAULT=Deutsch\r\nx=1\r\n";
    WriteFile(before);
    ASSERT_EQ(chmod(file_.c_str(), 0600), 0);
    // The folder may be written by anyone, so only the unreadable file itself stands in the way.
    ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
        _exit(WriteProfileString(file_, "Hivewright Language Setting", "DEFAULT", "English") ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write claimed success; 2: user nobody could not be taken";
    EXPECT_EQ(FileContent(), before);
}

TEST_F(IniProfileTest, ByteOrderMarkBeforeFirstSectionIsTolerated) {
    WriteFile("\xEF\xBB\xBF[S]\r\na=1\r\n");
    EXPECT_EQ(ReadProfileString(file_, "S", "a", ""), "1");
}

} // namespace
} // namespace hw::platform
