#include "store/sqlite/sqlite_schema.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace hw::store {

namespace {

const char* const kTables = R"sql(
CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS keys(
    parent INTEGER NOT NULL,
    uname BLOB NOT NULL,
    id INTEGER NOT NULL,
    name BLOB NOT NULL,
    rights INTEGER NOT NULL DEFAULT 0,
    link INTEGER,
    PRIMARY KEY(parent, uname)) WITHOUT ROWID;
CREATE UNIQUE INDEX IF NOT EXISTS keys_id ON keys(id);
CREATE TABLE IF NOT EXISTS vals(
    key INTEGER NOT NULL,
    uname BLOB NOT NULL,
    seq INTEGER NOT NULL,
    name BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    big INTEGER,
    PRIMARY KEY(key, uname)) WITHOUT ROWID;
)sql";

// A value whose data lives apart has empty data and the id of its row in `blobs`; that row goes with it.
const char* const kLargeData = R"sql(
CREATE TABLE IF NOT EXISTS blobs(id INTEGER PRIMARY KEY, data BLOB NOT NULL);
CREATE TRIGGER IF NOT EXISTS vals_big_changed AFTER UPDATE OF big ON vals
    WHEN old.big IS NOT NULL AND old.big IS NOT new.big BEGIN DELETE FROM blobs WHERE id=old.big; END;
CREATE TRIGGER IF NOT EXISTS vals_big_deleted AFTER DELETE ON vals
    WHEN old.big IS NOT NULL BEGIN DELETE FROM blobs WHERE id=old.big; END;
)sql";

void MoveRows(Database& db) {
    std::vector<std::pair<std::int64_t, std::string>> large;
    {
        Statement find(db.handle(), "SELECT key, uname FROM vals WHERE length(data) > ?1");
        find.bind(1, static_cast<std::int64_t>(kLargeValueData));
        while (find.step())
            large.emplace_back(find.integer(0), std::string(find.blob(1)));
    }
    Statement copy(db.handle(), "INSERT INTO blobs(data) SELECT data FROM vals WHERE key=?1 AND uname=?2");
    Statement point(db.handle(),
                    "UPDATE vals SET data=x'', big=last_insert_rowid() WHERE key=?1 AND uname=?2");
    for (const auto& [key, uname] : large) {
        copy.bind(1, key).bindBlob(2, uname);
        copy.run();
        point.bind(1, key).bindBlob(2, uname);
        point.run();
    }
}

} // namespace

bool HasSchema(Database& db) {
    Statement tables(db.handle(),
                     "SELECT count(*) FROM sqlite_master WHERE name IN ('meta', 'keys', 'vals')");
    return tables.step() && tables.integer(0) == 3;
}

void CreateSchema(Database& db) {
    db.exec(kTables);
    db.exec(kLargeData);
}

bool KeepsLargeDataApart(Database& db) {
    Statement table(db.handle(), "SELECT 1 FROM sqlite_master WHERE name='blobs'");
    return table.step();
}

void MoveLargeDataApart(Database& db) {
    db.exec("BEGIN IMMEDIATE");
    try {
        // Another process may have done it while this one waited for the lock.
        if (!KeepsLargeDataApart(db)) {
            db.exec("ALTER TABLE vals ADD COLUMN big INTEGER");
            db.exec(kLargeData);
            MoveRows(db);
        }
        db.exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace hw::store
