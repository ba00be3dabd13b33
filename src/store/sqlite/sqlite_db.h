// Thin RAII wrappers over the SQLite C API: a connection and cached prepared statements.
#pragma once

#include "registry/key_storage.h"

#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hw::store {

// The cause of an SQLite result code in the user's words, then SQLite's own.
std::string DescribeSqliteCode(int code);

// A failure of SQLite, carrying the registry's result code and reason for it.
class SqliteError : public registry::StorageError {
  public:
    SqliteError(const std::string& what, int code);
    int code() const { return detail(); }
};

class Statement {
  public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bindBlob(int index, std::string_view bytes);
    Statement& bindBlob(int index, const void* data, std::size_t size);
    // Binds without a copy: the data must stay valid until the statement is reset.
    Statement& bindBlobInPlace(int index, const void* data, std::size_t size);
    Statement& bindNull(int index);
    // Binds a pointer that only a function asking for this type can read.
    Statement& bindPointer(int index, void* pointer, const char* type);
    // Steps once: true when a row is ready, false when done. Throws on failure.
    bool step();
    // Steps to completion and resets (for statements returning no rows).
    void run();
    // As run, but keeps the bindings: for statements whose every parameter is bound before each run, where
    // clearing them would only cost time.
    void runKeepingBindings();
    // Bind as bind and bindNull do, unless the parameter holds that already from the run before: for
    // statements run with runKeepingBindings, where many rows share a parameter.
    Statement& bindKept(int index, std::int64_t value);
    Statement& bindKeptNull(int index);
    void reset();

    // Whether it holds a prepared statement.
    bool prepared() const { return stmt_ != nullptr; }
    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    std::string_view blob(int column) const { return BlobOf(value(column)); }
    // The column's value, for columns that hold either an integer or a blob. Unprotected, which is safe:
    // a connection is only used by one thread at a time.
    sqlite3_value* value(int column) const { return sqlite3_column_value(stmt_, column); }
    // Plain reads of a value cost less than a column call each (a lock round and an error check).
    static std::string_view BlobOf(sqlite3_value* value);

  private:
    // What bindKept and bindKeptNull left bound in the first parameters.
    struct Kept {
        bool known = false;
        bool null = false;
        std::int64_t value = 0;
    };
    static constexpr int kKeptParameters = 8;
    Kept* KeptSlot(int index);
    void ForgetKept() { kept_ = {}; }

    sqlite3_stmt* stmt_ = nullptr;
    std::array<Kept, kKeptParameters> kept_{};
};

// Resets a statement when leaving a scope, whatever happens.
class ResetGuard {
  public:
    explicit ResetGuard(Statement& statement) : statement_(statement) {}
    ~ResetGuard() { statement_.reset(); }
    ResetGuard(const ResetGuard&) = delete;
    ResetGuard& operator=(const ResetGuard&) = delete;

  private:
    Statement& statement_;
};

// How long a writer waits for another process's write lock before giving up.
inline constexpr std::chrono::seconds kLockWait{300};

class Database {
  public:
    // immutable: the file is read as it stands, without locks or log files.
    Database(const std::string& path, bool readOnly, bool immutable = false);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }
    void exec(const char* sql);
    bool readOnly() const;

  private:
    sqlite3* db_ = nullptr;
};

} // namespace hw::store
