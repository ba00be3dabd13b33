// /reg, /unreg and the OPAL window run as the real program on a temp registry and a temp desktop data folder.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "support/temp_registry.h"
#include "util/program_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {

using namespace hw;

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class AssociationModes : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
        program_ = binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                           : util::ProgramDir() + "/../hivewright";
        if (!std::filesystem::exists(program_)) GTEST_SKIP() << program_ << " is not built";
    }

    // Window modes run off-screen until the time limit ends them (status 124).
    int Run(const std::string& mode, const std::string& limit = "") {
        const std::string command = limit + " env -u DISPLAY -u WAYLAND_DISPLAY HIVEWRIGHT_REGISTRY=" +
                                    Quoted(dir_.file("registry.db")) + " XDG_DATA_HOME=" + Quoted(data()) +
                                    " " + Quoted(program_) + " " + mode + " </dev/null >/dev/null 2>&1";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // Opens the database the program wrote, for the checks.
    void UseDatabase() { platform::UseRegistry(platform::OpenSqliteStore(dir_.file("registry.db"))); }

    std::string data() const { return dir_.file("data"); }

    std::string program_;
    test::TempDir dir_;
};

TEST_F(AssociationModes, RegAddsEntriesAndDesktopFilesAndUnregTakesThemAway) {
    ASSERT_EQ(Run("/reg"), 0);
    const auto applications = std::filesystem::path(data()) / "applications";
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright.desktop"));
    EXPECT_TRUE(std::filesystem::exists(applications / "hivewright-opal.desktop"));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(data()) / "mime/packages/hivewright.xml"));
    UseDatabase();
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CLASSES_ROOT\\opalFile\\shell\\open\\Command", ""),
              std::filesystem::canonical(program_).string() + " /.opal /file:<%1>");
    EXPECT_TRUE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright\\Command"));
    platform::UseRegistry(nullptr);

    ASSERT_EQ(Run("/UNREG"), 0);
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright.desktop"));
    EXPECT_FALSE(std::filesystem::exists(applications / "hivewright-opal.desktop"));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(data()) / "mime/packages/hivewright.xml"));
    UseDatabase();
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\.opal"));
    EXPECT_FALSE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\EditByHivewright"));
    EXPECT_TRUE(core::KeyPathExists("HKEY_CLASSES_ROOT\\regfile\\shell\\open"));
    platform::UseRegistry(nullptr);
}

TEST_F(AssociationModes, TheOpalWindowRunsAndACraftedFolderNameStaysAName) {
    const std::string limit =
        "cd " + Quoted(dir_.path().string()) + " && QT_QPA_PLATFORM=offscreen timeout 3";
    const std::filesystem::path crafted = dir_.path() / "a> /export /file:<pwned.reg> /key:<HKCU>";
    std::filesystem::create_directories(crafted);
    const std::string page = (crafted / "x.opal").string();
    std::FILE* file = std::fopen(page.c_str(), "w");
    std::fputs("<opal><head><title>T</title></head><body><label value=x></body></opal>", file);
    std::fclose(file);

    EXPECT_EQ(Run("--opal " + Quoted(page), limit), 124);
    EXPECT_EQ(Run(Quoted("/.OPAL") + " " + Quoted("/file:<" + dir_.file("missing.opal") + ">"), limit), 124);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("pwned.reg")));
    EXPECT_EQ(Run("--opal"), 2);
}

} // namespace
