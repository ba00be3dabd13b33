// Large value data lives apart from the values' tree: it comes back whole, leaves with its value, and a
// database of the earlier layout is brought up to date when opened, exporting the same as before.
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "regfile/reg_export.h"

#include "regfile_test_util.h"
#include "support/temp_registry.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace hw::regfile {
namespace {

using test::GetRawValue;
using test::SetRawValue;
using test::StoredValue;

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Large";

std::string Bytes(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7);
    return bytes;
}

// Runs SQL on the database through a connection of its own; the answer of a query is its first number.
std::int64_t Sql(const std::string& path, const char* sql) {
    platform::FlushRegistry();
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    std::int64_t answer = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) answer = sqlite3_column_int64(statement, 0);
        if (rc == SQLITE_DONE) answer = 0;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return answer;
}

std::int64_t Blobs(const std::string& path) {
    return Sql(path, "SELECT count(*) FROM blobs");
}

TEST(LargeValues, DataComesBackWholeAndLeavesWithItsValue) {
    test::TempRegistry registry;
    const std::string db = registry.databasePath();
    const std::string big = Bytes(100000, 'a');
    const std::string other = Bytes(5000, 'b');

    SetRawValue(kKey, "edge", REG_BINARY, Bytes(2048, 'c'));
    EXPECT_EQ(Blobs(db), 0) << "data of 2 KB stays in the tree";
    SetRawValue(kKey, "big", REG_BINARY, big);
    EXPECT_EQ(GetRawValue(kKey, "big"), (StoredValue{REG_BINARY, big}));
    EXPECT_EQ(Blobs(db), 1);
    EXPECT_EQ(Sql(db, "SELECT max(length(data)) FROM vals"), 2048);

    struct Step {
        const char* what;
        std::function<void()> change;
        std::int64_t blobs;
    };
    const Step steps[] = {
        {"replaced by large data", [&] { SetRawValue(kKey, "big", REG_SZ, other); }, 1},
        {"replaced by small data", [&] { SetRawValue(kKey, "big", REG_BINARY, "x"); }, 0},
        {"large again", [&] { SetRawValue(kKey, "big", REG_BINARY, big); }, 1},
        {"value deleted",
         [&] {
             HKEY key = 0;
             ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Large", &key), ERROR_SUCCESS);
             EXPECT_EQ(RegDeleteValueA(key, "big"), ERROR_SUCCESS);
             RegCloseKey(key);
         },
         0},
        {"in a subkey", [&] { SetRawValue(kKey + "\\Sub", "big", REG_BINARY, big); }, 1},
        {"key deleted", [&] { EXPECT_TRUE(core::DeleteKeyPath(kKey + "\\Sub")); }, 0},
    };
    for (const Step& step : steps) {
        step.change();
        EXPECT_EQ(Blobs(db), step.blobs) << step.what;
    }
    EXPECT_FALSE(GetRawValue(kKey, "big"));
    EXPECT_EQ(GetRawValue(kKey, "edge"), (StoredValue{REG_BINARY, Bytes(2048, 'c')}));
}

// What the earlier layout held: every value's data in the values' tree.
void MoveLargeDataBack(const std::string& path) {
    const char* const sql = R"sql(
        CREATE TABLE earlier(key INTEGER NOT NULL, uname BLOB NOT NULL, seq INTEGER NOT NULL, name BLOB NOT NULL,
            type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, uname)) WITHOUT ROWID;
        INSERT INTO earlier SELECT key, uname, seq, name, type,
            CASE WHEN big IS NULL THEN data ELSE (SELECT data FROM blobs WHERE id=big) END FROM vals;
        DROP TABLE vals;
        DROP TABLE blobs;
        ALTER TABLE earlier RENAME TO vals;)sql";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST(LargeValues, EarlierDatabaseIsBroughtUpToDateAndExportsTheSame) {
    test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    const std::string db = dir.file("registry.db");
    platform::UseRegistry(platform::OpenSqliteStore(db));
    SetRawValue(kKey, "small", REG_DWORD, "\x01\x00\x00\x00");
    SetRawValue(kKey, "binary", REG_BINARY, Bytes(70000, 'd'));
    SetRawValue(kKey + "\\Sub", "text", REG_SZ, std::string(3000, 'e') + '\0');
    SetRawValue(kKey + "\\Sub", "after", REG_SZ, std::string("f\0", 2));
    RegLines before;
    ASSERT_TRUE(ExportKeyPath(kKey, before));
    platform::UseRegistry(nullptr);

    MoveLargeDataBack(db);
    ASSERT_EQ(Sql(db, "SELECT count(*) FROM sqlite_master WHERE name='blobs'"), 0);
    ASSERT_EQ(Sql(db, "SELECT count(*) FROM vals WHERE length(data) > 2048"), 2);

    // Read-only, it is read as it stands.
    platform::UseRegistry(platform::OpenSqliteStore(db, nullptr, true));
    RegLines readOnly;
    ASSERT_TRUE(ExportKeyPath(kKey, readOnly));
    EXPECT_EQ(readOnly, before);
    platform::UseRegistry(nullptr);
    EXPECT_EQ(Sql(db, "SELECT count(*) FROM sqlite_master WHERE name='blobs'"), 0);

    platform::UseRegistry(platform::OpenSqliteStore(db));
    RegLines after;
    ASSERT_TRUE(ExportKeyPath(kKey, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(Sql(db, "SELECT count(*) FROM vals WHERE length(data) > 2048"), 0);
    EXPECT_EQ(Blobs(db), 2);
    platform::UseRegistry(nullptr);
}

} // namespace
} // namespace hw::regfile
