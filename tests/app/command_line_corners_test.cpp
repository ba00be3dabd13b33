// The command line's corners, run as the real program: names cut at ">", options before the job, devices
// and pipes as export targets, and messages about very long paths.
#include "app/program_process.h"
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "support/reg_file_text.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using hw::test::ProgramOutcome;
using hw::test::ShellQuoted;

std::string ReadFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CommandLineCorners : public ::testing::Test {
  protected:
    void SetUp() override {
        if (hw::test::ProgramPath().empty()) GTEST_SKIP() << "build/hivewright is not built";
        std::ofstream(dir_.file("p.reg"), std::ios::binary)
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\P]\r\n\"V\"=\"1\"\r\n\r\n"
               "[HKEY_CURRENT_USER\\Software\\P\\Child]\r\n\"W\"=\"2\"\r\n";
    }

    std::vector<std::string> Env() const {
        return {"HIVEWRIGHT_REGISTRY=" + database_, "XDG_CONFIG_HOME=" + dir_.file("config")};
    }
    ProgramOutcome Run(const std::vector<std::string>& arguments) {
        // A job taken for the window would wait forever on the off-screen platform.
        return hw::test::RunProgram(Env(), arguments, dir_.file("errors-" + std::to_string(++runs_)),
                                    "timeout 60");
    }
    bool KeyExists(const std::string& path) {
        hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database_));
        const bool exists = hw::core::KeyPathExists(path);
        hw::platform::UseRegistry(nullptr);
        return exists;
    }

    hw::test::TempDir dir_;
    std::string database_ = dir_.file("registry.db");
    int runs_ = 0;
};

TEST_F(CommandLineCorners, OptionsMayComeBeforeTheJob) {
    const ProgramOutcome outcome = Run({"--yes", "--import", dir_.file("p.reg")});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_TRUE(KeyExists("HKCU\\Software\\P\\Child"));
}

TEST_F(CommandLineCorners, ANameCutAtAnInnerCloserIsAUsageErrorAndNothingIsDone) {
    ASSERT_EQ(Run({"--import", dir_.file("p.reg"), "--yes"}).status, 0);
    ASSERT_TRUE(KeyExists("HKCU\\Software\\P\\Child"));
    const std::string out = dir_.file("out.reg");
    const std::vector<std::vector<std::string>> jobs = {
        {"/del", "/key:<HKCU\\Software\\P>X>"},
        {"/del", "/key:<HKCU\\Software\\P>", "/value:<V>W>"},
        {"/export", "/file:<" + out + ">.old>", "/key:<HKCU\\Software\\P>"},
        {"/import", "/file:<" + dir_.file("p.reg") + ">x>", "/ask:[no]"},
    };
    for (const auto& job : jobs) {
        SCOPED_TRACE(job[1]);
        const ProgramOutcome outcome = Run(job);
        EXPECT_EQ(outcome.status, 2) << outcome.errors;
        EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
    }
    EXPECT_TRUE(KeyExists("HKCU\\Software\\P\\Child"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CommandLineCorners, ExportWritesToAPipeThroughDevStdout) {
    ASSERT_EQ(Run({"--import", dir_.file("p.reg"), "--yes"}).status, 0);
    const std::string command =
        "{ env HIVEWRIGHT_REGISTRY=" + ShellQuoted(database_) +
        " XDG_CONFIG_HOME=" + ShellQuoted(dir_.file("config")) + " " + ShellQuoted(hw::test::ProgramPath()) +
        " --export 'HKCU\\Software\\P' /dev/stdout 2>" + ShellQuoted(dir_.file("errors")) + "; echo $? >" +
        ShellQuoted(dir_.file("status")) + "; } | cat >" + ShellQuoted(dir_.file("piped.reg"));
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(dir_.file("status")), "0\n") << ReadFile(dir_.file("errors"));
    const std::string text = hw::test::ReadRegFileText(dir_.file("piped.reg"));
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\P\\Child]\r\n\"W\"=\"2\""), std::string::npos) << text;
}

TEST_F(CommandLineCorners, MessagesShortenVeryLongPaths) {
    // 600 levels: refused beyond 512, and named in a line a person can read.
    std::string deep = "HKEY_CURRENT_USER\\Software\\Deep";
    for (int level = 0; level < 600; ++level)
        deep += "\\Level" + std::to_string(level);
    std::ofstream(dir_.file("deep.reg"), std::ios::binary)
        << "REGEDIT4\r\n\r\n[" << deep << "]\r\n\"V\"=\"1\"\r\n";
    const std::vector<std::vector<std::string>> jobs = {
        {"--import", dir_.file("deep.reg"), "--yes"},
        {"--delete", deep},
        {"--export", deep, dir_.file("deep-out.reg")},
    };
    for (const auto& job : jobs) {
        SCOPED_TRACE(job[0]);
        const ProgramOutcome outcome = Run(job);
        EXPECT_NE(outcome.status, 0);
        std::istringstream lines(outcome.errors);
        bool named = false;
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 400u) << line.substr(0, 200);
            // Its start and its end are kept.
            named = named || (line.find("Software\\Deep\\Level0") != std::string::npos &&
                              line.find("Level599") != std::string::npos);
        }
        EXPECT_TRUE(named) << outcome.errors.substr(0, 1000);
    }
}

} // namespace
