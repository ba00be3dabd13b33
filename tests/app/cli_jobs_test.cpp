#include "app/cli_jobs.h"
#include "support/reg_file_text.h"

#include "core/key_ops.h"
#include "core/value_text.h"
#include "support/temp_registry.h"
#include "util/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace hw::app {
namespace {

constexpr const char* kExampleKey = "HKEY_CURRENT_USER\\Software\\Example";

void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

std::string ReadFile(const std::string& name) {
    return hw::test::ReadRegFileText(name);
}

long LineCount(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

CommandLine Job(Mode mode, std::string file, std::string key = {}, std::string value = {}) {
    CommandLine line;
    line.mode = mode;
    line.fileName = std::move(file);
    line.keyName = std::move(key);
    line.valueName = std::move(value);
    return line;
}

class CommandLineJobs : public ::testing::Test {
  protected:
    // Imports the example key (two values and a subkey) without a question.
    void ImportExample() {
        const std::string file = reg_.dir().file("example.reg");
        WriteFile(file, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Example]\r\n\"Name\"=\"Text\"\r\n"
                        "\"Count\"=dword:0000002a\r\n\r\n[HKEY_CURRENT_USER\\Software\\Example\\Child]\r\n"
                        "\"Inner\"=\"x\"\r\n");
        CommandLine line = Job(Mode::Import, file);
        line.ask = false;
        ASSERT_EQ(Run(line), 0) << errors_.str();
    }

    int Run(const CommandLine& line) {
        errors_.str("");
        return RunCommandLineMode(line, output_, errors_);
    }
    std::string Errors() const { return errors_.str(); }

    test::TempRegistry reg_;
    util::ScriptedDialogs dialogs_;
    std::ostringstream output_;
    std::ostringstream errors_;
};

TEST_F(CommandLineJobs, ImportAsksFirstAndOnlyYesImports) {
    const std::string file = reg_.dir().file("a.reg");
    WriteFile(file, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Asked]\r\n\"V\"=\"1\"\r\n");

    dialogs_.QueueAnswer(false);
    EXPECT_EQ(Run(Job(Mode::Import, file)), kExitFailure);
    EXPECT_NE(Errors().find("declined"), std::string::npos);
    EXPECT_FALSE(core::KeyPathExists("HKEY_CURRENT_USER\\Software\\Asked"));

    dialogs_.QueueAnswer(true);
    EXPECT_EQ(Run(Job(Mode::Import, file)), 0);
    EXPECT_EQ(Errors(), "");
    EXPECT_EQ(core::ReadValueTextOfPath("HKEY_CURRENT_USER\\Software\\Asked", "V"), "1");
    EXPECT_EQ(dialogs_.texts(), (std::vector<std::string>{"Sure to import this file into your registry?",
                                                          "Sure to import this file into your registry?"}));
}

TEST_F(CommandLineJobs, ImportExitsWithTheImportResult) {
    ImportExample();
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_EQ(core::ReadValueTextOfPath(kExampleKey, "Name"), "Text");

    const std::string unknown = reg_.dir().file("unknown.reg");
    WriteFile(unknown, "not a registry file\r\n");
    CommandLine line = Job(Mode::Import, unknown);
    line.ask = false;
    EXPECT_EQ(Run(line), 1);
    EXPECT_NE(Errors().find("unknown.reg"), std::string::npos);

    line.fileName = reg_.dir().file("missing.reg");
    EXPECT_EQ(Run(line), 3);
    EXPECT_NE(Errors().find("does not exist"), std::string::npos);

    line.fileName = "";
    EXPECT_EQ(Run(line), 3);

    // One line per failure.
    line.fileName = unknown;
    Run(line);
    EXPECT_EQ(LineCount(Errors()), 1);
}

TEST_F(CommandLineJobs, ExportWritesTheKeyAndItsSubtree) {
    ImportExample();
    const std::string out = reg_.dir().file("out.reg");
    WriteFile(out, "old content");
    EXPECT_EQ(Run(Job(Mode::Export, out, "hkcu\\Software\\Example")), 0) << Errors();
    const std::string text = ReadFile(out);
    EXPECT_EQ(text.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Example]\r\n\"Name\"=\"Text\""), std::string::npos);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Example\\Child]"), std::string::npos);
    EXPECT_EQ(text.find("old content"), std::string::npos);
}

TEST_F(CommandLineJobs, ExportFailuresLeaveTheFileAlone) {
    const std::string out = reg_.dir().file("out.reg");
    WriteFile(out, "keep me");
    EXPECT_EQ(Run(Job(Mode::Export, out, "HKCU\\Software\\NoSuchKey")), kExitFailure);
    EXPECT_NE(Errors().find("no such key"), std::string::npos);
    EXPECT_EQ(Run(Job(Mode::Export, out, "")), kExitUsage);
    EXPECT_EQ(ReadFile(out), "keep me");
    EXPECT_EQ(Run(Job(Mode::Export, "", "HKCU\\Software")), kExitUsage);

    EXPECT_EQ(Run(Job(Mode::Export, reg_.dir().file("no/such/dir/out.reg"), "HKCU\\Software")), kExitFailure);
    EXPECT_NE(Errors().find("cannot write"), std::string::npos);
}

TEST_F(CommandLineJobs, DeleteRemovesAValueOrTheWholeKey) {
    ImportExample();
    EXPECT_EQ(Run(Job(Mode::Delete, "", kExampleKey, "Name")), 0) << Errors();
    EXPECT_FALSE(core::ValuePathExists(kExampleKey, "Name"));
    EXPECT_TRUE(core::ValuePathExists(kExampleKey, "Count"));

    EXPECT_EQ(Run(Job(Mode::Delete, "", kExampleKey, "Name")), kExitFailure);
    EXPECT_NE(Errors().find("no value named Name"), std::string::npos);

    EXPECT_EQ(Run(Job(Mode::Delete, "", "hkcu\\software\\example")), 0) << Errors();
    EXPECT_FALSE(core::KeyPathExists(kExampleKey));
    EXPECT_TRUE(core::KeyPathExists("HKEY_CURRENT_USER\\Software"));

    EXPECT_EQ(Run(Job(Mode::Delete, "", kExampleKey)), kExitFailure);
    EXPECT_NE(Errors().find("no such key"), std::string::npos);
    EXPECT_EQ(Run(Job(Mode::Delete, "", "", "Name")), kExitUsage);
}

TEST_F(CommandLineJobs, UsageAndMalformedSwitches) {
    EXPECT_EQ(Run(Job(Mode::Usage, "")), 0);
    EXPECT_NE(output_.str().find("/import /file:<filename>"), std::string::npos);
    EXPECT_EQ(Errors(), "");

    CommandLine malformed = Job(Mode::Delete, "", kExampleKey);
    malformed.usageError = "usage: hivewright --delete KEY [VALUE]";
    ImportExample();
    EXPECT_EQ(Run(malformed), kExitUsage);
    EXPECT_EQ(Errors(), "hivewright: usage: hivewright --delete KEY [VALUE]\n");
    EXPECT_TRUE(core::KeyPathExists(kExampleKey));
}

} // namespace
} // namespace hw::app

namespace hw::app {
namespace {

TEST_F(CommandLineJobs, PartialWorkIsNamedOnTheErrorStream) {
    const std::string file = reg_.dir().file("partial.reg");
    WriteFile(file,
              "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Example]\r\n\"n\"=dword:zz\r\n\"ok\"=\"1\"\r\n");
    CommandLine import = Job(Mode::Import, file);
    import.ask = false;
    EXPECT_EQ(Run(import), 2);
    EXPECT_NE(Errors().find("line 3 [HKEY_CURRENT_USER\\Software\\Example]: not a DWORD number"),
              std::string::npos)
        << Errors();

    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Example\\two\nlines", &key), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string out = reg_.dir().file("out.reg");
    EXPECT_EQ(Run(Job(Mode::Export, out, kExampleKey)), kExitLeftOut);
    EXPECT_NE(Errors().find("left out: HKEY_CURRENT_USER\\Software\\Example\\two\\nlines"), std::string::npos)
        << Errors();
    EXPECT_NE(ReadFile(out).find("\"ok\"=\"1\""), std::string::npos);
}

} // namespace
} // namespace hw::app
