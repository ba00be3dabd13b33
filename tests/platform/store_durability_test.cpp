// A writer killed at any moment loses at most its last uncommitted group and never corrupts the database.
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "support/integrity_check.h"
#include "support/temp_registry.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace hw;

namespace {

constexpr int kValuesPerKey = 10;

[[noreturn]] void WriteForever(const std::string& path) {
    platform::UseRegistry(platform::OpenSqliteStore(path));
    for (int i = 0;; ++i) {
        HKEY key = 0;
        if (RegCreateKeyA(HKEY_CURRENT_USER, ("Software\\Killed\\Key" + std::to_string(i)).c_str(), &key) !=
            0)
            _exit(3);
        for (int j = 0; j < kValuesPerKey; ++j) {
            DWORD data = static_cast<DWORD>(i * kValuesPerKey + j);
            RegSetValueExA(key, ("Value" + std::to_string(j)).c_str(), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&data), sizeof data);
        }
        RegCloseKey(key);
    }
}

std::size_t CommittedValues(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM vals", -1, &statement, nullptr);
    std::size_t count =
        statement && sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

TEST(StoreDurability, KilledWriterLeavesAConsistentPrefix) {
    test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    std::string path = dir.file("registry.db");
    platform::OpenSqliteStore(path).reset(); // seed before the race

    for (int round = 0; round < 3; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) WriteForever(path);
        // Kill only once some groups are committed, so a slow machine still tests a kill mid-stream.
        std::size_t committed = 0;
        for (int wait = 0; wait < 200 && committed < 50 * kValuesPerKey; ++wait) {
            usleep(50000);
            committed = CommittedValues(path);
        }
        usleep(round * 170000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;

        ASSERT_EQ(hw::test::IntegrityCheck(path), "ok");
        platform::UseRegistry(platform::OpenSqliteStore(path));
        HKEY killed = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Killed", 0, KEY_READ, &killed), ERROR_SUCCESS);
        DWORD keys = 0;
        ASSERT_EQ(RegQueryInfoKeyA(killed, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        EXPECT_GT(keys, 0u) << "nothing was committed in round " << round;
        // What survived is a prefix of what was written: every key but the newest is complete.
        for (DWORD i = 0; i < keys; ++i) {
            HKEY key = 0;
            ASSERT_EQ(RegOpenKeyExA(killed, ("Key" + std::to_string(i)).c_str(), 0, KEY_READ, &key),
                      ERROR_SUCCESS)
                << "gap at key " << i;
            DWORD values = 0;
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr);
            if (i + 1 < keys) {
                EXPECT_EQ(values, DWORD(kValuesPerKey)) << "key " << i;
            }
            RegCloseKey(key);
        }
        RegCloseKey(killed);
        platform::UseRegistry(nullptr);
    }
}

} // namespace
