#include "store/sqlite/sqlite_store.h"
#include "store/sqlite/sqlite_schema.h"

#include "platform/user_identity.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace hw::store {

using platform::KeyRights;

namespace {

constexpr auto kGroupCommitDelay = std::chrono::milliseconds(100);
constexpr auto kFlusherTick = std::chrono::milliseconds(20);
constexpr auto kLockHandover = std::chrono::milliseconds(3);

// The four roots that are keys of their own; the other three are views of keys below them.
struct RealRoot {
    HKEY handle;
    const char* name;
};
constexpr RealRoot kRealRoots[] = {{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
                                   {HKEY_USERS, "HKEY_USERS"},
                                   {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA"},
                                   {HKEY_DYN_DATA, "HKEY_DYN_DATA"}};

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

constexpr const char* kReadOnlyReason = "the registry database is read-only";

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
        return DescribeSqliteCode(code);
    }
}

SqliteStore::SqliteStore(const std::string& path, bool readOnly, bool snapshot)
    : path_(path), db_(path, readOnly || snapshot, snapshot), readOnly_(readOnly || snapshot) {
    if (!readOnly_) PrepareDatabase();
    // Walks read a subtree's pages about once each, in order, so a cache that holds the pages of a read-ahead
    // batch keeps them from being read again; a larger one only costs memory to fill.
    db_.exec("PRAGMA cache_size=-24576");
    readOnly_ = readOnly_ || db_.readOnly();
    sqlite3* h = db_.handle();
    begin_ = Statement(h, "BEGIN");
    beginImmediate_ = Statement(h, "BEGIN IMMEDIATE");
    commit_ = Statement(h, "COMMIT");
    dataVersionQuery_ = Statement(h, "PRAGMA data_version");
    lookupChild_ = Statement(h, "SELECT id, link FROM keys WHERE parent=?1 AND uname=?2");
    linkOf_ = Statement(h, "SELECT link FROM keys WHERE id=?1");
    insertKey_ = Statement(
        h,
        "INSERT OR IGNORE INTO keys(id, parent, name, uname, rights, link) VALUES(?6, ?1, ?2, ?3, ?4, ?5)");
    highestKey_ = Statement(h, "SELECT max(id) FROM keys");
    listChildren_ = Statement(h, "SELECT name, id, link FROM keys WHERE parent=?1 ORDER BY uname");
    // Rows come in name order and are put in creation order in memory: cheaper than a sorter per key.
    // A database of the earlier layout is only read here: one that may be written was brought up to date.
    const bool apart = KeepsLargeDataApart(db_);
    const std::string data =
        apart ? "CASE WHEN big IS NULL THEN data ELSE (SELECT data FROM blobs WHERE id=big) END" : "data";
    listValues_ = Statement(h, ("SELECT name, type, " + data + ", seq FROM vals WHERE key=?1").c_str());
    orderedWalk_ = std::make_unique<OrderedWalk>(h, apart);
    queryValue_ = Statement(h, ("SELECT type, " + data + " FROM vals WHERE key=?1 AND uname=?2").c_str());
    if (apart) {
        // Most writes add a name the key does not have yet; the upsert's update path carries the blob
        // trigger, which costs SQLite a statement journal on every run, so it is only taken for replacements.
        insertValue_ = Statement(h, "INSERT OR IGNORE INTO vals(key, uname, seq, name, type, data, big) "
                                    "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        upsertValue_ = Statement(
            h, "INSERT INTO vals(key, uname, seq, name, type, data, big) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"
               " ON CONFLICT(key, uname) DO UPDATE SET type=excluded.type, data=excluded.data, "
               "big=excluded.big");
        insertBlob_ = Statement(h, "INSERT INTO blobs(data) VALUES(?1)");
    }
    deleteValue_ = Statement(h, "DELETE FROM vals WHERE key=?1 AND uname=?2");
    hasChildren_ = Statement(h, "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1");
    deleteKeyValues_ = Statement(h, "DELETE FROM vals WHERE key=?1");
    deleteKeyRow_ = Statement(h, "DELETE FROM keys WHERE id=?1");
    keyExists_ = Statement(h, "SELECT 1 FROM keys WHERE id=?1");
    metaGet_ = Statement(h, "SELECT value FROM meta WHERE name=?1");
    metaSet_ = Statement(h, "INSERT OR REPLACE INTO meta(name, value) VALUES(?1, ?2)");
    setRights_ = Statement(h, "UPDATE keys SET rights=?2 WHERE id=?1");
    parentOf_ = Statement(h, "SELECT parent FROM keys WHERE id=?1");
    nameOf_ = Statement(h, "SELECT name FROM keys WHERE id=?1");

    userSid_ = platform::CurrentUserIdentity().sid;
    SeedIfNeeded();
    // Read-only stores need it too: it ends read groups, so other processes' commits become visible.
    flusher_ = std::thread([this] { FlusherLoop(); });
}

SqliteStore::~SqliteStore() {
    {
        std::lock_guard lock(flusherMutex_);
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
    // A caller that keeps the store busy ends its own read group when the flusher asks, so the flusher
    // need not take the lock from it.
    if (transaction_ == Transaction::Read && endAsked_.load(std::memory_order_relaxed)) {
        try {
            CommitLocked();
        } catch (const SqliteError&) {
            // A read group holds no changes, and it has ended either way.
        }
    }
    if (transaction_ != Transaction::None) return;
    begin_.run();
    OpenGroup(Transaction::Read);
    NoteOtherWriters();
}

void SqliteStore::BeginWrite() {
    ++changes_;
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
    OpenGroup(Transaction::Write);
    NoteOtherWriters();
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

void SqliteStore::OpenGroup(Transaction kind) {
    transaction_ = kind;
    transactionStart_ = std::chrono::steady_clock::now();
    flusherDue_ = transactionStart_ + kGroupCommitDelay;
    // The flusher ends a write group itself; a read group's caller is asked first.
    endAsked_ = kind == Transaction::Write;
}

void SqliteStore::EndGroup() {
    transaction_ = Transaction::None;
    flusherDue_ = TimePoint::max();
}

void SqliteStore::CommitLocked() {
    if (transaction_ == Transaction::None) return;
    if (transaction_ == Transaction::Read) {
        EndGroup();
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
    EndGroup();
}

void SqliteStore::AbandonGroup(const SqliteError& error) {
    if (!sqlite3_get_autocommit(db_.handle()))
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    EndGroup();
    countersDirty_ = false;
    keyIdFloor_ = std::max(keyIdFloor_, nextKeyId_);
    // Whatever the caches learnt inside the group may be gone with it.
    ForgetCaches();
    std::lock_guard lock(failureMutex_);
    if (commitFailure_.empty()) {
        commitFailure_ = "changes not saved: " + DescribeSqliteCode(error.code());
        commitFailureCode_ = error.code();
    }
}

void SqliteStore::ForgetCaches() {
    ++generation_;
    ++structure_;
    keyVersions_.clear();
    deletedKeys_.clear();
}

void SqliteStore::Abandon(const registry::StorageError& error) {
    if (transaction_ == Transaction::Write) {
        AbandonGroup(SqliteError(error.what(), error.detail()));
    } else if (sqlite3_get_autocommit(db_.handle())) {
        EndGroup();
    }
}

std::string SqliteStore::Refusal() const {
    return readOnly_ ? kReadOnlyReason : std::string();
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

std::vector<std::string> SqliteStore::Files() const {
    return {path_, path_ + "-wal", path_ + "-shm", path_ + "-journal"};
}

void SqliteStore::NoteOtherWriters() {
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
    std::unique_lock sleep(flusherMutex_);
    while (!stopping_) {
        flusherWake_.wait_for(sleep, kFlusherTick);
        // Taking the store's lock makes a busy caller wait and hand it over, so it is taken only when due.
        if (stopping_ || std::chrono::steady_clock::now() < flusherDue_.load(std::memory_order_relaxed))
            continue;
        // A caller still busy ends its read group on its next call, within the tick.
        if (!endAsked_.exchange(true)) continue;
        sleep.unlock(); // never both locks at once
        {
            std::lock_guard lock(Mutex());
            if (!commitsHeld_ || transaction_ != Transaction::Write) CommitIfDue();
        }
        sleep.lock();
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
    std::lock_guard lock(Mutex());
    commitsHeld_ = hold;
    // The next unit starts at once, so a group that came due during this one is committed here.
    if (!hold) CommitIfDue();
}

void SqliteStore::Flush() {
    std::lock_guard lock(Mutex());
    try {
        CommitLocked();
    } catch (const SqliteError&) {
        // Kept as the commit failure.
    }
}

// ---- opening and seeding

void SqliteStore::PrepareDatabase() {
    const bool hasSchema = HasSchema(db_);
    // Larger pages keep big trees shallower; this only takes effect when the file is created.
    if (!hasSchema) db_.exec("PRAGMA page_size=16384");
    SetWriteAheadLog();
    // Statements that find nothing to create would still take the write lock.
    if (!hasSchema)
        CreateSchema(db_);
    else if (!db_.readOnly() && !KeepsLargeDataApart(db_))
        MoveLargeDataApart(db_);
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
            throw SqliteError("journal_mode=WAL: " + DescribeSqliteCode(SQLITE_BUSY), SQLITE_BUSY);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool SqliteStore::SeedComplete() {
    bool complete = true;
    for (const RealRoot& root : kRealRoots) {
        const auto key = LookupChild(0, root.name);
        if (!key) complete = false;
        realRoots_[root.handle - HKEY_CLASSES_ROOT] = key.value_or(0);
    }
    return complete && ReadCounter("seeded", 0) != 0 &&
           LookupChild(realRoots_[HKEY_USERS - HKEY_CLASSES_ROOT], userSid_);
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
            const auto key = LookupChild(0, root.name);
            realRoots_[root.handle - HKEY_CLASSES_ROOT] = key ? *key : InsertKey(0, root.name);
        }
        if (ReadCounter("seeded", 0) == 0) {
            platform::SeedMachine(*this);
            WriteCounter("seeded", 1);
        }
        const platform::UserIdentity user = platform::CurrentUserIdentity();
        if (!LookupChild(realRoots_[HKEY_USERS - HKEY_CLASSES_ROOT], user.sid))
            platform::SeedUser(*this, user);
        CommitLocked();
    } catch (...) {
        if (!sqlite3_get_autocommit(db_.handle()))
            sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        EndGroup();
        throw;
    }
}

std::int64_t SqliteStore::SeedKey(std::int64_t parent, const std::string& path) {
    std::int64_t current = parent;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string_view name(path.data() + start, end - start);
        if (!name.empty()) {
            bool link = false;
            const auto child = LookupChild(current, name, &link);
            current = !child ? InsertKey(current, name) : link ? LinkTarget(*child) : *child;
        }
        start = end + 1;
    }
    return current;
}

void SqliteStore::SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) {
    WriteValue(key, name, type, data);
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
    if (LookupChild(parent, name)) return;
    InsertKey(parent, name, target);
}

std::int64_t SqliteStore::RealRootId(HKEY root) {
    return realRoots_[root - HKEY_CLASSES_ROOT];
}

// ---- keys

std::optional<std::int64_t> SqliteStore::TryInsertKey(std::int64_t parent, std::string_view name,
                                                      std::optional<std::int64_t> link) {
    // Every parameter is bound on every run; the name and upper_ outlive it.
    const std::string& upper = Upper(name);
    insertKey_.bindKept(1, parent)
        .bindBlobInPlace(2, name.data(), name.size())
        .bindBlobInPlace(3, upper.data(), upper.size())
        .bindKept(4, static_cast<int>(KeyRights::Full));
    if (link)
        insertKey_.bindKept(5, *link);
    else
        insertKey_.bindKeptNull(5);
    insertKey_.bind(6, nextKeyId_);
    insertKey_.runKeepingBindings();
    if (sqlite3_changes(db_.handle()) == 0) return std::nullopt;
    countersDirty_ = true;
    NewVersion(parent);
    ++structure_;
    return nextKeyId_++;
}

std::int64_t SqliteStore::InsertKey(std::int64_t parent, std::string_view name,
                                    std::optional<std::int64_t> link) {
    auto id = TryInsertKey(parent, name, link);
    if (!id) throw SqliteError("a key of that name appeared meanwhile", SQLITE_CONSTRAINT);
    return *id;
}

std::optional<std::int64_t> SqliteStore::LookupChild(std::int64_t parent, std::string_view name, bool* link) {
    ResetGuard guard(lookupChild_);
    lookupChild_.bind(1, parent).bindBlob(2, Upper(name));
    if (!lookupChild_.step()) return std::nullopt;
    if (link) *link = !lookupChild_.isNull(1);
    return lookupChild_.integer(0);
}

Node SqliteStore::Root(HKEY root) {
    return realRoots_[root - HKEY_CLASSES_ROOT];
}

bool SqliteStore::KeyExists(std::int64_t key) {
    ResetGuard guard(keyExists_);
    keyExists_.bind(1, key);
    return keyExists_.step();
}

bool SqliteStore::Alive(Node node, std::uint64_t& found) {
    if (deletedKeys_.count(node)) return false;
    // Only another process could have deleted it otherwise, and that changes the generation.
    if (found == generation_) return true;
    if (!KeyExists(node)) return false;
    found = generation_;
    return true;
}

Node SqliteStore::Parent(Node node) {
    ResetGuard guard(parentOf_);
    parentOf_.bind(1, node);
    return parentOf_.step() ? parentOf_.integer(0) : 0;
}

std::string SqliteStore::Name(Node node) {
    ResetGuard guard(nameOf_);
    nameOf_.bind(1, node);
    return nameOf_.step() ? std::string(nameOf_.blob(0)) : std::string();
}

registry::ChildRef SqliteStore::Child(Node parent, std::string_view name) {
    registry::ChildRef child;
    // Walks open each child under a parent whose subkeys they just listed.
    if (const KeyCache* cache = Cached(parent); cache && cache->children) {
        const auto& rows = *cache->children;
        auto found =
            std::lower_bound(rows.begin(), rows.end(), name, [](const ChildRow& row, std::string_view n) {
                return CompareIgnoringCase(row.name, n) < 0;
            });
        if (found == rows.end() || CompareIgnoringCase(found->name, name) != 0) return child;
        child = {found->key, found->link};
    } else if (const auto key = LookupChild(parent, name, &child.link)) {
        child.node = *key;
    } else {
        return child;
    }
    return child;
}

Node SqliteStore::LinkTarget(Node link) {
    std::int64_t target = 0;
    {
        ResetGuard guard(linkOf_);
        linkOf_.bind(1, link);
        if (!linkOf_.step() || linkOf_.isNull(0)) return 0;
        target = linkOf_.integer(0);
    }
    return !deletedKeys_.count(target) && KeyExists(target) ? target : 0;
}

bool SqliteStore::HasChildren(Node node) {
    ResetGuard guard(hasChildren_);
    hasChildren_.bind(1, node);
    return hasChildren_.step();
}

Node SqliteStore::TryAddKey(Node parent, std::string_view name) {
    BeginWrite();
    return TryInsertKey(parent, name).value_or(0);
}

void SqliteStore::DeleteKey(Node parent, Node key) {
    BeginWrite();
    {
        ResetGuard guard(deleteKeyValues_);
        deleteKeyValues_.bind(1, key);
        deleteKeyValues_.run();
    }
    {
        ResetGuard guard(deleteKeyRow_);
        deleteKeyRow_.bind(1, key);
        deleteKeyRow_.run();
    }
    // Deleting index by index from the last, a walk keeps asking for the parent's listing: it is kept up to
    // date rather than read again after every step.
    KeyCache* listing = Cached(parent);
    if (listing && !listing->children) listing = nullptr;
    deletedKeys_.insert(key);
    NewVersion(parent);
    NewVersion(key);
    ++structure_;
    if (!listing) return;
    auto& rows = *listing->children;
    auto row = std::find_if(rows.rbegin(), rows.rend(), [key](const ChildRow& r) { return r.key == key; });
    if (row == rows.rend()) {
        listing->children.reset();
    } else {
        rows.erase(std::next(row).base());
    }
    listing->version = VersionOf(parent);
}

// ---- caches

void SqliteStore::NewVersion(std::int64_t key) {
    // Only what was read of a key can go stale: most keys an import writes were never read, and a key found
    // unread stays so until CacheFor hands out its cache, which saves a lookup per value written.
    if (key == unreadKey_) return;
    const auto found = caches_.find(key);
    if (found == caches_.end() || !found->second.Filled()) {
        unreadKey_ = key;
        return;
    }
    keyVersions_[key] = ++versionCounter_;
}

std::uint64_t SqliteStore::VersionOf(std::int64_t key) const {
    auto found = keyVersions_.find(key);
    return found == keyVersions_.end() ? 0 : found->second;
}

void SqliteStore::Retain(Node node) {
    ++caches_[node].handles;
}

void SqliteStore::Release(Node node) {
    auto found = caches_.find(node);
    if (found != caches_.end() && --found->second.handles <= 0) caches_.erase(found);
}

SqliteStore::KeyCache* SqliteStore::Cached(std::int64_t key) {
    auto found = caches_.find(key);
    KeyCache* cache = found == caches_.end() ? nullptr : &found->second;
    return cache && cache->version == VersionOf(key) && cache->generation == generation_ ? cache : nullptr;
}

SqliteStore::KeyCache& SqliteStore::CacheFor(std::int64_t key) {
    // Keys without handles are the roots: few, and kept.
    unreadKey_ = kNoKey;
    KeyCache& cache = caches_[key];
    const std::uint64_t version = VersionOf(key);
    if (cache.version != version || cache.generation != generation_) {
        const int handles = cache.handles;
        cache = KeyCache{};
        cache.handles = handles;
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
        while (listChildren_.step())
            rows.push_back(
                {std::string(listChildren_.blob(0)), listChildren_.integer(1), !listChildren_.isNull(2)});
        cache.children = std::move(rows);
    }
    return *cache.children;
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

// ---- queries

registry::KeySummary SqliteStore::Summary(Node node, bool subKeys, bool values) {
    KeyCache& cache = CacheFor(node);
    registry::KeySummary summary;
    if (subKeys) {
        const auto& children = Children(cache, node);
        summary.subKeys = static_cast<DWORD>(children.size());
        for (const ChildRow& child : children)
            summary.longestSubKey = std::max(summary.longestSubKey, static_cast<DWORD>(child.name.size()));
    }
    if (values) {
        // The rows are read whole: whoever asks for the summary enumerates them next.
        if (!cache.summary) {
            registry::KeySummary counted;
            for (const ValueRow& row : Values(cache, node)) {
                ++counted.values;
                counted.longestValueName =
                    std::max(counted.longestValueName, static_cast<DWORD>(row.name.size()));
                counted.largestData = std::max(counted.largestData, static_cast<DWORD>(row.data.size()));
            }
            cache.summary = counted;
        }
        summary.values = cache.summary->values;
        summary.longestValueName = cache.summary->longestValueName;
        summary.largestData = cache.summary->largestData;
    }
    return summary;
}

bool SqliteStore::ChildAt(Node node, DWORD index, std::string_view& name) {
    const auto& children = Children(CacheFor(node), node);
    if (index >= children.size()) return false;
    name = children[index].name;
    return true;
}

bool SqliteStore::ValueAt(Node node, DWORD index, registry::ValueView& value) {
    const auto& rows = Values(CacheFor(node), node);
    if (index >= rows.size()) return false;
    value = {rows[index].name, rows[index].type, rows[index].data};
    return true;
}

bool SqliteStore::FindValue(Node node, std::string_view name, registry::ValueView& value) {
    ResetGuard guard(queryValue_);
    queryValue_.bind(1, node).bindBlob(2, Upper(name));
    if (!queryValue_.step()) return false;
    found_.type = static_cast<DWORD>(queryValue_.integer(0));
    found_.data.assign(queryValue_.blob(1));
    value = {name, found_.type, found_.data};
    return true;
}

// ---- changes

void SqliteStore::SetValue(Node node, std::string_view name, DWORD type, std::string_view data) {
    BeginWrite();
    WriteValue(node, name, type, data);
}

std::optional<std::int64_t> SqliteStore::PutApart(std::string_view& data) {
    if (data.size() <= kLargeValueData) return std::nullopt;
    insertBlob_.bindBlobInPlace(1, data.data(), data.size());
    insertBlob_.runKeepingBindings();
    data = {};
    return sqlite3_last_insert_rowid(db_.handle());
}

void SqliteStore::BindValueRow(Statement& statement, int first, std::int64_t key, std::string_view upper,
                               std::int64_t seq, std::string_view name, DWORD type, std::string_view data,
                               std::optional<std::int64_t> apart) {
    // Every parameter is bound on every run.
    statement.bindKept(first, key)
        .bindBlobInPlace(first + 1, upper.data(), upper.size())
        .bind(first + 2, seq)
        .bindBlobInPlace(first + 3, name.data(), name.size())
        .bindKept(first + 4, type)
        .bindBlobInPlace(first + 5, data.data(), data.size());
    if (apart)
        statement.bindKept(first + 6, *apart);
    else
        statement.bindKeptNull(first + 6);
}

void SqliteStore::WriteValue(std::int64_t key, std::string_view name, DWORD type, std::string_view data) {
    const std::optional<std::int64_t> apart = PutApart(data);
    // Everything bound here outlives the statement's run: the caller's name and data, and upper_.
    const std::string& upper = Upper(name);
    const std::int64_t seq = nextSeq_++;
    BindValueRow(insertValue_, 1, key, upper, seq, name, type, data, apart);
    insertValue_.runKeepingBindings();
    if (sqlite3_changes(db_.handle()) == 0) {
        BindValueRow(upsertValue_, 1, key, upper, seq, name, type, data, apart);
        upsertValue_.runKeepingBindings();
    }
    countersDirty_ = true;
    NewVersion(key);
}

void SqliteStore::SetValues(Node node, std::span<const platform::ValueWrite> values) {
    BeginWrite();
    for (std::size_t at = 0; at < values.size(); at += kValuesAtOnce)
        WriteValues(node, values.subspan(at, std::min(kValuesAtOnce, values.size() - at)));
}

Statement& SqliteStore::InsertValues(std::size_t rows) {
    if (insertValues_.size() <= rows) insertValues_.resize(rows + 1);
    Statement& statement = insertValues_[rows];
    if (!statement.prepared()) {
        std::string sql = "INSERT OR IGNORE INTO vals(key, uname, seq, name, type, data, big) VALUES";
        for (std::size_t row = 0; row < rows; ++row) {
            sql += row == 0 ? "(" : ",(";
            for (std::size_t column = 1; column <= 7; ++column)
                sql += (column == 1 ? "?" : ", ?") + std::to_string(row * 7 + column);
            sql += ')';
        }
        statement = Statement(db_.handle(), sql.c_str());
    }
    return statement;
}

void SqliteStore::WriteValues(std::int64_t key, std::span<const platform::ValueWrite> values) {
    // Large data goes apart value by value, so that a replaced value's data row is gone before the next
    // one is made, and the rows get the numbers they get when values are written one at a time.
    const bool large = std::any_of(values.begin(), values.end(), [](const platform::ValueWrite& value) {
        return value.data.size() > kLargeValueData;
    });
    if (values.size() == 1 || large) {
        for (const platform::ValueWrite& value : values)
            WriteValue(key, value.name, value.type, value.data);
        return;
    }
    // The names are upper-cased first: the statement binds them in place.
    uppers_.clear();
    for (const platform::ValueWrite& value : values)
        for (char c : value.name)
            uppers_ += UpperChar(c);
    const std::int64_t firstSeq = nextSeq_;
    nextSeq_ += static_cast<std::int64_t>(values.size());
    // Binds each value's row, with its upper-cased name and place in creation order, through bindRow.
    const auto bindRows = [&](auto&& bindRow) {
        std::size_t upperAt = 0;
        for (std::size_t row = 0; row < values.size(); ++row) {
            const platform::ValueWrite& value = values[row];
            bindRow(row, std::string_view(uppers_).substr(upperAt, value.name.size()),
                    firstSeq + static_cast<std::int64_t>(row), value);
            upperAt += value.name.size();
        }
    };
    Statement& insert = InsertValues(values.size());
    bindRows(
        [&](std::size_t row, std::string_view upper, std::int64_t seq, const platform::ValueWrite& value) {
            BindValueRow(insert, static_cast<int>(row * 7 + 1), key, upper, seq, value.name, value.type,
                         value.data, std::nullopt);
        });
    insert.runKeepingBindings();
    if (static_cast<std::size_t>(sqlite3_changes(db_.handle())) != values.size()) {
        // Some names were there already or came twice: each value replaces, in its turn, what is there. The
        // rows just added are written again unchanged.
        bindRows([&](std::size_t, std::string_view upper, std::int64_t seq,
                     const platform::ValueWrite& value) {
            BindValueRow(upsertValue_, 1, key, upper, seq, value.name, value.type, value.data, std::nullopt);
            upsertValue_.runKeepingBindings();
        });
    }
    countersDirty_ = true;
    NewVersion(key);
}

bool SqliteStore::DeleteValue(Node node, std::string_view name) {
    BeginWrite();
    std::string upper = Upper(name);
    {
        ResetGuard guard(queryValue_);
        queryValue_.bind(1, node).bindBlob(2, upper);
        if (!queryValue_.step()) return false;
    }
    ResetGuard guard(deleteValue_);
    deleteValue_.bind(1, node).bindBlob(2, upper);
    deleteValue_.run();
    NewVersion(node);
    return true;
}

void SqliteStore::WalkSubtree(Node top, std::vector<registry::WalkLevel>& walk,
                              registry::KeyVisitor& visitor) {
    orderedWalk_->Walk(top, walk, visitor, {generation_, structure_, changes_});
}

void SqliteStore::BeginCall() {
    BeginRead();
}

void SqliteStore::BeginChange() {
    BeginWrite();
}

} // namespace hw::store
