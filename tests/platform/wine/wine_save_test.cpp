// Saving a Wine prefix under faults: full disks and folders we may not write, files behind links or owned by
// others, saves killed half way, and a Wine that starts after the prefix was opened.
#include "app/program_process.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "real_prefix.h"
#include "store/wine/wine_prefix.h"
#include "support/small_disk.h"
#include "support/temp_registry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

using namespace hw;
namespace fs = std::filesystem;

namespace {

const char* const kFiles[] = {"system.reg", "user.reg", "userdef.reg"};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

LONG SetText(HKEY root, const char* path, const char* name, const std::string& text) {
    HKEY key = 0;
    LONG rc = RegCreateKeyA(root, path, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return rc;
}

void Wine(const fs::path& prefix, const std::string& command) {
    std::string line =
        "cd / && export WINEPREFIX='" + prefix.string() +
        "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' && unset DISPLAY WAYLAND_DISPLAY && " + command +
        " >/dev/null 2>&1";
    ASSERT_EQ(std::system(line.c_str()), 0) << command;
}

class WineSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::TemplatePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
        prefix = test::CopyOfTemplate(dir);
    }
    void TearDown() override { platform::UseRegistry(nullptr); }

    void Use(const fs::path& where) {
        std::string error;
        auto store = platform::OpenWineStore(where.string(), &error);
        ASSERT_TRUE(store) << error;
        platform::UseRegistry(std::move(store));
    }
    // A prefix on a 4 MB disk holding the registry files alone, filled to about `free` bytes.
    fs::path PrefixOnDisk(test::SmallDisk& disk, std::uintmax_t free) {
        fs::path small = dir.path() / "disk" / "prefix";
        fs::create_directories(small);
        for (const char* name : kFiles)
            fs::copy_file(prefix / name, small / name);
        disk.FillLeaving(free);
        return small;
    }
    std::map<std::string, std::string> Contents(const fs::path& where) {
        std::map<std::string, std::string> texts;
        for (const char* name : kFiles)
            texts[name] = test::ReadFile(where / name);
        return texts;
    }

    test::TempDir dir;
    fs::path prefix;
};

TEST_F(WineSaveTest, EveryJobReportsASaveThatFailed) {
    if (test::ProgramPath().empty()) GTEST_SKIP() << "build/hivewright is not built";
    const std::string big = dir.file("big.reg");
    {
        std::ofstream out(big, std::ios::binary);
        out << "REGEDIT4\r\n\r\n";
        for (int i = 0; i < 20000; ++i)
            out << "[HKEY_CURRENT_USER\\Software\\Big\\Key" << i << "]\r\n\"Value\"=\"text " << i
                << "\"\r\n\r\n";
    }
    struct Case {
        const char* job;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"import", {"--import", big, "--yes"}},
        {"delete a key", {"--delete", "HKCU\\Control Panel\\Desktop"}},
        {"delete a value",
         {"--delete", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "ProductName"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.job);
        test::SmallDisk disk(dir.file("disk"), "4m");
        if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
        const fs::path small = PrefixOnDisk(disk, 8 * 1024);
        const auto before = Contents(small);
        std::vector<std::string> arguments = {"--wine-prefix", small.string()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const test::ProgramOutcome outcome = test::RunProgram({}, arguments, dir.file("errors"));
        EXPECT_NE(outcome.status, 0);
        EXPECT_TRUE(Contains(outcome.errors, "not saved") && Contains(outcome.errors, "disk full"))
            << outcome.errors;
        EXPECT_TRUE(Contents(small) == before);
    }

    // A folder another user may not write, holding files that user may write.
    fs::path shared = dir.path() / "shared";
    fs::create_directories(shared);
    for (const char* name : kFiles)
        fs::copy_file(prefix / name, shared / name);
    { std::ofstream(shared / ".hivewright.lock"); }
    for (const fs::path& entry : fs::directory_iterator(shared))
        ASSERT_EQ(chown(entry.c_str(), 65534, 65534), 0);
    fs::permissions(dir.path(), fs::perms::others_exec, fs::perm_options::add);
    const auto before = Contents(shared);
    const test::ProgramOutcome outcome =
        test::RunProgram({}, {"--wine-prefix", shared.string(), "--import", big, "--yes"}, dir.file("errors"),
                         "setpriv --reuid=65534 --regid=65534 --clear-groups");
    EXPECT_NE(outcome.status, 0);
    EXPECT_TRUE(Contains(outcome.errors, shared.string() + " cannot be written")) << outcome.errors;
    EXPECT_TRUE(Contents(shared) == before);
}

TEST_F(WineSaveTest, AnImportIntoProtectedKeysIsRefusedAndWritesNothing) {
    if (test::ProgramPath().empty()) GTEST_SKIP() << "build/hivewright is not built";
    const std::string file = dir.file("protected.reg");
    std::ofstream(file, std::ios::binary)
        << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\X]\r\n\"a\"=\"1\"\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SAM\\X]\r\n\"b\"=\"2\"\r\n";
    const auto before = Contents(prefix);
    // The same answer every time, not only once the first import has made the keys.
    for (int run = 0; run < 2; ++run) {
        const test::ProgramOutcome outcome = test::RunProgram(
            {}, {"--wine-prefix", prefix.string(), "--import", file, "--yes"}, dir.file("errors"));
        EXPECT_NE(outcome.status, 0) << run;
        EXPECT_TRUE(Contains(outcome.errors, "access denied")) << outcome.errors;
    }
    EXPECT_TRUE(Contents(prefix) == before);
}

TEST_F(WineSaveTest, AFailedSaveIsTheStoresCommitFailureAndUndoesItsChanges) {
    test::SmallDisk disk(dir.file("disk"), "4m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
    const fs::path small = PrefixOnDisk(disk, 8 * 1024);
    const auto before = Contents(small);
    Use(small);
    // Saved by the store's own timer, as while the window is open.
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Lost", "Big", std::string(64 * 1024, 'x')),
              ERROR_SUCCESS);
    for (int i = 0; i < 50 && platform::RegistryCommitFailure().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(Contains(platform::RegistryCommitFailure(), "disk full"))
        << platform::RegistryCommitFailure();
    // Nothing more is taken until the failure was told; then the store holds what the files hold.
    EXPECT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Later", "x", "y"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(Contains(platform::RegistryFailureReason(), "disk full"));
    platform::ClearRegistryCommitFailure();
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Lost", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    disk.Empty();
    EXPECT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Later", "x", "y"), ERROR_SUCCESS);
    EXPECT_EQ(platform::FlushRegistry(), "");
    EXPECT_TRUE(Contains(test::ReadFile(small / "user.reg"), "[Software\\\\Later]"));
    EXPECT_TRUE(test::ReadFile(small / "system.reg") == before.at("system.reg"));
}

TEST_F(WineSaveTest, SavesWriteThroughLinksAndKeepOwnerAndMode) {
    // user.reg is a symbolic link, system.reg has a second hard link, userdef.reg belongs to daemon, 0640.
    fs::create_directories(dir.path() / "elsewhere");
    const fs::path linked = dir.path() / "elsewhere" / "user.reg",
                   second = dir.path() / "elsewhere" / "system.reg";
    fs::rename(prefix / "user.reg", linked);
    fs::create_symlink(linked, prefix / "user.reg");
    fs::create_hard_link(prefix / "system.reg", second);
    ASSERT_EQ(chown((prefix / "userdef.reg").c_str(), 1, 1), 0);
    ASSERT_EQ(chmod((prefix / "userdef.reg").c_str(), 0640), 0);
    struct stat hard {};
    ASSERT_EQ(stat(second.c_str(), &hard), 0);

    Use(prefix);
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Linked", "x", "through a symbolic link"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(HKEY_LOCAL_MACHINE, "Software\\Linked", "x", "through a hard link"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(HKEY_USERS, ".Default\\Software\\Linked", "x", "kept its owner"), ERROR_SUCCESS);
    EXPECT_EQ(platform::FlushRegistry(), "");

    EXPECT_TRUE(fs::is_symlink(prefix / "user.reg"));
    EXPECT_TRUE(Contains(test::ReadFile(linked), "through a symbolic link"));
    struct stat now {};
    ASSERT_EQ(stat(second.c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, hard.st_ino);
    EXPECT_EQ(now.st_nlink, 2u);
    EXPECT_TRUE(Contains(test::ReadFile(second), "through a hard link"));
    ASSERT_EQ(stat((prefix / "userdef.reg").c_str(), &now), 0);
    EXPECT_EQ(now.st_uid, 1u);
    EXPECT_EQ(now.st_gid, 1u);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
    // Its owner still reads it, and a second save (the store reads its own result) still goes through.
    fs::permissions(dir.path(), fs::perms::others_exec, fs::perm_options::add);
    EXPECT_EQ(std::system(("setpriv --reuid=1 --regid=1 --clear-groups grep -q 'kept its owner' '" +
                           (prefix / "userdef.reg").string() + "'")
                              .c_str()),
              0);
    ASSERT_EQ(SetText(HKEY_LOCAL_MACHINE, "Software\\Linked", "y", "again"), ERROR_SUCCESS);
    EXPECT_EQ(platform::FlushRegistry(), "");
    EXPECT_TRUE(Contains(test::ReadFile(second), "again"));
}

TEST_F(WineSaveTest, OpeningSettlesWhatAKilledSaveLeft) {
    const std::string older = test::ReadFile(prefix / "user.reg");
    const std::string newer =
        older + "\n[Software\\\\Finished] 1700000000\n#time=1da0000000000000\n\"x\"=\"y\"\n";
    // A copy in place is marked by a NUL first byte until it is whole.
    const std::string torn = std::string(1, '\0') + newer.substr(1, 5000) + older.substr(5001);
    const fs::path pending = prefix / ".user.reg.hivewright-pending";
    struct Case {
        const char* what;
        std::string onDisk; // user.reg as the kill left it
        std::string expected;
    };
    const Case cases[] = {
        {"killed while copying", torn, newer},
        {"killed after the copy", newer, newer},
        {"killed before the copy, or overtaken by Wine", older, older},
    };
    // Temporary files of ours go; names that only look alike stay.
    const char* const ours[] = {".user.reg.hivewright-AbC123", ".system.reg.hivewright-zz9zz9"};
    const char* const others[] = {".user.reg.hivewright-keep", "user.reg.hivewright-AbC123",
                                  ".other.reg.hivewright-AbC123"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        { std::ofstream(prefix / "user.reg", std::ios::binary | std::ios::trunc) << c.onDisk; }
        { std::ofstream(pending, std::ios::binary) << newer; }
        for (const char* name : ours)
            std::ofstream(prefix / name) << "stale";
        for (const char* name : others)
            std::ofstream(prefix / name) << "not ours";
        {
            // While another writer holds the prefix, nothing of it is touched.
            store::wine::PrefixLock other;
            bool busy = false;
            ASSERT_TRUE(other.Acquire(prefix.string(), busy));
            platform::OpenWineStore(prefix.string());
            EXPECT_TRUE(fs::exists(pending) && fs::exists(prefix / ours[0]));
            EXPECT_TRUE(test::ReadFile(prefix / "user.reg") == c.onDisk);
        }
        ASSERT_TRUE(platform::OpenWineStore(prefix.string()));
        EXPECT_TRUE(test::ReadFile(prefix / "user.reg") == c.expected);
        EXPECT_FALSE(fs::exists(pending));
        for (const char* name : ours)
            EXPECT_FALSE(fs::exists(prefix / name)) << name;
        for (const char* name : others)
            EXPECT_TRUE(fs::exists(prefix / name)) << name;
    }
}

TEST_F(WineSaveTest, AWineStartedAfterOpeningNeverLosesItsSave) {
    const std::string start = "wineserver -p", stop = "wineserver -k; wineserver -w";
    Use(prefix);
    // Wine runs when the job ends: Wine would overwrite our save when it stops.
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Late", "Ours", "x"), ERROR_SUCCESS);
    Wine(prefix, start);
    Wine(prefix, "wine reg add 'HKCU\\Software\\Late' /v FromWine /d w /f");
    const std::string whileRunning = platform::FlushRegistry();
    Wine(prefix, stop);
    std::string file = test::ReadFile(prefix / "user.reg");
    EXPECT_TRUE(Contains(file, "\"FromWine\""));
    EXPECT_TRUE(Contains(file, "\"Ours\"") || Contains(whileRunning, "wineserver -k")) << whileRunning;

    // Wine ran and stopped between our change and our save: its save is not undone.
    platform::ClearRegistryCommitFailure();
    ASSERT_EQ(SetText(HKEY_CURRENT_USER, "Software\\Late", "Ours2", "x"), ERROR_SUCCESS);
    Wine(prefix, start);
    Wine(prefix, "wine reg add 'HKCU\\Software\\Late' /v FromWine2 /d w /f");
    Wine(prefix, stop);
    const std::string afterStop = platform::FlushRegistry();
    file = test::ReadFile(prefix / "user.reg");
    EXPECT_TRUE(Contains(file, "\"FromWine2\""));
    EXPECT_TRUE(Contains(file, "\"Ours2\"") || Contains(afterStop, "changed by another program"))
        << afterStop;
    // What the store shows now is what Wine saved.
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Late", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "FromWine2", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
}

} // namespace
