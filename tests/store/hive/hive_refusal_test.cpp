// Hives the store must not make worse: damaged ones open not at all or show their damage, and those it may
// not write open read-only, saying why, and stay exactly as they were.
#include "hive_test_support.h"
#include "store/hive/regf_layout.h"
#include "support/temp_registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace hw::test {
namespace {

void Overwrite(const std::string& file, std::size_t at, const std::string& bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(at));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A hive holding T\Key with a value, as our store writes it.
void MakeHive(const std::string& file) {
    auto store = OpenHives({file + "=T"});
    Put(*store, "T\\Key", "v", REG_SZ, Text("kept"));
}

void MakeUnclean(const std::string& file) {
    std::string head = StateOf(file).bytes.substr(0, store::hive::regf::kBaseBlockSize);
    store::hive::regf::Write32(head, store::hive::regf::kSecondarySequence, 7);
    store::hive::regf::Write32(head, store::hive::regf::kChecksum, store::hive::regf::Checksum(head));
    Overwrite(file, 0, head);
}

TEST(HiveRefusals, HivesThatMayNotBeWrittenOpenReadOnlySayingWhyAndStayAsTheyWere) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> prepare;
        bool readOnly;
        const char* notice;
    };
    const std::vector<Case> cases = {
        {"unclean", MakeUnclean, false, "was not cleanly written"},
        {"read-only file", [](const std::string& file) { ::chmod(file.c_str(), 0444); }, false,
         "cannot be written"},
        {"asked", [](const std::string&) {}, true, "read-only, as asked"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file = dir.file("hive");
        MakeHive(file);
        std::filesystem::remove(file + ".hivewright-backup");
        c.prepare(file);
        const FileState before = StateOf(file);
        {
            auto store = OpenHives({file + "=T"}, c.readOnly);
            ASSERT_TRUE(store) << c.what;
            EXPECT_TRUE(store->ReadOnly()) << c.what;
            const std::string notice = store->Notice();
            EXPECT_THAT(notice, ::testing::HasSubstr(c.notice)) << c.what;
            EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 0) << c.what;
            HKEY key = 0;
            EXPECT_EQ(store->CreateKey(HKEY_LOCAL_MACHINE, "T\\New", 0, &key, nullptr), ERROR_ACCESS_DENIED);
            ASSERT_EQ(store->OpenKey(HKEY_LOCAL_MACHINE, "T\\Key", KEY_READ, &key), ERROR_SUCCESS) << c.what;
            store->CloseKey(key);
            store->Flush();
        }
        EXPECT_TRUE(StateOf(file) == before) << c.what;
        EXPECT_FALSE(std::filesystem::exists(file + ".hivewright-backup")) << c.what;
    }
}

TEST(HiveRefusals, FilesThatAreNoSoundHiveOpenNothingAndNameTheFile) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> damage;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"truncated", [](const std::string& file) { std::filesystem::resize_file(file, 6000); },
         "is truncated"},
        {"header only", [](const std::string& file) { std::filesystem::resize_file(file, 100); },
         "is truncated"},
        {"no hive", [](const std::string& file) { std::ofstream(file) << "[HKEY_LOCAL_MACHINE\\X]\n"; },
         "is not a Windows registry hive"},
        {"header checksum", [](const std::string& file) { Overwrite(file, 0x30, "x"); },
         "has a damaged header"},
        {"bins", [](const std::string& file) { Overwrite(file, 0x1000, "junk"); }, "is damaged"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file = dir.file("hive");
        MakeHive(file);
        c.damage(file);
        const FileState before = StateOf(file);
        std::string error;
        EXPECT_FALSE(platform::OpenHiveStore({file + "=T"}, &error)) << c.what;
        EXPECT_THAT(error, ::testing::HasSubstr(file + " " + c.error)) << c.what;
        EXPECT_TRUE(StateOf(file) == before) << c.what;
    }
}

TEST(HiveRefusals, ADamagedKeyDeepInsideIsUnreadableAndTheRestIsNot) {
    TempDir dir;
    const std::string file = dir.file("hive");
    {
        auto store = OpenHives({file + "=T"});
        Put(*store, "T\\A\\B\\C", "v", REG_SZ, Text("c"));
        Put(*store, "T\\A\\Sibling", "v", REG_SZ, Text("fine"));
    }
    hive_h* h = hivex_open(file.c_str(), 0);
    ASSERT_TRUE(h);
    hive_node_h node = hivex_root(h);
    for (const char* name : {"A", "B", "C"})
        node = hivex_node_get_child(h, node, name);
    hivex_close(h);
    ASSERT_NE(node, 0u);
    Overwrite(file, node + 4, "xx"); // the key's signature

    auto store = OpenHives({file + "=T"}, true);
    ASSERT_TRUE(store);
    HKEY key = 0;
    ASSERT_EQ(store->OpenKey(HKEY_LOCAL_MACHINE, "T\\A\\B", KEY_READ, &key), ERROR_SUCCESS);
    char name[32];
    DWORD length = sizeof name;
    EXPECT_NE(store->EnumKey(key, 0, name, &length), ERROR_SUCCESS);
    EXPECT_THAT(store->FailureReason(), ::testing::HasSubstr("damaged in " + file));
    store->CloseKey(key);
    ASSERT_EQ(store->OpenKey(HKEY_LOCAL_MACHINE, "T\\A\\Sibling", KEY_READ, &key), ERROR_SUCCESS);
    DWORD size = sizeof name;
    EXPECT_EQ(store->QueryValue(key, "v", nullptr, reinterpret_cast<BYTE*>(name), &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "fine");
    store->CloseKey(key);
}

} // namespace
} // namespace hw::test
