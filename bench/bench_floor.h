// What SQLite itself needs for an import or an export of a registry database: inserting its rows, or reading
// them back.
#pragma once

#include "bench_support.h"

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace hw::bench {

namespace floor_detail {

inline void Check(int code, sqlite3* db, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

inline void Exec(sqlite3* db, const std::string& sql) {
    Check(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), db, sql.c_str());
}

// Every row of a table as the values of its columns, in the given order.
struct Rows {
    int columns = 0;
    std::vector<sqlite3_value*> cells;
    Rows() = default;
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;
    ~Rows() {
        for (sqlite3_value* cell : cells)
            sqlite3_value_free(cell);
    }
};

inline void ReadRows(sqlite3* db, const std::string& select, Rows& rows) {
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v2(db, select.c_str(), -1, &statement, nullptr), db, select.c_str());
    rows.columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW)
        for (int column = 0; column < rows.columns; ++column)
            rows.cells.push_back(sqlite3_value_dup(sqlite3_column_value(statement, column)));
    sqlite3_finalize(statement);
}

inline void InsertRows(sqlite3* db, const std::string& insert, const Rows& rows) {
    sqlite3_stmt* statement = nullptr;
    Check(sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr), db, insert.c_str());
    for (std::size_t at = 0; at < rows.cells.size(); at += rows.columns) {
        for (int column = 0; column < rows.columns; ++column)
            sqlite3_bind_value(statement, column + 1, rows.cells[at + column]);
        Check(sqlite3_step(statement), db, insert.c_str());
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
}

inline std::string Placeholders(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += (i > 1 ? ", ?" : "?") + std::to_string(i);
    return text;
}

} // namespace floor_detail

struct FloorTable {
    const char* name;
    const char* order; // the order the registry made its rows in
};

// The rows a registry database holds, inserted into a fresh database of the same schema and page size, in
// the order they were made, through one prepared statement per table in one transaction. Returns the
// processor time of the inserts.
inline double SqliteInsertFloor(const std::string& source, const std::string& target,
                                const std::vector<FloorTable>& tables) {
    using namespace floor_detail;
    sqlite3* from = nullptr;
    sqlite3* to = nullptr;
    Check(sqlite3_open_v2(source.c_str(), &from, SQLITE_OPEN_READONLY, nullptr), from, source.c_str());
    Check(sqlite3_open(target.c_str(), &to), to, target.c_str());
    std::vector<std::string> schema;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(from, "PRAGMA page_size", -1, &statement, nullptr);
    const std::int64_t pageSize =
        sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(from, "SELECT sql FROM sqlite_master WHERE sql IS NOT NULL", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        schema.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    Exec(to, "PRAGMA page_size=" + std::to_string(pageSize));
    Exec(to, "PRAGMA journal_mode=WAL");
    Exec(to, "PRAGMA synchronous=NORMAL");
    for (const std::string& sql : schema)
        Exec(to, sql);
    std::vector<Rows> rows(tables.size());
    for (std::size_t i = 0; i < tables.size(); ++i)
        ReadRows(from, std::string("SELECT * FROM ") + tables[i].name + " ORDER BY " + tables[i].order,
                 rows[i]);
    const double cpu = Measure([&] {
                           Exec(to, "BEGIN");
                           for (std::size_t i = 0; i < tables.size(); ++i)
                               InsertRows(to,
                                          std::string("INSERT INTO ") + tables[i].name + " VALUES(" +
                                              Placeholders(rows[i].columns) + ")",
                                          rows[i]);
                           Exec(to, "COMMIT");
                       }).cpu;
    sqlite3_close(from);
    sqlite3_close(to);
    return cpu;
}

// Every column of every row a walk of the whole registry reads: keys by parent and name, values by key, large
// data, through one statement per table on a connection with the store's cache. Returns the processor time.
inline double SqliteReadFloor(const std::string& database) {
    using namespace floor_detail;
    sqlite3* db = nullptr;
    Check(sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr), db,
          database.c_str());
    Exec(db, "PRAGMA cache_size=-24576");
    // Each statement with the kind of each column it reads: an integer, or a blob.
    const std::pair<const char*, const char*> reads[] = {
        {"SELECT parent, name, id, link FROM keys ORDER BY parent, uname", "ibii"},
        {"SELECT key, seq, type, name, data, big FROM vals ORDER BY key", "iiibbi"},
        {"SELECT data FROM blobs", "b"}};
    const double cpu = Measure([&] {
                           for (const auto& [select, kinds] : reads) {
                               sqlite3_stmt* statement = nullptr;
                               Check(sqlite3_prepare_v2(db, select, -1, &statement, nullptr), db, select);
                               while (sqlite3_step(statement) == SQLITE_ROW) {
                                   for (int column = 0; kinds[column] != 0; ++column) {
                                       if (kinds[column] == 'b') {
                                           sqlite3_column_blob(statement, column);
                                           sqlite3_column_bytes(statement, column);
                                       } else {
                                           sqlite3_column_int64(statement, column);
                                       }
                                   }
                               }
                               sqlite3_finalize(statement);
                           }
                       }).cpu;
    sqlite3_close(db);
    return cpu;
}

} // namespace hw::bench
