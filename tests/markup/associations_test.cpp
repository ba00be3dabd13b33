#include "markup/associations.h"
#include "markup/desktop_integration.h"
#include "markup/magic_setting_pages.h"

#include "core/key_ops.h"
#include "core/value_text.h"
#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace hw;
using namespace hw::markup;

namespace {

constexpr const char* kProgram = "/opt/My Programs/hivewright";

std::string Default(const std::string& key) {
    return core::ReadValueTextOfPath(key, "");
}

class Associations : public ::testing::Test {
  protected:
    test::TempRegistry registry_;
};

TEST_F(Associations, RegisterWritesQuotedCommandsUnderTheRegFileClassAndTwiceIsTheSame) {
    for (int round = 0; round < 2; ++round) {
        RegisterOPALFiles(kProgram);
        RegisterRegFileVerb(kProgram);
    }
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\.opal"), "opalFile");
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\opalFile"), "TorvaSoft Registry Mark Language file");
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\opalFile\\shell\\open\\Command"),
              "\"/opt/My Programs/hivewright\" /.opal /file:<%1>");
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\opalFile\\DefaultIcon"), "/opt/My Programs/hivewright,2");
    // The seeded store names the class regfile.
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright"), "Edit By &Hivewright");
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright\\Command"),
              "\"/opt/My Programs/hivewright\" /.reg /file:<%1>");
    EXPECT_EQ(CommandProgramPath("/usr/bin/hivewright"), "/usr/bin/hivewright");
}

TEST_F(Associations, UnregisterRemovesOnlyWhatRegisterAdded) {
    RegisterOPALFiles(kProgram);
    RegisterRegFileVerb(kProgram);
    core::WriteValueTextOfPath("HKEY_CLASSES_ROOT\\opalFile\\shell\\extra", "", "x", REG_SZ);
    UnregisterOPALFiles();
    UnregisterRegFileVerb();
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\.opal"));
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\opalFile"));
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright"));
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\regfile\\shell\\open\\command"),
              "hivewright /import \"/file:<%1>\"");
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\.reg"), "regfile");
}

TEST_F(Associations, WithoutARegFileClassTheVerbIsSkipped) {
    core::DeleteKeyPath("HKEY_CLASSES_ROOT\\.reg");
    RegisterRegFileVerb(kProgram);
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\shell"));
}

TEST_F(Associations, TheStartCheckRegistersOnlyWhenTheOpalClassIsMissing) {
    CheckAssociations(kProgram);
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\.opal"), "opalFile");
    EXPECT_TRUE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright"));
    core::WriteValueTextOfPath("HKEY_CLASSES_ROOT\\.opal", "", "mine", REG_SZ);
    core::DeleteKeyPath("HKEY_CLASSES_ROOT\\opalFile");
    CheckAssociations(kProgram);
    EXPECT_EQ(Default("HKEY_CLASSES_ROOT\\.opal"), "mine");
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\opalFile"));
}

TEST(DesktopIntegration, ExecArgumentsAreQuotedForTheEntryFormat) {
    EXPECT_EQ(DesktopExecArgument("/usr/bin/hivewright"), "/usr/bin/hivewright");
    EXPECT_EQ(DesktopExecArgument("/opt/My Programs/hw"), "\"/opt/My Programs/hw\"");
    EXPECT_EQ(DesktopExecArgument("/a$b\"c`d\\e%f"), "\"/a\\\\$b\\\\\"c\\\\`d\\\\\\\\e%%f\"");
}

TEST(DesktopIntegration, InstallWritesEntriesAndMimeTypesAndRemoveTakesOnlyThose) {
    test::TempDir data;
    const auto applications = data.path() / "applications";
    std::filesystem::create_directories(applications);
    util::WriteFileBytes((applications / "other.desktop").string(), "[Desktop Entry]\n");
    ASSERT_TRUE(InstallDesktopIntegration("/opt/My Programs/hivewright", "/opt/My Programs/hivewright.svg",
                                          data.path().string()));
    const auto opal = util::ReadFileBytes((applications / "hivewright-opal.desktop").string());
    ASSERT_TRUE(opal);
    EXPECT_NE(opal->find("Exec=\"/opt/My Programs/hivewright\" --opal %f\n"), std::string::npos);
    EXPECT_NE(opal->find("MimeType=application/x-hivewright-opal;"), std::string::npos);
    const auto reg = util::ReadFileBytes((applications / "hivewright-edit-reg.desktop").string());
    ASSERT_TRUE(reg);
    EXPECT_NE(reg->find("Name=Edit By Hivewright\n"), std::string::npos);
    EXPECT_NE(reg->find("--edit-reg %f"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright.desktop"));
    const auto mime = util::ReadFileBytes((data.path() / "mime/packages/hivewright.xml").string());
    ASSERT_TRUE(mime);
    EXPECT_NE(mime->find("<glob pattern=\"*.opal\"/>"), std::string::npos);
    EXPECT_NE(mime->find("<glob pattern=\"*.reg\"/>"), std::string::npos);

    // A file of the same name that another program wrote stays.
    util::WriteFileBytes((applications / "hivewright.desktop").string(), "[Desktop Entry]\nName=Theirs\n");
    RemoveDesktopIntegration(data.path().string());
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright-opal.desktop"));
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright-edit-reg.desktop"));
    EXPECT_FALSE(std::filesystem::exists(data.path() / "mime/packages/hivewright.xml"));
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright.desktop"));
    EXPECT_TRUE(std::filesystem::exists(applications / "other.desktop"));
    // A program path with a line break cannot be put in an entry.
    EXPECT_FALSE(InstallDesktopIntegration("/a\nb", "", data.path().string()));
}

TEST(MagicSettingPages, ListsOpalFilesByNameWithTheCaptionBeforeTheFirstDot) {
    test::TempDir dir;
    for (const char* name :
         {"Tweaks.opal", "Setup.opal", "readme.txt", "My.Page.opal", ".opal", "x.opal.bak"})
        util::WriteFileBytes(dir.file(name), "<opal></opal>");
    std::filesystem::create_directory(dir.path() / "Folder.opal");
    const auto pages = MagicSettingPages(dir.path().string());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].caption, "My");
    EXPECT_EQ(pages[0].fileName, dir.file("My.Page.opal"));
    EXPECT_EQ(pages[1].caption, "Setup");
    EXPECT_EQ(pages[2].caption, "Tweaks");
    EXPECT_TRUE(MagicSettingPages(dir.file("missing")).empty());
}

} // namespace
