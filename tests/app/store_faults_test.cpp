// The command-line jobs under real faults: a full disk, several writers at once, a held write lock, a user
// who may only read the database, and files that are not what they claim.
#include "app/program_process.h"
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "support/integrity_check.h"
#include "support/reg_file_text.h"
#include "support/small_disk.h"
#include "support/temp_registry.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using hw::test::ProgramOutcome;
using hw::test::RunProgram;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// keys sections under HKEY_LOCAL_MACHINE\SOFTWARE\<name>\Key<i>, each with values "Value0".. in file order.
void WriteRegFile(const std::string& file, const std::string& name, int keys, int values) {
    std::ofstream out(file, std::ios::binary);
    out << "REGEDIT4\r\n\r\n";
    for (int i = 0; i < keys; ++i) {
        out << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\" << name << "\\Key" << i << "]\r\n";
        for (int j = 0; j < values; ++j)
            out << "\"Value" << j << "\"=\"text of value " << i << "." << j << " padded to some length\"\r\n";
        out << "\r\n";
    }
}

// How many of Key0.. exist under the key, whether they are Key0 to Key(n-1) with all but the last
// complete (a prefix of the file), and whether every one has all its values (whole sections).
struct Survivors {
    int keys = 0;
    bool prefix = true;
    bool whole = true;
};

Survivors CountSurvivors(const std::string& database, const std::string& name, int keys, int values) {
    hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database));
    Survivors found;
    bool incompleteSeen = false;
    const std::string base = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" + name + "\\Key";
    for (int i = 0; i < keys; ++i) {
        const std::string key = base + std::to_string(i);
        if (!hw::core::KeyPathExists(key)) continue;
        if (found.keys != i || incompleteSeen) found.prefix = false;
        incompleteSeen = !hw::core::ValuePathExists(key, "Value" + std::to_string(values - 1));
        found.whole = found.whole && !incompleteSeen;
        ++found.keys;
    }
    hw::platform::UseRegistry(nullptr);
    return found;
}

class StoreFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (hw::test::ProgramPath().empty()) GTEST_SKIP() << "build/hivewright is not built";
        setenv("XDG_CONFIG_HOME", dir_.file("config").c_str(), 1);
    }

    std::vector<std::string> Env(const std::string& database) const {
        return {"HIVEWRIGHT_REGISTRY=" + database, "XDG_CONFIG_HOME=" + dir_.file("config")};
    }
    ProgramOutcome Run(const std::string& database, const std::vector<std::string>& arguments,
                       const std::string& prefix = {}) {
        return RunProgram(Env(database), arguments, dir_.file("errors-" + std::to_string(++runs_)), prefix);
    }

    hw::test::TempDir dir_;
    int runs_ = 0;
};

TEST_F(StoreFaults, AFullDiskFailsTheJobWithItsCauseAndKeepsAPrefix) {
    constexpr int kKeys = 3000, kBigKeys = 20000, kValues = 4;
    const std::string seedFile = dir_.file("seed.reg"), bigFile = dir_.file("big.reg");
    WriteRegFile(seedFile, "Full", kKeys, kValues);
    WriteRegFile(bigFile, "Big", kBigKeys, kValues);
    struct Case {
        const char* job;
        std::vector<std::string> arguments;
        std::uintmax_t free;
    };
    // The import gets room for some groups, so that a failure part way is what it meets.
    const std::vector<Case> cases = {
        {"delete a value", {"--delete", "HKLM\\SOFTWARE\\Full\\Key7", "Value1"}, 48 * 1024},
        {"delete a key", {"--delete", "HKLM\\SOFTWARE\\Full"}, 48 * 1024},
        {"import", {"--import", bigFile, "--yes"}, 1536 * 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.job);
        hw::test::SmallDisk disk(dir_.file("disk"));
        if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
        const std::string database = dir_.file("disk/registry.db");
        ASSERT_EQ(Run(database, {"--import", seedFile, "--yes"}).status, 0);
        disk.FillLeaving(c.free);
        const ProgramOutcome outcome = Run(database, c.arguments);
        disk.Empty();

        ASSERT_EQ(hw::test::IntegrityCheck(database), "ok");
        hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database));
        const bool valueGone = !hw::core::ValuePathExists("HKLM\\SOFTWARE\\Full\\Key7", "Value1");
        const bool keyGone = !hw::core::KeyPathExists("HKLM\\SOFTWARE\\Full");
        hw::platform::UseRegistry(nullptr);
        const bool done = c.arguments[0] == "--import"
                              ? CountSurvivors(database, "Big", kBigKeys, kValues).keys == kBigKeys
                          : c.arguments.size() == 3 ? valueGone
                                                    : keyGone;
        // Success only for work that was saved; a failure says why and leaves a prefix of the work.
        if (outcome.status == 0) {
            EXPECT_TRUE(done) << "reported success for work that was not saved";
        } else {
            EXPECT_TRUE(Contains(outcome.errors, "disk full")) << outcome.errors;
            EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1) << outcome.errors;
        }
        if (c.arguments[0] == "--import") {
            EXPECT_NE(outcome.status, 0) << "80,000 values cannot fit in 1.5 MB";
            const Survivors big = CountSurvivors(database, "Big", kBigKeys, kValues);
            EXPECT_TRUE(big.prefix);
            EXPECT_TRUE(big.whole) << "the last section saved was torn";
        }
        if (c.arguments.size() == 2) {
            EXPECT_NE(outcome.status, 0) << "3,000 keys cannot be deleted in 48 KB";
        }
        std::filesystem::remove(database);
    }
}

// Small jobs that all create the same new keys, each adding its own value.
void WriteRaceFile(const std::string& file, int job, int keys) {
    std::ofstream out(file, std::ios::binary);
    out << "REGEDIT4\r\n\r\n";
    for (int i = 0; i < keys; ++i)
        out << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Race\\Key" << i << "]\r\n\"Job" << job << "\"=\"" << i
            << "\"\r\n\r\n";
}

TEST_F(StoreFaults, ConcurrentJobsOnANewDatabaseLoseNothing) {
    constexpr int kBigKeys = 4000, kBigValues = 10, kSmallJobs = 5, kSmallKeys = 40;
    WriteRegFile(dir_.file("big.reg"), "Big", kBigKeys, kBigValues);
    for (int job = 0; job < kSmallJobs; ++job)
        WriteRaceFile(dir_.file("small" + std::to_string(job) + ".reg"), job, kSmallKeys);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string database = dir_.file("round" + std::to_string(round) + ".db");
        std::vector<std::unique_ptr<hw::test::ProgramProcess>> jobs;
        auto start = [&](const std::vector<std::string>& arguments) {
            jobs.push_back(std::make_unique<hw::test::ProgramProcess>(
                Env(database), arguments, dir_.file("errors-" + std::to_string(++runs_))));
        };
        start({"--import", dir_.file("big.reg"), "--yes"});
        for (int job = 0; job < kSmallJobs; ++job)
            start({"--import", dir_.file("small" + std::to_string(job) + ".reg"), "--yes"});
        start({"--export", "HKLM\\SOFTWARE\\Classes", dir_.file("export.reg")});
        for (auto& job : jobs) {
            const ProgramOutcome outcome = job->Wait();
            EXPECT_EQ(outcome.status, 0) << outcome.errors;
        }
        ASSERT_EQ(hw::test::IntegrityCheck(database), "ok");
        const Survivors big = CountSurvivors(database, "Big", kBigKeys, kBigValues);
        EXPECT_EQ(big.keys, kBigKeys);
        EXPECT_TRUE(big.prefix);
        hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database));
        int lost = 0;
        for (int i = 0; i < kSmallKeys; ++i)
            for (int job = 0; job < kSmallJobs; ++job)
                lost += !hw::core::ValuePathExists("HKLM\\SOFTWARE\\Race\\Key" + std::to_string(i),
                                                   "Job" + std::to_string(job));
        hw::platform::UseRegistry(nullptr);
        EXPECT_EQ(lost, 0);
    }
}

TEST_F(StoreFaults, ReadersWorkWhileAnotherProcessHoldsTheWriteLock) {
    const std::string database = dir_.file("registry.db");
    WriteRegFile(dir_.file("seed.reg"), "Held", 20, 2);
    ASSERT_EQ(Run(database, {"--import", dir_.file("seed.reg"), "--yes"}).status, 0);

    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    // A writer started now waits for the lock instead of failing.
    hw::test::ProgramProcess writer(Env(database), {"--delete", "HKLM\\SOFTWARE\\Held\\Key3"},
                                    dir_.file("writer-errors"));
    const ProgramOutcome exported =
        Run(database, {"--export", "HKLM\\SOFTWARE\\Held", dir_.file("held.reg")}, "timeout 20");
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);

    EXPECT_EQ(exported.status, 0) << exported.errors;
    const std::string text = hw::test::ReadRegFileText(dir_.file("held.reg"));
    EXPECT_TRUE(Contains(text, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Held\\Key19]"));
    const ProgramOutcome written = writer.Wait();
    EXPECT_EQ(written.status, 0) << written.errors;
}

TEST_F(StoreFaults, AUserWhoMayOnlyReadCanExportAndIsToldWhyWritesFail) {
    const std::string folder = dir_.file("shared");
    std::filesystem::create_directories(folder);
    const std::string database = folder + "/registry.db";
    WriteRegFile(dir_.file("seed.reg"), "Shared", 5, 2);
    ASSERT_EQ(Run(database, {"--import", dir_.file("seed.reg"), "--yes"}).status, 0);
    const std::string out = dir_.file("out");
    std::filesystem::create_directories(out);
    for (const std::string& open : {dir_.path().string(), out, dir_.file("config")}) {
        std::filesystem::create_directories(open);
        chmod(open.c_str(), 0777);
    }
    chmod(database.c_str(), 0644);
    const std::string nobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    if (RunProgram({}, {"--help"}, dir_.file("probe"), nobody).status != 0)
        GTEST_SKIP() << "the program cannot run as user nobody here";

    struct Case {
        mode_t folderMode;
        std::vector<std::string> arguments;
        int status;
        const char* says;
    };
    const std::vector<Case> cases = {
        {0755, {"--export", "HKLM\\SOFTWARE\\Shared", out + "/a.reg"}, 0, ""},
        {0777, {"--export", "HKLM\\SOFTWARE\\Shared", out + "/b.reg"}, 0, ""},
        {0755, {"--delete", "HKLM\\SOFTWARE\\Shared"}, 1, "read-only"},
        {0777, {"--delete", "HKLM\\SOFTWARE\\Shared\\Key1", "Value0"}, 1, "read-only"},
        {0755, {"--import", dir_.file("seed.reg"), "--yes"}, 2, "read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " with folder mode " + std::to_string(c.folderMode));
        chmod(folder.c_str(), c.folderMode);
        const ProgramOutcome outcome = Run(database, c.arguments, nobody);
        EXPECT_EQ(outcome.status, c.status) << outcome.errors;
        EXPECT_TRUE(Contains(outcome.errors, c.says)) << outcome.errors;
        if (c.status != 0) {
            EXPECT_EQ(std::count(outcome.errors.begin(), outcome.errors.end(), '\n'), 1);
        }
        // Log files left by the reader would belong to it and lock the owner out.
        EXPECT_FALSE(std::filesystem::exists(database + "-wal"));
        EXPECT_FALSE(std::filesystem::exists(database + "-shm"));
    }
    EXPECT_TRUE(std::filesystem::file_size(out + "/a.reg") > 0);
    EXPECT_EQ(Run(database, {"--delete", "HKLM\\SOFTWARE\\Shared"}).status, 0) << "the owner lost access";
}

TEST_F(StoreFaults, BadTargetsAndProtectedKeysFailWithTheirCause) {
    const std::string database = dir_.file("registry.db");
    WriteRegFile(dir_.file("seed.reg"), "Kept", 3, 2);
    ASSERT_EQ(Run(database, {"--import", dir_.file("seed.reg"), "--yes"}).status, 0);
    const std::string deleteSam = dir_.file("sam.reg");
    std::ofstream(deleteSam, std::ios::binary) << "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\SAM]\r\n";
    std::filesystem::create_directories(dir_.file("folder"));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* says;
    };
    const std::vector<Case> cases = {
        {{"--export", "HKLM\\SOFTWARE", database}, 1, "registry database"},
        {{"--export", "HKLM\\SOFTWARE", database + "-wal"}, 1, "registry database"},
        {{"--export", "HKLM\\SOFTWARE", database + "-shm"}, 1, "registry database"},
        {{"--export", "HKLM\\SOFTWARE", dir_.file("folder")}, 1, "directory"},
        {{"--import", dir_.file("folder"), "--yes"}, 2, "directory"},
        {{"--export", "HKLM\\SAM", dir_.file("sam-out.reg")}, 1, "access denied"},
        {{"--delete", "HKLM\\SECURITY"}, 1, "access denied"},
        {{"--import", deleteSam, "--yes"}, 2, "access denied"},
        {{"--import", "/dev/zero", "--yes"}, 1, "version unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1] + " " + c.arguments.back());
        const ProgramOutcome outcome = Run(database, c.arguments, "timeout 30");
        EXPECT_EQ(outcome.status, c.status) << outcome.errors;
        EXPECT_TRUE(Contains(outcome.errors, c.says)) << outcome.errors;
    }
    ASSERT_EQ(hw::test::IntegrityCheck(database), "ok");
    hw::platform::UseRegistry(hw::platform::OpenSqliteStore(database));
    EXPECT_TRUE(hw::core::ValuePathExists("HKLM\\SOFTWARE\\Kept\\Key2", "Value1"));
    hw::platform::UseRegistry(nullptr);
}

TEST_F(StoreFaults, ALineBeyondTheLimitEndsTheImportWithAMessage) {
    const std::string database = dir_.file("registry.db");
    const std::string command =
        "{ printf 'REGEDIT4\\r\\n[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\Long]\\r\\n'; head -c 300000000 "
        "/dev/zero; } | env HIVEWRIGHT_REGISTRY=" +
        hw::test::ShellQuoted(database) + " XDG_CONFIG_HOME=" + hw::test::ShellQuoted(dir_.file("config")) +
        " " + hw::test::ShellQuoted(hw::test::ProgramPath()) + " --import /dev/stdin --yes 2>" +
        hw::test::ShellQuoted(dir_.file("long-errors"));
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    std::ifstream file(dir_.file("long-errors"));
    const std::string errors{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(Contains(errors, "256 MB")) << errors;
}

TEST_F(StoreFaults, ARelativeDatabasePathIsTakenFromTheStartingFolder) {
    WriteRegFile(dir_.file("seed.reg"), "Here", 1, 1);
    const std::string command =
        "cd " + hw::test::ShellQuoted(dir_.path().string()) + " && HIVEWRIGHT_REGISTRY=relative.db " +
        hw::test::ShellQuoted(hw::test::ProgramPath()) + " --import seed.reg --yes 2>/dev/null";
    ASSERT_EQ(WEXITSTATUS(std::system(command.c_str())), 0);
    EXPECT_TRUE(std::filesystem::exists(dir_.file("relative.db")));
}

} // namespace

namespace {

int LineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(StoreFaults, AnImportThatFillsASmallDiskKeepsWholeSections) {
    constexpr int kKeys = 80000, kValues = 5;
    WriteRegFile(dir_.file("big.reg"), "Big", kKeys, kValues);
    // Large enough that the disk usually fills after a few timed commits; a fast machine may fill it before
    // the first, and then no section at all is the whole prefix.
    hw::test::SmallDisk disk(dir_.file("disk"), "16m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
    const std::string database = dir_.file("disk/registry.db");
    const ProgramOutcome outcome = Run(database, {"--import", dir_.file("big.reg"), "--yes"});
    EXPECT_EQ(outcome.status, 2) << outcome.errors;
    EXPECT_TRUE(Contains(outcome.errors, "disk full")) << outcome.errors;
    ASSERT_EQ(hw::test::IntegrityCheck(database), "ok");
    const Survivors big = CountSurvivors(database, "Big", kKeys, kValues);
    EXPECT_LT(big.keys, kKeys);
    EXPECT_TRUE(big.prefix);
    EXPECT_TRUE(big.whole) << "the last section saved was torn";
}

TEST_F(StoreFaults, ADatabaseThatCannotBeOpenedIsExplainedInOneLine) {
    hw::test::SmallDisk disk(dir_.file("disk"), "4m");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs was refused, so a full disk cannot be made";
    disk.FillLeaving(0);
    const std::string text = dir_.file("notes.txt");
    std::ofstream(text, std::ios::binary) << std::string(5000, 'x');
    struct Case {
        std::string database;
        const char* says;
    };
    const Case cases[] = {
        {dir_.file("disk/registry.db"), "disk full"},
        {text, "not a registry database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.database);
        const std::string log = dir_.file("debug.log");
        std::filesystem::remove(log);
        const ProgramOutcome outcome =
            RunProgram({"HIVEWRIGHT_REGISTRY=" + c.database, "XDG_CONFIG_HOME=" + dir_.file("config"),
                        "HIVEWRIGHT_DEBUG_LOG=" + log},
                       {"--delete", "HKLM\\SOFTWARE\\Any"}, dir_.file("errors-" + std::to_string(++runs_)));
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(LineCount(outcome.errors), 1) << outcome.errors;
        EXPECT_TRUE(Contains(outcome.errors, c.says)) << outcome.errors;
        EXPECT_FALSE(Contains(outcome.errors, "SELECT") || Contains(outcome.errors, "CREATE"))
            << outcome.errors;
        // The statement that failed is kept for whoever looks into it.
        std::ifstream logged(log);
        const std::string details{std::istreambuf_iterator<char>(logged), std::istreambuf_iterator<char>()};
        EXPECT_FALSE(details.empty());
    }
    EXPECT_EQ(std::filesystem::file_size(text), 5000u);
}

// Overwrites count pages of the database from its middle on, as a failing disk might.
void DamagePages(const std::string& database, int count) {
    constexpr std::size_t kPageSize = 8192;
    const std::size_t pages = std::filesystem::file_size(database) / kPageSize;
    std::fstream file(database, std::ios::in | std::ios::out | std::ios::binary);
    const std::string garbage(kPageSize, '\xA5');
    file.seekp(static_cast<std::streamoff>(pages / 2 * kPageSize));
    for (int i = 0; i < count; ++i)
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

TEST_F(StoreFaults, AnExportOfADamagedDatabaseFailsAndNamesWhatCouldNotBeRead) {
    const std::string database = dir_.file("registry.db");
    WriteRegFile(dir_.file("seed.reg"), "Damaged", 4000, 5);
    ASSERT_EQ(Run(database, {"--import", dir_.file("seed.reg"), "--yes"}).status, 0);
    ASSERT_FALSE(std::filesystem::exists(database + "-wal"));
    DamagePages(database, 20);
    const std::string out = dir_.file("out.reg");
    for (const char* key : {"HKLM\\SOFTWARE\\Damaged", "HKLM"}) {
        SCOPED_TRACE(key);
        std::ofstream(out, std::ios::binary) << "old";
        const ProgramOutcome outcome = Run(database, {"--export", key, out});
        EXPECT_EQ(outcome.status, 1) << outcome.errors;
        EXPECT_EQ(LineCount(outcome.errors), 1) << outcome.errors;
        EXPECT_TRUE(Contains(outcome.errors, "HKEY_LOCAL_MACHINE")) << outcome.errors;
        EXPECT_TRUE(Contains(outcome.errors, "cannot be read: the registry database is damaged"))
            << outcome.errors;
        std::ifstream written(out, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()),
                  "old");
    }
}

} // namespace
