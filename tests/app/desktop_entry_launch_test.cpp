// The desktop entries /reg writes start the program through a real launcher, whatever its folder is called.
#include "app/program_process.h"
#include "markup/desktop_integration.h"
#include "support/temp_registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

using hw::test::ShellQuoted;

// The file's text once it is there; launchers start the program and return without waiting for it.
std::string WaitForFile(const std::string& name) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(name) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream file(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DesktopEntries, ALauncherStartsTheProgramFromAFolderWhoseNameHoldsPercent) {
    if (std::system("command -v gio >/dev/null 2>&1") != 0) GTEST_SKIP() << "gio is not installed";
    hw::test::TempDir dir;
    const std::string folder = dir.file("100% sure");
    std::filesystem::create_directories(folder);
    // A stand-in for the program that notes how it was started.
    const std::string program = folder + "/hivewright";
    const std::string started = dir.file("started");
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" >" << ShellQuoted(started) << "\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const std::string dataHome = dir.file("data");
    ASSERT_TRUE(hw::markup::InstallDesktopIntegration(program, "", dataHome));

    const std::string page = dir.file("50% page.opal");
    struct Case {
        const char* entry;
        std::string file;
        std::string expected;
    };
    const Case cases[] = {
        {"hivewright.desktop", "", program + "\n"},
        {"hivewright-opal.desktop", page, program + "\n--opal\n" + page + "\n"},
        {"hivewright-edit-reg.desktop", page, program + "\n--edit-reg\n" + page + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        std::filesystem::remove(started);
        const std::string command = "gio launch " + ShellQuoted(dataHome + "/applications/" + c.entry) +
                                    (c.file.empty() ? "" : " " + ShellQuoted(c.file)) + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << "the launcher refused the entry";
        EXPECT_EQ(WaitForFile(started), c.expected);
    }
}

} // namespace
