// Key depth and deletes of wide and deep trees through the real store.
#include "core/key_ops.h"
#include "core/value_text.h"
#include "platform/registry_store.h"
#include "platform/user_identity.h"
#include "support/raw_link.h"
#include "support/temp_registry.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hw::core {
namespace {

std::string Chain(int levels) {
    std::string path;
    for (int i = 0; i < levels; ++i)
        path += (i ? "\\L" : "L") + std::to_string(i);
    return path;
}

LONG Create(HKEY parent, const std::string& path) {
    HKEY key = 0;
    const LONG result = RegCreateKeyA(parent, path.c_str(), &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result;
}

TEST(DeepTrees, KeysStopAtTheRegistrysDepthWhicheverWayTheyAreReached) {
    test::TempRegistry registry;
    // HKEY_CURRENT_USER is HKEY_USERS\<user>, one level down already.
    struct Case {
        HKEY root;
        int allowed;
    };
    for (const Case& c : {Case{HKEY_LOCAL_MACHINE, 512}, Case{HKEY_CURRENT_USER, 511}}) {
        SCOPED_TRACE(c.allowed);
        EXPECT_EQ(Create(c.root, Chain(c.allowed)), ERROR_SUCCESS);
        EXPECT_EQ(Create(c.root, Chain(c.allowed + 1)), ERROR_INVALID_PARAMETER);
        // Step by step from an open handle near the bottom gives the same answer.
        HKEY nearBottom = 0;
        ASSERT_EQ(RegOpenKeyExA(c.root, Chain(c.allowed - 1).c_str(), 0, KEY_ALL_ACCESS, &nearBottom),
                  ERROR_SUCCESS);
        EXPECT_EQ(Create(nearBottom, "L" + std::to_string(c.allowed - 1)), ERROR_SUCCESS);
        EXPECT_EQ(Create(nearBottom, "L" + std::to_string(c.allowed - 1) + "\\Deeper"),
                  ERROR_INVALID_PARAMETER);
        EXPECT_EQ(Create(nearBottom, "Sideways"), ERROR_SUCCESS);
        RegCloseKey(nearBottom);
        EXPECT_FALSE(KeyExists(c.root, Chain(c.allowed + 1)));
        EXPECT_TRUE(DeleteKeyTree(c.root, "L0"));
    }
}

// A chain far deeper than the limit, as a database written before the limit existed may hold.
TEST(DeepTrees, AChainOfSixtyThousandLevelsIsCopiedAndDeletedWithoutExhaustingTheStack) {
    test::TempRegistry registry;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Deep"), ERROR_SUCCESS);
    platform::UseRegistry(nullptr);
    constexpr int kLevels = 60000;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(registry.databasePath().c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const char* chain = R"sql(
        WITH RECURSIVE base(id) AS (SELECT id FROM keys WHERE uname = CAST('DEEP' AS BLOB)),
        top(n) AS (SELECT max(id) FROM keys),
        level(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM level WHERE i < ?1)
        INSERT INTO keys(parent, uname, id, name)
        SELECT CASE i WHEN 1 THEN (SELECT id FROM base) ELSE (SELECT n FROM top) + i - 1 END,
               CAST('LEVEL' AS BLOB), (SELECT n FROM top) + i, CAST('Level' AS BLOB) FROM level)sql";
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, chain, -1, &insert, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_bind_int(insert, 1, kLevels);
    ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE) << sqlite3_errmsg(db);
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    platform::UseRegistry(platform::OpenSqliteStore(registry.databasePath()));

    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Deep\\Level\\Level\\Level"));
    // The copy stops where the registry's depth ends, and says it is incomplete.
    EXPECT_FALSE(CopyKeyPath("HKLM\\SOFTWARE\\Deep", "HKLM\\SOFTWARE\\Copy", true));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Deep"));
    std::string deepest = "SOFTWARE\\Copy";
    for (int level = 2; level < 512; ++level)
        deepest += "\\Level";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, deepest));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, deepest + "\\Level"));
    EXPECT_TRUE(DeleteKeyPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\Deep"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Deep"));
}

// Subkeys are made after their key, so walks take keys in rising id order; a database edited by hand may
// give a key a higher id than its subkeys, and walks must still take in the whole tree.
TEST(DeepTrees, SubkeysWithLowerIdsThanTheirKeyAreStillWalked) {
    test::TempRegistry registry;
    const std::vector<std::string> paths = {"HKLM\\SOFTWARE\\Old\\A\\B", "HKLM\\SOFTWARE\\Old\\C",
                                            "HKLM\\SOFTWARE\\Old"};
    for (const std::string& path : paths)
        ASSERT_TRUE(WriteValueTextOfPath(path, "v", path, REG_SZ));
    platform::UseRegistry(nullptr);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(registry.databasePath().c_str(), &db), SQLITE_OK);
    const char* renumber = R"sql(
        CREATE TEMP TABLE old AS SELECT id FROM keys WHERE uname = CAST('OLD' AS BLOB);
        UPDATE keys SET parent = parent + 1000000 WHERE parent = (SELECT id FROM old);
        UPDATE vals SET key = key + 1000000 WHERE key = (SELECT id FROM old);
        UPDATE keys SET id = id + 1000000 WHERE id = (SELECT id FROM old);)sql";
    ASSERT_EQ(sqlite3_exec(db, renumber, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    platform::UseRegistry(platform::OpenSqliteStore(registry.databasePath()));

    ASSERT_TRUE(CopyKeyPath("HKLM\\SOFTWARE\\Old", "HKLM\\SOFTWARE\\New", false));
    for (const std::string& path : paths)
        EXPECT_EQ(ReadValueTextOfPath("HKLM\\SOFTWARE\\New" + path.substr(17), "v"), path);
}

// A link from inside the source back to the source itself: copies and moves leave it out instead of going
// round it to the depth limit, and a move then keeps its source.
TEST(DeepTrees, ALinkBackIntoTheSourceIsNotFollowed) {
    for (const bool move : {false, true}) {
        SCOPED_TRACE(move ? "move" : "copy");
        test::TempRegistry registry;
        ASSERT_TRUE(WriteValueTextOfPath("HKCU\\Loop\\Inner", "v", "1", REG_SZ));
        platform::FlushRegistry();
        const std::vector<std::string> loop = {"HKEY_USERS", platform::CurrentUserIdentity().sid, "Loop"};
        test::AddLinkRow(registry.databasePath(), {loop[0], loop[1], loop[2], "Inner"}, "Back", loop);

        EXPECT_EQ(CopyKeyPath("HKCU\\Loop", "HKCU\\Copy", move), !move);
        EXPECT_EQ(ReadValueTextOfPath("HKCU\\Copy\\Inner", "v"), "1");
        EXPECT_FALSE(KeyPathExists("HKCU\\Copy\\Inner\\Back"));
        EXPECT_TRUE(KeyPathExists("HKCU\\Loop\\Inner\\Back"));
    }
}

// Deleting by index keeps the parent's listing exact, whether the deleted key was last, in the middle, a
// subtree, or deleted through another handle.
TEST(DeepTrees, ListingsStayExactWhileSubkeysAreDeleted) {
    test::TempRegistry registry;
    HKEY parent = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wide", &parent), ERROR_SUCCESS);
    std::vector<std::string> expected;
    for (char c = 'a'; c <= 'h'; ++c) {
        expected.emplace_back(1, c);
        ASSERT_EQ(Create(parent, expected.back() + "\\Child"), ERROR_SUCCESS);
    }
    auto listed = [&] {
        NameList names;
        ListSubKeys(parent, names);
        return names;
    };
    ASSERT_EQ(listed(), expected);
    struct Step {
        const char* name;
        bool throughOtherHandle;
    };
    for (const Step& step : {Step{"h", false}, Step{"c", false}, Step{"a", true}, Step{"g", false}}) {
        SCOPED_TRACE(step.name);
        if (step.throughOtherHandle) {
            EXPECT_TRUE(DeleteKeyPath(std::string("HKCU\\Software\\Wide\\") + step.name));
        } else {
            EXPECT_TRUE(DeleteKeyTree(parent, step.name));
        }
        std::erase(expected, std::string(step.name));
        EXPECT_EQ(listed(), expected);
        char name[8];
        DWORD length = sizeof name;
        EXPECT_EQ(RegEnumKeyExA(parent, static_cast<DWORD>(expected.size()), name, &length, nullptr, nullptr,
                                nullptr, nullptr),
                  ERROR_NO_MORE_ITEMS);
    }
    // The walk deletes from the last index down, depth first.
    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Wide"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Wide"));
    RegCloseKey(parent);
}

} // namespace
} // namespace hw::core
