// Runs the real program for command-line jobs, with a temp registry database and no display.
#include "support/reg_file_text.h"
#include "support/temp_registry.h"
#include "util/program_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

namespace {

std::string ReadFile(const std::string& name) {
    return hw::test::ReadRegFileText(name);
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct ProgramRun {
    int status = -1;
    std::string output;
    std::string errors;
};

class ProgramRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
        // Without the variable: the build folder holds the program, its tests folder this test.
        program_ = binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                           : hw::util::ProgramDir() + "/../hivewright";
        if (!std::filesystem::exists(program_)) GTEST_SKIP() << program_ << " is not built";
    }

    // Runs the program in the work folder with stdin from /dev/null.
    ProgramRun Run(const std::vector<std::string>& arguments) {
        return RunOn(database_.file("registry.db"), arguments);
    }

    ProgramRun RunOn(const std::string& registry, const std::vector<std::string>& arguments) {
        std::string command =
            "cd " + ShellQuoted(work_.path().string()) +
            " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HIVEWRIGHT_REGISTRY=" +
            ShellQuoted(registry) + " XDG_DATA_HOME=" + ShellQuoted(database_.file("data")) + " " +
            ShellQuoted(program_);
        for (const std::string& argument : arguments)
            command += " " + ShellQuoted(argument);
        const std::string out = database_.file("stdout"), err = database_.file("stderr");
        command += " </dev/null >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
        const int raw = std::system(command.c_str());
        ProgramRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.output = ReadFile(out);
        run.errors = ReadFile(err);
        return run;
    }

    void WriteWorkFile(const std::string& name, const std::string& text) {
        std::ofstream(work_.file(name), std::ios::binary) << text;
    }

    std::string program_;
    hw::test::TempDir database_;
    hw::test::TempDir work_;
};

TEST_F(ProgramRunTest, TheWindowWithoutADisplayEndsWithOneLineNotACrash) {
    const ProgramRun run = Run({});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no display found"), std::string::npos) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
}

TEST_F(ProgramRunTest, UsageGoesToStandardOutput) {
    for (const char* help : {"--help", "/?", "/HELP"}) {
        const ProgramRun run = Run({help});
        EXPECT_EQ(run.status, 0) << help;
        EXPECT_NE(run.output.find("/del /key:<keyname> /value:<valuename>"), std::string::npos) << help;
        EXPECT_EQ(run.errors, "") << help;
    }
}

TEST_F(ProgramRunTest, ImportExportDeleteRoundTripWithRelativeFileNames) {
    WriteWorkFile("in.reg",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\RunTest]\r\n\"Name\"=\"Value\"\r\n");

    ProgramRun run = Run({"/import", "/file:<in.reg>", "/ask:[no]"});
    ASSERT_EQ(run.status, 0) << run.errors;

    // A separate run sees the imported key, so the first one committed it.
    run = Run({"--export", "HKCU\\Software\\RunTest", "out.reg"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(ReadFile(work_.file("out.reg")).find("\"Name\"=\"Value\""), std::string::npos);

    run = Run({"/del", "/key:<HKCU\\Software\\RunTest>", "/value:<Name>"});
    EXPECT_EQ(run.status, 0) << run.errors;
    run = Run({"--delete", "HKCU\\Software\\RunTest", "Name"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;

    EXPECT_EQ(Run({"--delete", "HKCU\\Software\\RunTest"}).status, 0);
    run = Run({"--export", "HKCU\\Software\\RunTest", "gone.reg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no such key"), std::string::npos);
}

TEST_F(ProgramRunTest, ImportQuestionWithoutATerminalIsDeclined) {
    WriteWorkFile("in.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Declined]\r\n\"V\"=\"1\"\r\n");
    ProgramRun run = Run({"--import", "in.reg"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("declined"), std::string::npos);
    EXPECT_EQ(Run({"--export", "HKCU\\Software\\Declined", "out.reg"}).status, 1);

    EXPECT_EQ(Run({"--import", "in.reg", "--yes"}).status, 0);
    EXPECT_EQ(Run({"--export", "HKCU\\Software\\Declined", "out.reg"}).status, 0);
}

TEST_F(ProgramRunTest, FailuresAndUsageErrorsHaveTheirStatus) {
    ProgramRun run = Run({"--import", "missing.reg", "--yes"});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.errors.find("missing.reg"), std::string::npos);

    run = Run({"/del", "/value:<x>"});
    EXPECT_EQ(run.status, 2);
    run = Run({"--export", "HKCU"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("usage"), std::string::npos);
    run = Run({"--opal"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
    EXPECT_EQ(run.output, "");
}

TEST_F(ProgramRunTest, AnUnusableRegistryEndsWithOneLineNotACrash) {
    // The database path is a folder, so the store cannot open.
    const ProgramRun run = RunOn(work_.path().string(), {"--delete", "HKCU\\Software"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errors.rfind("hivewright: cannot open the registry database", 0), 0u) << run.errors;
    EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
}

} // namespace
