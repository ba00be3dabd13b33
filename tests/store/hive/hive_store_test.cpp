// The hive store on real hive files: what independent readers find in what it writes, what it keeps as it
// was, and how it commits.
#include "hive_test_support.h"
#include "store/hive/empty_hive.h"
#include "support/temp_registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace hw::test {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Utf16(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii)
        bytes += {c, '\0'};
    return bytes;
}

TEST(HiveStore, IndependentReadersFindEveryKeyAndValueWritten) {
    TempDir dir;
    const std::string file = dir.file("new.hive");
    struct Written {
        std::string key, name;
        DWORD type;
        std::string data;
        std::string listed; // as reglookup lists it
    };
    const std::vector<Written> written = {
        {"T\\Software\\Alpha", "text", REG_SZ, Text("hello"), "SZ,hello"},
        {"T\\Software\\Alpha", "path", REG_EXPAND_SZ, Text("%windir%\\x"), "EXPAND_SZ,%25windir%25\\x"},
        {"T\\Software\\Alpha", "list", REG_MULTI_SZ, Text("a") + Text("b") + '\0', "MULTI_SZ,a|b"},
        {"T\\Software\\Alpha", "number", REG_DWORD, Bytes({0x10, 0, 0, 0}), "DWORD,0x00000010"},
        {"T\\Software\\Alpha", "wide", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0}),
         "QWORD,0x0000000000000001"},
        {"T\\Software\\Alpha", "bytes", REG_BINARY, Bytes({1, 2, 0xFF}), "BINARY,%01%02%FF"},
        {"T\\Software\\Beta\\Deep", "", REG_SZ, Text("default"), "SZ,default"},
    };
    {
        auto store = OpenHives({file + "=T"}); // a missing file becomes an empty hive
        ASSERT_TRUE(store);
        for (const Written& value : written)
            Put(*store, value.key, value.name, value.type, value.data);
        Put(*store, "T\\Software\\Gamma", "accented", REG_SZ, Text("h\xC3\xA9llo"));
    }
    const std::string listing = CommandOutput("reglookup '" + file + "' 2>/dev/null");
    for (const Written& value : written) {
        std::string path = "/" + value.key.substr(2) + "/" + value.name;
        std::replace(path.begin(), path.end(), '\\', '/');
        EXPECT_THAT(listing, ::testing::HasSubstr(path + "," + value.listed + ",")) << listing;
    }
    EXPECT_THAT(listing, ::testing::HasSubstr("/Software/Gamma,KEY,"));

    const std::string exported = dir.file("reged.reg");
    CommandOutput("reged -x '" + file + "' 'HKEY_LOCAL_MACHINE\\T' '\\' '" + exported + "' 2>&1");
    const std::string text = StateOf(exported).bytes;
    for (const char* line : {"[HKEY_LOCAL_MACHINE\\T\\Software\\Beta\\Deep]", "\"text\"=\"hello\"",
                             "\"number\"=dword:00000010", "\"accented\"=\"h\xC3\xA9llo\"", "@=\"default\""})
        EXPECT_THAT(text, ::testing::HasSubstr(line)) << text;
}

TEST(HiveStore, ChangesKeepEveryUntouchedValueByteForByte) {
    TempDir dir;
    const std::string file = dir.file("odd.hive");
    {
        std::ofstream(file, std::ios::binary) << store::hive::EmptyHiveImage();
        // Values our own writing would never make: an odd-length text, a type of no name, text without its
        // NUL.
        hive_h* h = hivex_open(file.c_str(), HIVEX_OPEN_WRITE);
        ASSERT_TRUE(h);
        const hive_node_h key = hivex_node_add_child(h, hivex_root(h), "Key");
        std::string odd = "abc", unnamed = Bytes({9, 8, 7}), bare = Utf16("no end"),
                    plain = Utf16("x") + '\0' + '\0';
        hive_set_value values[] = {
            {const_cast<char*>("odd"), hive_t_REG_SZ, odd.size(), odd.data()},
            {const_cast<char*>("unnamed"), static_cast<hive_type>(0x4242), unnamed.size(), unnamed.data()},
            {const_cast<char*>("bare"), hive_t_REG_EXPAND_SZ, bare.size(), bare.data()},
            {const_cast<char*>("plain"), hive_t_REG_SZ, plain.size(), plain.data()}};
        ASSERT_EQ(hivex_node_set_values(h, key, 4, values, 0), 0);
        ASSERT_EQ(hivex_commit(h, nullptr, 0), 0);
        hivex_close(h);
    }
    std::vector<RawValue> before = RawValues(file, "Key");
    ASSERT_EQ(before.size(), 4u);
    {
        auto store = OpenHives({file + "=H"});
        ASSERT_TRUE(store);
        Put(*store, "H\\Key", "plain", REG_SZ, Text("changed"));
        Put(*store, "H\\Key", "added", REG_DWORD, Bytes({1, 0, 0, 0}));
        HKEY key = 0;
        ASSERT_EQ(store->OpenKey(HKEY_LOCAL_MACHINE, "H\\Key", KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        EXPECT_EQ(store->DeleteValue(key, "unnamed"), ERROR_SUCCESS);
        store->CloseKey(key);
    }
    const std::vector<RawValue> expected = {before[0],
                                            before[2],
                                            {"plain", REG_SZ, Utf16("changed") + '\0' + '\0'},
                                            {"added", REG_DWORD, Bytes({1, 0, 0, 0})}};
    EXPECT_EQ(RawValues(file, "Key"), expected);
}

TEST(HiveStore, CommitReplacesOnlyChangedHivesKeepingModeAndTheFirstOriginal) {
    TempDir dir;
    const std::string changed = dir.file("changed.hive"), untouched = dir.file("untouched.hive");
    {
        auto store = OpenHives({changed + "=C", untouched + "=U"});
        Put(*store, "C\\Key", "v", REG_SZ, Text("1"));
        Put(*store, "U\\Key", "v", REG_SZ, Text("1"));
    }
    std::filesystem::remove(changed + ".hivewright-backup");
    ::chmod(changed.c_str(), 0640);
    const FileState original = StateOf(changed), other = StateOf(untouched);
    {
        auto store = OpenHives({changed + "=C", untouched + "=U"});
        Put(*store, "C\\Key", "v", REG_SZ, Text("2"));
        store->Flush();
        Put(*store, "C\\Key", "v", REG_SZ, Text("3")); // the second commit keeps the first backup
        HKEY key = 0;
        ASSERT_EQ(store->OpenKey(HKEY_LOCAL_MACHINE, "U\\Key", KEY_READ, &key), ERROR_SUCCESS);
        store->CloseKey(key);
    }
    EXPECT_EQ(StateOf(changed + ".hivewright-backup").bytes, original.bytes);
    EXPECT_EQ(RawValues(changed, "Key"), (std::vector<RawValue>{{"v", REG_SZ, Utf16("3") + '\0' + '\0'}}));
    struct stat info {};
    ASSERT_EQ(::stat(changed.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(StateOf(untouched), other);
    EXPECT_FALSE(std::filesystem::exists(untouched + ".hivewright-backup"));
}

TEST(HiveStore, ChangesAreCommittedAboutTwoSecondsAfterTheLast) {
    TempDir dir;
    const std::string file = dir.file("timed.hive");
    auto store = OpenHives({file + "=T"});
    Put(*store, "T\\Key", "v", REG_SZ, Text("soon"));
    EXPECT_TRUE(RawValues(file, "Key").empty());
    for (int wait = 0; wait < 50 && RawValues(file, "Key").empty(); ++wait)
        ::usleep(100 * 1000);
    EXPECT_EQ(RawValues(file, "Key").size(), 1u);
}

TEST(HiveStore, AKillDuringACommitLeavesTheOldOrTheNewHive) {
    TempDir dir;
    const std::string file = dir.file("killed.hive");
    OpenHives({file + "=K"}).reset();
    for (int delayUs : {0, 200, 1000, 3000, 10000, 30000}) {
        const pid_t child = ::fork();
        if (child == 0) {
            auto store = platform::OpenHiveStore({file + "=K"});
            for (int i = 0; store && i < 2000; ++i)
                Put(*store, "K\\Many\\Key" + std::to_string(i), "v", REG_SZ, Text(std::string(100, 'x')));
            if (store) store->Flush();
            ::_exit(0);
        }
        ::usleep(static_cast<useconds_t>(delayUs));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        hive_h* h = hivex_open(file.c_str(), 0);
        ASSERT_TRUE(h) << "after " << delayUs << " us";
        const hive_node_h many = hivex_node_get_child(h, hivex_root(h), "Many");
        const std::size_t keys = many ? hivex_node_nr_children(h, many) : 0;
        EXPECT_TRUE(keys == 0 || keys == 2000) << keys;
        hivex_close(h);
        if (keys) break;
    }
}

TEST(HiveStore, KeysCarryTheirLastWriteTimeAndAChangeSetsIt) {
    TempDir dir;
    const std::string file = dir.file("times.hive");
    auto lastWrite = [](platform::RegistryStore& store, const char* path) {
        HKEY key = 0;
        FILETIME time{};
        EXPECT_EQ(store.OpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &key), ERROR_SUCCESS);
        EXPECT_EQ(store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, &time), ERROR_SUCCESS);
        store.CloseKey(key);
        return std::uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime;
    };
    {
        auto store = OpenHives({file + "=T"});
        Put(*store, "T\\Old", "v", REG_SZ, Text("1"));
        Put(*store, "T\\New", "v", REG_SZ, Text("1"));
    }
    hive_h* h = hivex_open(file.c_str(), 0);
    ASSERT_TRUE(h);
    const std::int64_t written = hivex_node_timestamp(h, hivex_node_get_child(h, hivex_root(h), "Old"));
    hivex_close(h);
    ::usleep(20 * 1000);
    auto store = OpenHives({file + "=T"});
    EXPECT_EQ(lastWrite(*store, "T\\Old"), static_cast<std::uint64_t>(written));
    Put(*store, "T\\New", "v", REG_SZ, Text("2"));
    EXPECT_GT(lastWrite(*store, "T\\New"), lastWrite(*store, "T\\Old"));
}

} // namespace
} // namespace hw::test
