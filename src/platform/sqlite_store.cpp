#include "platform/sqlite_store.h"
#include "platform/registry_buffers.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace hw::platform {

namespace {

constexpr auto kGroupCommitDelay = std::chrono::milliseconds(100);
constexpr auto kFlusherTick = std::chrono::milliseconds(20);
constexpr auto kLockHandover = std::chrono::milliseconds(3);
constexpr LONG kInternalError = 1359; // ERROR_INTERNAL_ERROR

const char* const kSchema = R"sql(
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
    PRIMARY KEY(key, uname)) WITHOUT ROWID;
)sql";

// The four roots that are keys of their own; the other three are views of keys below them.
struct RealRoot {
    HKEY handle;
    const char* name;
};
constexpr RealRoot kRealRoots[] = {{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                                   {HKEY_USERS, "HKEY_USERS"},
                                   {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
                                   {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};

bool IsRoot(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

char UpperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Orders names as the store does: by their upper-cased bytes.
int CompareIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(UpperChar(a[i]));
        unsigned char y = static_cast<unsigned char>(UpperChar(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view View(LPCSTR text) {
    return text ? std::string_view(text) : std::string_view();
}

// Copies a name into a caller's buffer with the registry's length rules.
LONG CodeOf(int code) {
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

// The cause in the user's words, then SQLite's own.
std::string Describe(int code) {
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

constexpr const char* kReadOnlyReason = "the registry database is read-only";
constexpr const char* kProtectedReason = "access denied";

bool IsLockFailure(const SqliteError& error) {
    const int primary = error.code() & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

} // namespace

std::string DescribeOpenFailure(int code) {
    switch (code & 0xFF) {
    case SQLITE_FULL:
        return "disk full; free some space and try again";
    case SQLITE_NOTADB:
        return "the file is not a registry database; move it away or set HIVEWRIGHT_REGISTRY to another file";
    case SQLITE_CORRUPT:
        return "the registry database is damaged; restore it from a backup or move it away to start anew";
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "the file cannot be opened or created; check the rights on it and on its folder";
    default:
        return Describe(code);
    }
}

SqliteStore::SqliteStore(const std::string& path, bool readOnly, bool snapshot)
    : path_(path), db_(path, readOnly || snapshot, snapshot), readOnly_(readOnly || snapshot) {
    if (!readOnly_) PrepareDatabase();
    // Large trees walk many pages; a bigger cache keeps them from being read again and again.
    db_.exec("PRAGMA cache_size=-65536");
    readOnly_ = readOnly_ || db_.readOnly();
    sqlite3* h = db_.handle();
    begin_ = Statement(h, "BEGIN");
    beginImmediate_ = Statement(h, "BEGIN IMMEDIATE");
    commit_ = Statement(h, "COMMIT");
    dataVersionQuery_ = Statement(h, "PRAGMA data_version");
    lookupChild_ = Statement(h, "SELECT id, link, rights FROM keys WHERE parent=?1 AND uname=?2");
    keyRow_ = Statement(h, "SELECT rights FROM keys WHERE id=?1");
    insertKey_ = Statement(
        h,
        "INSERT OR IGNORE INTO keys(id, parent, name, uname, rights, link) VALUES(?6, ?1, ?2, ?3, ?4, ?5)");
    highestKey_ = Statement(h, "SELECT max(id) FROM keys");
    listChildren_ = Statement(h, "SELECT name, id, link, rights FROM keys WHERE parent=?1 ORDER BY uname");
    // Rows come in name order and are put in creation order in memory: cheaper than a sorter per key.
    listValues_ = Statement(h, "SELECT name, type, data, seq FROM vals WHERE key=?1");
    queryValue_ = Statement(h, "SELECT type, data FROM vals WHERE key=?1 AND uname=?2");
    upsertValue_ =
        Statement(h, "INSERT INTO vals(key, uname, seq, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"
                     " ON CONFLICT(key, uname) DO UPDATE SET type=excluded.type, data=excluded.data");
    deleteValue_ = Statement(h, "DELETE FROM vals WHERE key=?1 AND uname=?2");
    hasChildren_ = Statement(h, "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1");
    deleteKeyValues_ = Statement(h, "DELETE FROM vals WHERE key=?1");
    deleteKeyRow_ = Statement(h, "DELETE FROM keys WHERE id=?1");
    keyExists_ = Statement(h, "SELECT 1 FROM keys WHERE id=?1");
    metaGet_ = Statement(h, "SELECT value FROM meta WHERE name=?1");
    metaSet_ = Statement(h, "INSERT OR REPLACE INTO meta(name, value) VALUES(?1, ?2)");
    setRights_ = Statement(h, "UPDATE keys SET rights=?2 WHERE id=?1");
    parentOf_ = Statement(h, "SELECT parent FROM keys WHERE id=?1");

    userSid_ = CurrentUserIdentity().sid;
    SeedIfNeeded();
    // Read-only stores need it too: it ends read groups, so other processes' commits become visible.
    flusher_ = std::thread([this] { FlusherLoop(); });
}

SqliteStore::~SqliteStore() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    flusherWake_.notify_all();
    if (flusher_.joinable()) flusher_.join();
    try {
        CommitLocked();
    } catch (const SqliteError&) {
        // Nothing more can be done for the last group; the database stays consistent.
    }
}

// ---- transactions

void SqliteStore::BeginRead() {
    if (transaction_ != Transaction::None) return;
    begin_.run();
    transaction_ = Transaction::Read;
    transactionStart_ = std::chrono::steady_clock::now();
    CheckExternalChanges();
}

void SqliteStore::BeginWrite() {
    if (readOnly_) throw SqliteError(kReadOnlyReason, SQLITE_READONLY);
    if (transaction_ == Transaction::Write) return;
    {
        std::lock_guard lock(failureMutex_);
        if (!commitFailure_.empty()) throw SqliteError(commitFailure_, commitFailureCode_);
    }
    if (transaction_ == Transaction::Read) CommitLocked();
    // Right after a group commit, processes waiting for the lock get a moment to take it.
    const auto sinceCommit = std::chrono::steady_clock::now() - lastGroupCommit_;
    if (sinceCommit < kLockHandover) std::this_thread::sleep_for(kLockHandover - sinceCommit);
    beginImmediate_.run();
    transaction_ = Transaction::Write;
    transactionStart_ = std::chrono::steady_clock::now();
    CheckExternalChanges();
    nextSeq_ = ReadCounter("next_seq", 1);
    // Key ids are never used twice, so a handle to a deleted key can never reach a newer key.
    std::int64_t highest = 0;
    {
        ResetGuard guard(highestKey_);
        if (highestKey_.step()) highest = highestKey_.integer(0);
    }
    nextKeyId_ = std::max({ReadCounter("next_key", 1), highest + 1, keyIdFloor_});
    countersDirty_ = false;
}

std::int64_t SqliteStore::ReadCounter(std::string_view name, std::int64_t fallback) {
    ResetGuard guard(metaGet_);
    metaGet_.bindBlob(1, name);
    return metaGet_.step() ? metaGet_.integer(0) : fallback;
}

void SqliteStore::WriteCounter(std::string_view name, std::int64_t value) {
    ResetGuard guard(metaSet_);
    metaSet_.bindBlob(1, name).bind(2, value);
    metaSet_.run();
}

void SqliteStore::CommitLocked() {
    if (transaction_ == Transaction::None) return;
    if (transaction_ == Transaction::Read) {
        transaction_ = Transaction::None;
        try {
            commit_.run();
        } catch (const SqliteError&) {
            // A read group holds no changes; ending it any way will do.
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return;
    }
    try {
        if (countersDirty_) {
            WriteCounter("next_seq", nextSeq_);
            WriteCounter("next_key", nextKeyId_);
            countersDirty_ = false;
        }
        commit_.run();
    } catch (const SqliteError& error) {
        AbandonGroup(error);
        throw;
    }
    transaction_ = Transaction::None;
}

void SqliteStore::AbandonGroup(const SqliteError& error) {
    if (!sqlite3_get_autocommit(db_.handle()))
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    transaction_ = Transaction::None;
    countersDirty_ = false;
    keyIdFloor_ = std::max(keyIdFloor_, nextKeyId_);
    // Whatever the caches learnt inside the group may be gone with it.
    ForgetCaches();
    std::lock_guard lock(failureMutex_);
    if (commitFailure_.empty()) {
        commitFailure_ = "changes not saved: " + Describe(error.code());
        commitFailureCode_ = error.code();
    }
}

void SqliteStore::ForgetCaches() {
    ++generation_;
    ++structure_;
    keyVersions_.clear();
    deletedKeys_.clear();
}

LONG SqliteStore::Failed(const SqliteError& error) {
    if (transaction_ == Transaction::Write) {
        AbandonGroup(error);
    } else if (sqlite3_get_autocommit(db_.handle())) {
        transaction_ = Transaction::None;
    }
    NoteFailure(Describe(error.code()));
    return CodeOf(error.code());
}

void SqliteStore::NoteFailure(std::string reason) {
    reasonNoted_ = !reason.empty();
    std::lock_guard lock(failureMutex_);
    failureReason_ = std::move(reason);
}

std::string SqliteStore::CommitFailure() const {
    std::lock_guard lock(failureMutex_);
    return commitFailure_;
}

void SqliteStore::ClearCommitFailure() {
    std::lock_guard lock(failureMutex_);
    commitFailure_.clear();
    commitFailureCode_ = SQLITE_OK;
}

std::string SqliteStore::FailureReason() const {
    std::lock_guard lock(failureMutex_);
    return failureReason_;
}

std::vector<std::string> SqliteStore::Files() const {
    return {path_, path_ + "-wal", path_ + "-shm", path_ + "-journal"};
}

void SqliteStore::CheckExternalChanges() {
    ResetGuard guard(dataVersionQuery_);
    dataVersionQuery_.step();
    std::int64_t version = dataVersionQuery_.integer(0);
    if (version != dataVersion_) {
        if (dataVersion_ != -1) {
            ++generation_;
            keyVersions_.clear();
        }
        dataVersion_ = version;
    }
}

void SqliteStore::FlusherLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        flusherWake_.wait_for(lock, kFlusherTick);
        if (!commitsHeld_ || transaction_ != Transaction::Write) CommitIfDue();
    }
}

void SqliteStore::CommitIfDue() {
    if (transaction_ == Transaction::None ||
        std::chrono::steady_clock::now() - transactionStart_ < kGroupCommitDelay)
        return;
    const bool writing = transaction_ == Transaction::Write;
    try {
        CommitLocked();
        if (writing) lastGroupCommit_ = std::chrono::steady_clock::now();
    } catch (const SqliteError&) {
        // The group is abandoned and its failure kept for whoever asks next.
    }
}

void SqliteStore::HoldCommits(bool hold) {
    std::lock_guard lock(mutex_);
    commitsHeld_ = hold;
    // The next unit starts at once, so a group that came due during this one is committed here.
    if (!hold) CommitIfDue();
}

template <typename Body> LONG SqliteStore::Guarded(Body&& body) {
    std::lock_guard lock(mutex_);
    // A reason tells about the latest call only.
    if (reasonNoted_) NoteFailure({});
    try {
        BeginRead();
        return body();
    } catch (const SqliteError& error) {
        return Failed(error);
    }
}

void SqliteStore::Flush() {
    std::lock_guard lock(mutex_);
    try {
        CommitLocked();
    } catch (const SqliteError&) {
        // Kept as the commit failure.
    }
}

// ---- opening and seeding

void SqliteStore::PrepareDatabase() {
    bool hasSchema = false;
    {
        Statement tables(db_.handle(),
                         "SELECT count(*) FROM sqlite_master WHERE name IN ('meta', 'keys', 'vals')");
        hasSchema = tables.step() && tables.integer(0) == 3;
    }
    // Larger pages keep big trees shallower; this only takes effect when the file is created.
    if (!hasSchema) db_.exec("PRAGMA page_size=8192");
    SetWriteAheadLog();
    // Statements that find nothing to create would still take the write lock.
    if (!hasSchema) db_.exec(kSchema);
    db_.exec("PRAGMA synchronous=NORMAL");
    db_.exec("PRAGMA wal_autocheckpoint=8192");
}

void SqliteStore::SetWriteAheadLog() {
    // Switching needs the database to itself, and SQLite does not wait for that: processes creating the same
    // database at once each hold it for a moment.
    const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        try {
            Statement mode(db_.handle(), "PRAGMA journal_mode");
            if (mode.step() && mode.blob(0) == "wal") return;
            mode = Statement(db_.handle(), "PRAGMA journal_mode=WAL");
            if (mode.step() && mode.blob(0) == "wal") return;
        } catch (const SqliteError& error) {
            if (!IsLockFailure(error)) throw;
        }
        if (std::chrono::steady_clock::now() >= giveUp)
            throw SqliteError("journal_mode=WAL: " + Describe(SQLITE_BUSY), SQLITE_BUSY);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool SqliteStore::SeedComplete() {
    bool complete = true;
    for (const RealRoot& root : kRealRoots) {
        Target target;
        if (LookupChild(0, root.name, target) != ERROR_SUCCESS) complete = false;
        realRoots_[root.handle - HKEY_CLASSES_ROOT] = target.key;
    }
    Target userKey;
    return complete && ReadCounter("seeded", 0) != 0 &&
           LookupChild(realRoots_[HKEY_USERS - HKEY_CLASSES_ROOT], userSid_, userKey) == ERROR_SUCCESS;
}

void SqliteStore::SeedIfNeeded() {
    // Nearly every open finds the seed in place and so never asks for the write lock.
    BeginRead();
    const bool complete = SeedComplete();
    CommitLocked();
    if (complete || readOnly_) return;
    BeginWrite();
    try {
        for (const RealRoot& root : kRealRoots) {
            Target target;
            if (LookupChild(0, root.name, target) != ERROR_SUCCESS)
                target.key = InsertKey(0, root.name, KeyRights::Full);
            realRoots_[root.handle - HKEY_CLASSES_ROOT] = target.key;
        }
        if (ReadCounter("seeded", 0) == 0) {
            SeedMachine(*this);
            WriteCounter("seeded", 1);
        }
        UserIdentity user = CurrentUserIdentity();
        Target userKey;
        if (LookupChild(realRoots_[HKEY_USERS - HKEY_CLASSES_ROOT], user.sid, userKey) != ERROR_SUCCESS)
            SeedUser(*this, user);
        CommitLocked();
    } catch (...) {
        if (!sqlite3_get_autocommit(db_.handle()))
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        transaction_ = Transaction::None;
        throw;
    }
}

std::int64_t SqliteStore::SeedKey(std::int64_t parent, const std::string& path) {
    Target current{parent, KeyRights::Full};
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string_view name(path.data() + start, end - start);
        if (!name.empty()) {
            Target child;
            if (LookupChild(current.key, name, child) != ERROR_SUCCESS)
                child.key = InsertKey(current.key, name, KeyRights::Full);
            current = child;
        }
        start = end + 1;
    }
    return current.key;
}

void SqliteStore::SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) {
    ResetGuard guard(upsertValue_);
    upsertValue_.bind(1, key)
        .bindBlob(2, Upper(name))
        .bind(3, nextSeq_++)
        .bindBlob(4, name)
        .bind(5, type)
        .bindBlob(6, data);
    upsertValue_.run();
    countersDirty_ = true;
    Touch(key);
}

void SqliteStore::SeedRights(std::int64_t key, KeyRights rights) {
    ResetGuard guard(setRights_);
    setRights_.bind(1, key).bind(2, static_cast<int>(rights));
    setRights_.run();
}

void SqliteStore::SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) {
    // A link never points at its own ancestor (or itself), so no walk can cycle.
    for (std::int64_t up = parent; up != 0;) {
        if (up == target) return;
        ResetGuard guard(parentOf_);
        parentOf_.bind(1, up);
        up = parentOf_.step() ? parentOf_.integer(0) : 0;
    }
    Target existing;
    if (LookupChild(parent, name, existing, false) == ERROR_SUCCESS) return;
    InsertKey(parent, name, KeyRights::Full, target);
}

std::int64_t SqliteStore::RealRootId(HKEY root) {
    return realRoots_[root - HKEY_CLASSES_ROOT];
}

// ---- keys and handles

std::optional<std::int64_t> SqliteStore::TryInsertKey(std::int64_t parent, std::string_view name,
                                                      KeyRights rights, std::optional<std::int64_t> link) {
    ResetGuard guard(insertKey_);
    insertKey_.bind(1, parent).bindBlob(2, name).bindBlob(3, Upper(name)).bind(4, static_cast<int>(rights));
    if (link)
        insertKey_.bind(5, *link);
    else
        insertKey_.bindNull(5);
    insertKey_.bind(6, nextKeyId_);
    insertKey_.run();
    if (sqlite3_changes(db_.handle()) == 0) return std::nullopt;
    countersDirty_ = true;
    Touch(parent);
    ++structure_;
    return nextKeyId_++;
}

std::int64_t SqliteStore::InsertKey(std::int64_t parent, std::string_view name, KeyRights rights,
                                    std::optional<std::int64_t> link) {
    auto id = TryInsertKey(parent, name, rights, link);
    if (!id) throw SqliteError("a key of that name appeared meanwhile", SQLITE_CONSTRAINT);
    return *id;
}

LONG SqliteStore::LookupChild(std::int64_t parent, std::string_view name, Target& child, bool followLink,
                              DWORD parentDepth) {
    std::optional<std::int64_t> link;
    {
        ResetGuard guard(lookupChild_);
        lookupChild_.bind(1, parent).bindBlob(2, Upper(name));
        if (!lookupChild_.step()) return ERROR_FILE_NOT_FOUND;
        child.key = lookupChild_.integer(0);
        child.rights = static_cast<KeyRights>(lookupChild_.integer(2));
        if (!lookupChild_.isNull(1)) link = lookupChild_.integer(1);
    }
    if (link && followLink) {
        ResetGuard guard(keyRow_);
        keyRow_.bind(1, *link);
        if (!keyRow_.step()) return ERROR_FILE_NOT_FOUND;
        child.key = *link;
        child.rights = static_cast<KeyRights>(keyRow_.integer(0));
    }
    // A link's target lies wherever it lies; its own chain of parents says how deep.
    child.depth = link && followLink ? DepthOf(child.key) : parentDepth + 1;
    return ERROR_SUCCESS;
}

DWORD SqliteStore::DepthOf(std::int64_t key) {
    DWORD depth = 0;
    for (std::int64_t up = key;;) {
        ResetGuard guard(parentOf_);
        parentOf_.bind(1, up);
        if (!parentOf_.step()) return depth;
        up = parentOf_.integer(0);
        if (up == 0) return depth;
        ++depth;
    }
}

KeyRights SqliteStore::Effective(KeyRights rights) const {
    if (readOnly_ && rights == KeyRights::Full) return KeyRights::ReadOnly;
    return rights;
}

LONG SqliteStore::Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted) {
    switch (Effective(rights)) {
    case KeyRights::None:
        NoteFailure(kProtectedReason);
        return ERROR_ACCESS_DENIED;
    case KeyRights::ReadOnly:
        if (maximum) {
            granted = KEY_READ;
            return ERROR_SUCCESS;
        }
        if (requested & KEY_CHANGE_RIGHTS) {
            NoteFailure(rights == KeyRights::Full ? kReadOnlyReason : kProtectedReason);
            return ERROR_ACCESS_DENIED;
        }
        granted = requested;
        return ERROR_SUCCESS;
    case KeyRights::Full:
        granted = maximum ? KEY_ALL_ACCESS : requested;
        return ERROR_SUCCESS;
    }
    return ERROR_ACCESS_DENIED;
}

bool SqliteStore::KeyAlive(std::int64_t key) {
    if (deletedKeys_.count(key)) return false;
    ResetGuard guard(keyExists_);
    keyExists_.bind(1, key);
    return keyExists_.step();
}

LONG SqliteStore::ResolveRoot(HKEY root, Target& target) {
    std::size_t index = root - HKEY_CLASSES_ROOT;
    if (root == HKEY_LOCAL_MACHINE || root == HKEY_USERS || root == HKEY_PERFORMANCE_DATA ||
        root == HKEY_DYN_DATA) {
        target = {realRoots_[index], KeyRights::Full};
        return target.key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }
    AliasCache& alias = aliases_[index];
    if (alias.generation == generation_ && alias.structure == structure_) {
        target = alias.target;
        return alias.result;
    }
    Target start;
    std::string path;
    if (root == HKEY_CLASSES_ROOT) {
        start = {realRoots_[HKEY_LOCAL_MACHINE - HKEY_CLASSES_ROOT], KeyRights::Full};
        path = "SOFTWARE\\Classes";
    } else if (root == HKEY_CURRENT_USER) {
        start = {realRoots_[HKEY_USERS - HKEY_CLASSES_ROOT], KeyRights::Full};
        path = userSid_;
    } else {
        start = {realRoots_[HKEY_LOCAL_MACHINE - HKEY_CLASSES_ROOT], KeyRights::Full};
        path = "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current";
    }
    alias.result = Walk(start, path, false, KEY_ALL_ACCESS, alias.target, nullptr);
    alias.generation = generation_;
    alias.structure = structure_;
    target = alias.target;
    return alias.result;
}

LONG SqliteStore::ResolveHandle(HKEY key, Target& target, REGSAM* access) {
    if (IsRoot(key)) {
        if (access) *access = KEY_ALL_ACCESS;
        return ResolveRoot(key, target);
    }
    Handle* handle = FindHandle(key);
    if (!handle) return ERROR_INVALID_HANDLE;
    if (handle->verifiedGeneration != generation_ || deletedKeys_.count(handle->key)) {
        if (!KeyAlive(handle->key)) return ERROR_KEY_DELETED;
        handle->verifiedGeneration = generation_;
    }
    target.key = handle->key;
    target.rights = KeyRights::Full;
    target.depth = handle->depth;
    if (access) *access = handle->access;
    return ERROR_SUCCESS;
}

LONG SqliteStore::ResolveWithAccess(HKEY key, REGSAM needed, Target& target) {
    REGSAM access = 0;
    if (LONG rc = ResolveHandle(key, target, &access); rc != ERROR_SUCCESS) return rc;
    return (access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

SqliteStore::Handle* SqliteStore::FindHandle(HKEY key) {
    auto found = handles_.find(key);
    return found == handles_.end() ? nullptr : &found->second;
}

HKEY SqliteStore::NewHandle(const Target& target, REGSAM access) {
    do {
        nextHandle_ += 4;
        if (nextHandle_ >= HKEY_CLASSES_ROOT) nextHandle_ = 0x1000;
    } while (handles_.count(nextHandle_));
    handles_.emplace(nextHandle_, Handle{target.key, target.depth, access, generation_, {}});
    return nextHandle_;
}

LONG SqliteStore::Walk(Target start, std::string_view path, bool create, REGSAM handleAccess, Target& result,
                       bool* created, const std::vector<ChildRow>* startChildren) {
    Target current = start;
    bool first = true;
    bool parentIsNew = false;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string_view::npos) end = path.size();
        std::string_view name = path.substr(begin, end - begin);
        begin = end + 1;
        if (name.empty()) continue;
        if (name.size() > MAX_KEY_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
        Target child;
        LONG found = ERROR_FILE_NOT_FOUND;
        const bool handleMayCreate = !first || (handleAccess & KEY_CREATE_SUB_KEY);
        const bool mayCreate = create && Effective(current.rights) == KeyRights::Full && handleMayCreate;
        // A key created a step ago has no subkeys to look up. Inside a write group most keys asked for are
        // new (an import), so the insert is tried first and only an existing name is looked up.
        if (!parentIsNew) {
            if (first && startChildren && FindCachedChild(*startChildren, name, child)) {
                child.depth = current.depth + 1;
                found = ERROR_SUCCESS;
            } else if (mayCreate && transaction_ == Transaction::Write && current.depth < MAX_KEY_DEPTH &&
                       path.find_first_not_of('\\', end) == std::string_view::npos) {
                if (auto id = TryInsertKey(current.key, name, KeyRights::Full)) {
                    child = {*id, KeyRights::Full, current.depth + 1};
                    found = ERROR_SUCCESS;
                    parentIsNew = true;
                    if (created) *created = true;
                } else {
                    found = LookupChild(current.key, name, child, true, current.depth);
                }
            } else {
                found = LookupChild(current.key, name, child, true, current.depth);
            }
        }
        if (found != ERROR_SUCCESS) {
            if (!create) return found;
            if (!mayCreate) {
                // A handle opened without the right to create is the request's fault, not the key's.
                if (handleMayCreate)
                    NoteFailure(readOnly_ && current.rights == KeyRights::Full ? kReadOnlyReason
                                                                               : kProtectedReason);
                return ERROR_ACCESS_DENIED;
            }
            if (current.depth >= MAX_KEY_DEPTH) {
                NoteFailure("a key may be at most " + std::to_string(MAX_KEY_DEPTH) + " levels deep");
                return ERROR_INVALID_PARAMETER;
            }
            BeginWrite();
            child = {InsertKey(current.key, name, KeyRights::Full), KeyRights::Full, current.depth + 1};
            if (created) *created = true;
            parentIsNew = true;
        }
        current = child;
        first = false;
    }
    result = current;
    return ERROR_SUCCESS;
}

LONG SqliteStore::OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) {
    return Open(parent, subKey, access, false, result);
}

LONG SqliteStore::OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) {
    return Open(parent, subKey, 0, true, result);
}

LONG SqliteStore::Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        Target start;
        if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
        // Walks open each child under a parent whose subkeys they just listed.
        KeyCache& parentCache = CacheFor(parent, start.key);
        const std::vector<ChildRow>* known = parentCache.children ? &*parentCache.children : nullptr;
        Target target;
        if (LONG rc = Walk(start, View(subKey), false, 0, target, nullptr, known); rc != ERROR_SUCCESS)
            return rc;
        REGSAM granted = 0;
        if (LONG rc = Grant(target.rights, access, maximum, granted); rc != ERROR_SUCCESS) return rc;
        *result = NewHandle(target, granted);
        return ERROR_SUCCESS;
    });
}

LONG SqliteStore::CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        // Looked up inside the write group, so no other process can create or delete a key in between.
        if (!readOnly_) BeginWrite();
        Target start;
        REGSAM parentAccess = 0;
        if (LONG rc = ResolveHandle(parent, start, &parentAccess); rc != ERROR_SUCCESS) return rc;
        if (!IsRoot(parent)) {
            // The handle's key rights were checked when it was opened; the handle's mask is what limits it
            // now.
            start.rights = (parentAccess & KEY_CREATE_SUB_KEY) ? KeyRights::Full : KeyRights::ReadOnly;
        }
        Target target;
        bool created = false;
        if (LONG rc = Walk(start, View(subKey), true, parentAccess, target, &created); rc != ERROR_SUCCESS)
            return rc;
        REGSAM granted = 0;
        if (LONG rc = Grant(target.rights, access, access == 0, granted); rc != ERROR_SUCCESS) return rc;
        *result = NewHandle(target, granted);
        if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG SqliteStore::CloseKey(HKEY key) {
    std::lock_guard lock(mutex_);
    if (IsRoot(key)) return ERROR_SUCCESS;
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG SqliteStore::DeleteKey(HKEY parent, LPCSTR subKey) {
    std::string_view path = View(subKey);
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        if (!readOnly_) BeginWrite();
        Target start;
        if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
        // Walk to the parent of the last component, then take the last one without following a link, so that
        // deleting a link removes only the link.
        std::size_t last = path.find_last_not_of('\\');
        std::size_t cut = path.rfind('\\', last);
        std::string_view leaf =
            cut == std::string_view::npos ? path.substr(0, last + 1) : path.substr(cut + 1, last - cut);
        Target container = start;
        if (cut != std::string_view::npos) {
            if (LONG rc = Walk(start, path.substr(0, cut), false, 0, container, nullptr); rc != ERROR_SUCCESS)
                return rc;
        }
        // Deleting index by index from the last, a walk keeps asking for this listing: it is kept up to date
        // rather than read again after every step, and spares the lookup.
        KeyCache* listing = nullptr;
        if (cut == std::string_view::npos) {
            KeyCache& cache = CacheFor(parent, start.key);
            if (cache.children) listing = &cache;
        }
        const auto row = listing ? FindRow(*listing->children, leaf) : std::vector<ChildRow>::iterator();
        Target victim;
        if (listing && row != listing->children->end()) {
            victim = {row->key, row->rights};
        } else if (LONG rc = LookupChild(container.key, leaf, victim, false); rc != ERROR_SUCCESS) {
            return rc;
        }
        if (Effective(victim.rights) != KeyRights::Full) {
            NoteFailure(readOnly_ && victim.rights == KeyRights::Full ? kReadOnlyReason : kProtectedReason);
            return ERROR_ACCESS_DENIED;
        }
        // Only a key named like a view's key can be one; the check is skipped for every other name.
        const std::string upperLeaf = Upper(leaf);
        if (upperLeaf == "CLASSES" || upperLeaf == Upper(userSid_)) {
            for (HKEY alias : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
                Target view;
                if (ResolveRoot(alias, view) == ERROR_SUCCESS && view.key == victim.key) {
                    NoteFailure(kProtectedReason);
                    return ERROR_ACCESS_DENIED;
                }
            }
        }
        {
            ResetGuard guard(hasChildren_);
            hasChildren_.bind(1, victim.key);
            if (hasChildren_.step()) return ERROR_ACCESS_DENIED;
        }
        BeginWrite();
        {
            ResetGuard guard(deleteKeyValues_);
            deleteKeyValues_.bind(1, victim.key);
            deleteKeyValues_.run();
        }
        {
            ResetGuard guard(deleteKeyRow_);
            deleteKeyRow_.bind(1, victim.key);
            deleteKeyRow_.run();
        }
        deletedKeys_.insert(victim.key);
        Touch(container.key);
        Touch(victim.key);
        ++structure_;
        if (listing) {
            if (row != listing->children->end()) {
                listing->children->erase(row);
            } else {
                listing->children.reset();
            }
            listing->version = VersionOf(container.key);
        }
        return ERROR_SUCCESS;
    });
}

// ---- caches

void SqliteStore::Touch(std::int64_t key) {
    keyVersions_[key] = ++versionCounter_;
}

std::uint64_t SqliteStore::VersionOf(std::int64_t key) const {
    auto found = keyVersions_.find(key);
    return found == keyVersions_.end() ? 0 : found->second;
}

SqliteStore::KeyCache& SqliteStore::CacheFor(HKEY key, std::int64_t id) {
    KeyCache& cache = IsRoot(key) ? rootCaches_[key - HKEY_CLASSES_ROOT] : FindHandle(key)->cache;
    std::uint64_t version = VersionOf(id);
    if (cache.key != id || cache.version != version || cache.generation != generation_) {
        cache = KeyCache{};
        cache.key = id;
        cache.version = version;
        cache.generation = generation_;
    }
    return cache;
}

const std::vector<SqliteStore::ChildRow>& SqliteStore::Children(KeyCache& cache, std::int64_t key) {
    if (!cache.children) {
        std::vector<ChildRow> rows;
        ResetGuard guard(listChildren_);
        listChildren_.bind(1, key);
        while (listChildren_.step()) {
            ChildRow row{std::string(listChildren_.blob(0)), listChildren_.integer(1), std::nullopt,
                         static_cast<KeyRights>(listChildren_.integer(3))};
            if (!listChildren_.isNull(2)) row.link = listChildren_.integer(2);
            rows.push_back(std::move(row));
        }
        cache.children = std::move(rows);
    }
    return *cache.children;
}

template <typename Rows>
auto SqliteStore::FindRow(Rows& children, std::string_view name) -> decltype(children.begin()) {
    auto found =
        std::lower_bound(children.begin(), children.end(), name, [](const ChildRow& row, std::string_view n) {
            return CompareIgnoringCase(row.name, n) < 0;
        });
    return found != children.end() && CompareIgnoringCase(found->name, name) == 0 ? found : children.end();
}

bool SqliteStore::FindCachedChild(const std::vector<ChildRow>& children, std::string_view name,
                                  Target& child) {
    auto found = FindRow(children, name);
    if (found == children.end() || found->link) return false;
    child = {found->key, found->rights};
    return true;
}

const std::string& SqliteStore::Upper(std::string_view name) {
    upper_.assign(name);
    for (char& c : upper_)
        c = UpperChar(c);
    return upper_;
}

const std::vector<SqliteStore::ValueRow>& SqliteStore::Values(KeyCache& cache, std::int64_t key) {
    if (!cache.values) {
        std::vector<std::pair<std::int64_t, ValueRow>> ordered;
        {
            ResetGuard guard(listValues_);
            listValues_.bind(1, key);
            while (listValues_.step())
                ordered.emplace_back(listValues_.integer(3),
                                     ValueRow{std::string(listValues_.blob(0)),
                                              static_cast<DWORD>(listValues_.integer(1)),
                                              std::string(listValues_.blob(2))});
        }
        std::sort(ordered.begin(), ordered.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<ValueRow> rows;
        rows.reserve(ordered.size());
        for (auto& entry : ordered)
            rows.push_back(std::move(entry.second));
        cache.values = std::move(rows);
    }
    return *cache.values;
}

SqliteStore::ValueSummary SqliteStore::Summary(KeyCache& cache, std::int64_t key) {
    // The rows are read whole: whoever asks for the summary enumerates them next.
    if (!cache.summary) {
        ValueSummary summary;
        for (const ValueRow& row : Values(cache, key)) {
            ++summary.count;
            summary.longestName = std::max(summary.longestName, static_cast<DWORD>(row.name.size()));
            summary.largestData = std::max(summary.largestData, static_cast<DWORD>(row.data.size()));
        }
        cache.summary = summary;
    }
    return *cache.summary;
}

// ---- queries

LONG SqliteStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                               LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        KeyCache& cache = CacheFor(key, target.key);
        if (subKeys || maxSubKeyLen) {
            const auto& children = Children(cache, target.key);
            if (subKeys) *subKeys = static_cast<DWORD>(children.size());
            if (maxSubKeyLen) {
                std::size_t longest = 0;
                for (const ChildRow& child : children)
                    longest = std::max(longest, child.name.size());
                *maxSubKeyLen = static_cast<DWORD>(longest);
            }
        }
        if (values || maxValueNameLen || maxValueLen) {
            ValueSummary summary = Summary(cache, target.key);
            if (values) *values = summary.count;
            if (maxValueNameLen) *maxValueNameLen = summary.longestName;
            if (maxValueLen) *maxValueLen = summary.largestData;
        }
        if (lastWrite) *lastWrite = FILETIME{};
        return ERROR_SUCCESS;
    });
}

LONG SqliteStore::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_ENUMERATE_SUB_KEYS, target); rc != ERROR_SUCCESS) return rc;
        const auto& children = Children(CacheFor(key, target.key), target.key);
        if (index >= children.size()) return ERROR_NO_MORE_ITEMS;
        return CopyName(children[index].name, name, nameLength);
    });
}

LONG SqliteStore::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                            LPDWORD dataLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        const auto& rows = Values(CacheFor(key, target.key), target.key);
        if (index >= rows.size()) return ERROR_NO_MORE_ITEMS;
        const ValueRow& row = rows[index];
        if (LONG rc = CopyName(row.name, name, nameLength); rc != ERROR_SUCCESS) return rc;
        if (type) *type = row.type;
        return CopyData(row.data, data, dataLength);
    });
}

LONG SqliteStore::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        ResetGuard guard(queryValue_);
        queryValue_.bind(1, target.key).bindBlob(2, Upper(View(name)));
        if (!queryValue_.step()) return ERROR_FILE_NOT_FOUND;
        if (type) *type = static_cast<DWORD>(queryValue_.integer(0));
        return CopyData(queryValue_.blob(1), data, dataLength);
    });
}

// ---- changes

LONG SqliteStore::ResolveForChange(HKEY key, Target& target) {
    // Resolved inside the write group, so the key cannot vanish before the change lands.
    if (!readOnly_) BeginWrite();
    if (LONG rc = ResolveWithAccess(key, KEY_SET_VALUE, target); rc != ERROR_SUCCESS) return rc;
    if (readOnly_) {
        NoteFailure(kReadOnlyReason);
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

LONG SqliteStore::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    std::string_view valueName = View(name);
    if (valueName.size() > MAX_VALUE_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
    if (!data && size) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveForChange(key, target); rc != ERROR_SUCCESS) return rc;
        if (IsRoot(key)) {
            Target root;
            ResolveRoot(key, root);
            REGSAM granted = 0;
            // A root that is a view of a protected key is as protected as the key.
            if (Grant(root.rights, KEY_SET_VALUE, false, granted) != ERROR_SUCCESS)
                return ERROR_ACCESS_DENIED;
        }
        // Everything bound here outlives the statement's run: the caller's name and data, and upper_.
        const std::string& upper = Upper(valueName);
        ResetGuard guard(upsertValue_);
        upsertValue_.bind(1, target.key)
            .bindBlobInPlace(2, upper.data(), upper.size())
            .bind(3, nextSeq_++)
            .bindBlobInPlace(4, valueName.data(), valueName.size())
            .bind(5, type)
            .bindBlobInPlace(6, data, size);
        upsertValue_.run();
        countersDirty_ = true;
        Touch(target.key);
        return ERROR_SUCCESS;
    });
}

LONG SqliteStore::DeleteValue(HKEY key, LPCSTR name) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveForChange(key, target); rc != ERROR_SUCCESS) return rc;
        std::string upper = Upper(View(name));
        {
            ResetGuard guard(queryValue_);
            queryValue_.bind(1, target.key).bindBlob(2, upper);
            if (!queryValue_.step()) return ERROR_FILE_NOT_FOUND;
        }
        ResetGuard guard(deleteValue_);
        deleteValue_.bind(1, target.key).bindBlob(2, upper);
        deleteValue_.run();
        Touch(target.key);
        return ERROR_SUCCESS;
    });
}

} // namespace hw::platform
