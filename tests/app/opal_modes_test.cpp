// /reg, /unreg and the OPAL window run as the real program on a temp registry and a temp desktop data folder.
#include "app/program_process.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace hw;

class OpalModes : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::ProgramPath().empty()) GTEST_SKIP() << "hivewright is not built";
    }

    // Window modes run off-screen until the time limit ends them (status 124).
    int Run(const std::vector<std::string>& arguments, bool window = false) {
        std::vector<std::string> env = {"HIVEWRIGHT_REGISTRY=" + dir_.file("registry.db"),
                                        "XDG_DATA_HOME=" + data(), "XDG_CONFIG_HOME=" + dir_.file("config")};
        if (window) env.push_back("QT_QPA_PLATFORM=offscreen");
        return test::RunProgram(env, arguments, dir_.file("errors"), window ? "timeout 3" : "").status;
    }

    // Opens the database the program wrote, for the checks.
    void UseDatabase() { platform::UseRegistry(platform::OpenSqliteStore(dir_.file("registry.db"))); }

    std::string data() const { return dir_.file("data"); }

    test::TempDir dir_;
};

TEST_F(OpalModes, RegAddsEntriesAndDesktopFilesAndUnregTakesThemAway) {
    ASSERT_EQ(Run({"/reg"}), 0);
    const auto applications = std::filesystem::path(data()) / "applications";
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright.desktop"));
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright-opal.desktop"));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(data()) / "mime/packages/hivewright.xml"));
    UseDatabase();
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CLASSES_ROOT\\opalFile\\shell\\open\\Command", ""),
              std::filesystem::canonical(test::ProgramPath()).string() + " /.opal /file:<%1>");
    EXPECT_TRUE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright\\Command"));
    platform::UseRegistry(nullptr);

    ASSERT_EQ(Run({"/UNREG"}), 0);
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright.desktop"));
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright-opal.desktop"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(data()) / "mime/packages/hivewright.xml"));
    UseDatabase();
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\.opal"));
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright"));
    EXPECT_TRUE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\open"));
    platform::UseRegistry(nullptr);
}

TEST_F(OpalModes, TheOpalWindowRunsAndACraftedFolderNameStaysAName) {
    const std::filesystem::path crafted = dir_.path() / "a> /export /file:<pwned.reg> /key:<HKCU>";
    std::filesystem::create_directories(crafted);
    const std::string page = (crafted / "x.opal").string();
    util::WriteFileBytes(page, "<opal><head><title>T</title></head><body><label value=x></body></opal>");

    EXPECT_EQ(Run({"--opal", page}, true), 124);
    EXPECT_EQ(Run({"/.OPAL", "/file:<" + dir_.file("missing.opal") + ">"}, true), 124);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / "pwned.reg"));
    EXPECT_EQ(Run({"--opal"}), 2);
}

} // namespace
