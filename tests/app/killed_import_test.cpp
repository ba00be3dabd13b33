// A command-line import killed part way leaves a readable database holding a prefix of the file.
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "support/integrity_check.h"
#include "support/temp_registry.h"
#include "util/program_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kKeys = 60000;
constexpr int kValuesPerKey = 5;

std::string Program() {
    const char* binaryDir = std::getenv("HIVEWRIGHT_TEST_BINARY_DIR");
    return binaryDir && *binaryDir ? std::string(binaryDir) + "/hivewright"
                                   : hw::util::ProgramDir() + "/../hivewright";
}

void WriteLargeFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "REGEDIT4\r\n\r\n";
    for (int i = 0; i < kKeys; ++i) {
        out << "[HKEY_CURRENT_USER\\Software\\Killed\\Key" << i << "]\r\n";
        for (int j = 0; j < kValuesPerKey; ++j)
            out << "\"Value" << j << "\"=\"some text for value " << i << "." << j << "\"\r\n";
        out << "\r\n";
    }
}

DWORD ValueCount(HKEY parent, const std::string& name) {
    HKEY key = 0;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return ~DWORD{0};
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return values;
}

TEST(KilledImport, LeavesAReadableDatabaseWithAPrefixOfTheFile) {
    const std::string program = Program();
    if (!std::filesystem::exists(program)) GTEST_SKIP() << program << " is not built";
    hw::test::TempDir dir;
    const std::string file = dir.file("large.reg");
    WriteLargeFile(file);
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    // Killed at several moments, so that some kill lands while a section is half written.
    for (const useconds_t killAfter : {300000u, 450000u, 600000u}) {
        SCOPED_TRACE("killed after " + std::to_string(killAfter / 1000) + " ms");
        const std::string database = dir.file("registry" + std::to_string(killAfter) + ".db");
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setenv("HIVEWRIGHT_REGISTRY", database.c_str(), 1);
            execl(program.c_str(), program.c_str(), "--import", file.c_str(), "--yes",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(killAfter);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 127) << "the program did not start";

        ASSERT_EQ(hw::test::IntegrityCheck(database), "ok");
        hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database));
        HKEY killed = 0;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Killed", 0, KEY_READ, &killed) == ERROR_SUCCESS) {
            DWORD keys = 0;
            RegQueryInfoKeyA(killed, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr);
            // Sections are saved whole and in file order: what survived is Key0 up to the newest, each
            // with all its values (the newest too).
            for (DWORD i = 0; i < keys; ++i)
                ASSERT_EQ(ValueCount(killed, "Key" + std::to_string(i)), DWORD(kValuesPerKey)) << "key " << i;
            RegCloseKey(killed);
        }
        hw::platform::UseRegistry(nullptr);
    }
}

} // namespace
