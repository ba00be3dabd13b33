#include "support/raw_link.h"

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>

namespace hw::test {

namespace {

std::string Upper(std::string name) {
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name;
}

std::int64_t KeyId(sqlite3* db, const std::vector<std::string>& names) {
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, "SELECT id FROM keys WHERE parent=?1 AND uname=?2", -1, &find, nullptr);
    std::int64_t id = 0;
    for (const std::string& name : names) {
        const std::string upper = Upper(name);
        sqlite3_bind_int64(find, 1, id);
        sqlite3_bind_blob(find, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
        id = sqlite3_step(find) == SQLITE_ROW ? sqlite3_column_int64(find, 0) : 0;
        sqlite3_reset(find);
        if (id == 0) break;
    }
    sqlite3_finalize(find);
    if (id == 0) throw std::runtime_error("no such key in the database");
    return id;
}

} // namespace

void AddLinkRow(const std::string& database, const std::vector<std::string>& parent, const std::string& name,
                const std::vector<std::string>& target) {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    try {
        const std::int64_t parentId = KeyId(db, parent), targetId = KeyId(db, target);
        sqlite3_stmt* insert = nullptr;
        // Names are blobs, as the store binds them.
        sqlite3_prepare_v2(db,
                           "INSERT INTO keys(parent, uname, id, name, rights, link) "
                           "VALUES(?1, ?2, (SELECT max(id) + 1 FROM keys), ?3, 0, ?4)",
                           -1, &insert, nullptr);
        const std::string upper = Upper(name);
        sqlite3_bind_int64(insert, 1, parentId);
        sqlite3_bind_blob(insert, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(insert, 3, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(insert, 4, targetId);
        const int stepped = sqlite3_step(insert);
        sqlite3_finalize(insert);
        if (stepped != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

} // namespace hw::test
