#include "store/sqlite/sqlite_db.h"
#include "store/sqlite/sqlite_file_locks.h"

#include <thread>
#include <utility>

namespace hw::store {

namespace {

// Polls often: another process holds the lock only for one short group at a time, and a slow poll would
// keep missing the moments it is free.
int WaitForLock(void*, int attempt) {
    thread_local std::chrono::steady_clock::time_point since;
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) since = now;
    if (now - since >= kLockWait) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(attempt < 20 ? 1 : 4));
    return 1;
}

std::string UriOf(const std::string& path) {
    std::string uri = "file:";
    for (char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static const char digits[] = "0123456789ABCDEF";
            uri += '%';
            uri += digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
            uri += digits[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

constexpr LONG kInternalError = 1359; // ERROR_INTERNAL_ERROR

LONG ResultOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_LOCK_VIOLATION;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_IOERR:
        return ERROR_WRITE_FAULT;
    case SQLITE_NOMEM:
        return ERROR_OUTOFMEMORY;
    default:
        return kInternalError;
    }
}

[[noreturn]] void Fail(sqlite3* db, int code, const std::string& context) {
    throw SqliteError(context + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code)), code);
}
} // namespace

std::string DescribeSqliteCode(int code) {
    const char* cause = "registry database error";
    switch (code & 0xFF) {
    case SQLITE_FULL:
        cause = "disk full";
        break;
    case SQLITE_READONLY:
        cause = "the registry database is read-only";
        break;
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
        cause = "access denied to the registry database";
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        cause = "the registry database stayed locked by another process";
        break;
    case SQLITE_IOERR:
        cause = "I/O error on the registry database";
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        cause = "the registry database is damaged";
        break;
    default:
        break;
    }
    return std::string(cause) + " (" + sqlite3_errstr(code) + ")";
}

SqliteError::SqliteError(const std::string& what, int code)
    : registry::StorageError(what, ResultOf(code), DescribeSqliteCode(code), code) {}

Statement::Statement(sqlite3* db, const char* sql) {
    int rc = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) Fail(db, rc, std::string("prepare ") + sql);
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), kept_(std::exchange(other.kept_, {})) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        kept_ = std::exchange(other.kept_, {});
    }
    return *this;
}

Statement::Kept* Statement::KeptSlot(int index) {
    return index >= 1 && index <= kKeptParameters ? &kept_[static_cast<std::size_t>(index - 1)] : nullptr;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (Kept* kept = KeptSlot(index)) kept->known = false;
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bindKept(int index, std::int64_t value) {
    Kept* kept = KeptSlot(index);
    if (kept && kept->known && !kept->null && kept->value == value) return *this;
    sqlite3_bind_int64(stmt_, index, value);
    if (kept) *kept = {true, false, value};
    return *this;
}

Statement& Statement::bindKeptNull(int index) {
    Kept* kept = KeptSlot(index);
    if (kept && kept->known && kept->null) return *this;
    sqlite3_bind_null(stmt_, index);
    if (kept) *kept = {true, true, 0};
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view bytes) {
    return bindBlob(index, bytes.data(), bytes.size());
}

Statement& Statement::bindBlob(int index, const void* data, std::size_t size) {
    if (Kept* kept = KeptSlot(index)) kept->known = false;
    // A zero-length blob must still be a blob, not NULL.
    static const char empty = 0;
    sqlite3_bind_blob64(stmt_, index, size ? data : &empty, size, SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bindBlobInPlace(int index, const void* data, std::size_t size) {
    if (Kept* kept = KeptSlot(index)) kept->known = false;
    static const char empty = 0;
    sqlite3_bind_blob64(stmt_, index, size ? data : &empty, size, SQLITE_STATIC);
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (Kept* kept = KeptSlot(index)) kept->known = false;
    sqlite3_bind_null(stmt_, index);
    return *this;
}

Statement& Statement::bindPointer(int index, void* pointer, const char* type) {
    if (Kept* kept = KeptSlot(index)) kept->known = false;
    sqlite3_bind_pointer(stmt_, index, pointer, type, nullptr);
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3* db = sqlite3_db_handle(stmt_);
    std::string sql = sqlite3_sql(stmt_) ? sqlite3_sql(stmt_) : "";
    sqlite3_reset(stmt_);
    Fail(db, rc, "step " + sql);
}

void Statement::run() {
    ResetGuard guard(*this);
    while (step()) {
    }
}

void Statement::runKeepingBindings() {
    // A failed step has reset the statement already.
    while (step()) {
    }
    sqlite3_reset(stmt_);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    ForgetKept();
}

std::string_view Statement::BlobOf(sqlite3_value* value) {
    const void* data = sqlite3_value_blob(value);
    const int size = sqlite3_value_bytes(value);
    return data ? std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size))
                : std::string_view();
}

Database::Database(const std::string& path, bool readOnly, bool immutable) {
    // Memory statistics cost a global lock on every allocation; nothing here reads them.
    static const bool configured = [] { return sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK; }();
    (void)configured;
    UseDescriptionLocks();
    int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (immutable) flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
    const std::string name = immutable ? UriOf(path) : path;
    int rc = sqlite3_open_v2(name.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError("cannot open " + path + ": " + message, rc);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_handler(db_, WaitForLock, nullptr);
}

Database::~Database() {
    sqlite3_close_v2(db_);
}

void Database::exec(const char* sql) {
    char* error = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw SqliteError(std::string(sql) + ": " + message, rc);
    }
}

bool Database::readOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

} // namespace hw::store
