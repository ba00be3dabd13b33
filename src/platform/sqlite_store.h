// The registry store on an SQLite database: keys and values in two tables, handles and caches in memory.
#pragma once

#include "platform/registry_store.h"
#include "platform/sqlite_db.h"
#include "platform/store_seed.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hw::platform {

// Why a database could not be opened, and what to do, in one line for people.
std::string DescribeOpenFailure(int code);

class SqliteStore final : public RegistryStore, private SeedTarget {
  public:
    // snapshot: read the file as it stands, creating no log files (a reader that may not write there).
    SqliteStore(const std::string& path, bool readOnly, bool snapshot = false);
    ~SqliteStore() override;

    LONG OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) override;
    LONG OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) override;
    LONG CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) override;
    LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) override;
    LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) override;
    LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                   LPDWORD dataLength) override;
    LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) override;
    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override;
    LONG DeleteValue(HKEY key, LPCSTR name) override;
    LONG DeleteKey(HKEY parent, LPCSTR subKey) override;
    LONG CloseKey(HKEY key) override;
    void Flush() override;
    void HoldCommits(bool hold) override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    std::string FailureReason() const override;
    std::vector<std::string> Files() const override;
    bool ReadOnly() const override { return readOnly_; }

  private:
    struct ValueRow {
        std::string name;
        DWORD type = 0;
        std::string data;
    };
    struct ValueSummary {
        DWORD count = 0;
        DWORD longestName = 0;
        DWORD largestData = 0;
    };
    // What an open handle has read of its key; valid while the key's version is unchanged.
    struct ChildRow {
        std::string name;
        std::int64_t key = 0;
        std::optional<std::int64_t> link;
        KeyRights rights = KeyRights::Full;
    };
    struct KeyCache {
        std::int64_t key = 0;
        std::uint64_t version = ~std::uint64_t{0};
        std::uint64_t generation = ~std::uint64_t{0};
        std::optional<std::vector<ChildRow>> children;
        std::optional<std::vector<ValueRow>> values;
        std::optional<ValueSummary> summary;
    };
    struct Handle {
        std::int64_t key = 0;
        DWORD depth = 0;
        REGSAM access = 0;
        std::uint64_t verifiedGeneration = 0;
        KeyCache cache;
    };
    struct Target {
        std::int64_t key = 0;
        KeyRights rights = KeyRights::Full;
        DWORD depth = 0; // levels below the real root
    };
    enum class Transaction { None, Read, Write };

    // SeedTarget
    std::int64_t SeedKey(std::int64_t parent, const std::string& path) override;
    void SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) override;
    void SeedRights(std::int64_t key, KeyRights rights) override;
    void SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) override;
    std::int64_t RealRootId(HKEY root) override;

    void PrepareDatabase();
    void SetWriteAheadLog();
    void SeedIfNeeded();
    bool SeedComplete();

    void BeginRead();
    void BeginWrite();
    void CommitLocked();
    // Ends a write group that failed: its changes are rolled back and later writes refused until cleared.
    void AbandonGroup(const SqliteError& error);
    LONG Failed(const SqliteError& error);
    void NoteFailure(std::string reason);
    void ForgetCaches();
    void CheckExternalChanges();
    std::int64_t ReadCounter(std::string_view name, std::int64_t fallback);
    void WriteCounter(std::string_view name, std::int64_t value);
    void FlusherLoop();
    // Commits the write group when it has been open long enough; a failure is kept as the commit failure.
    void CommitIfDue();

    // Locks the store, opens a read group and turns database failures into result codes.
    template <typename Body> LONG Guarded(Body&& body);
    LONG Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result);
    LONG ResolveHandle(HKEY key, Target& target, REGSAM* access = nullptr);
    LONG ResolveWithAccess(HKEY key, REGSAM needed, Target& target);
    // Opens the write group and resolves a handle whose values are to change.
    LONG ResolveForChange(HKEY key, Target& target);
    LONG ResolveRoot(HKEY root, Target& target);
    // startChildren: the start key's cached subkeys, when known, spare the first lookup.
    LONG Walk(Target start, std::string_view path, bool create, REGSAM handleAccess, Target& result,
              bool* created, const std::vector<ChildRow>* startChildren = nullptr);
    bool FindCachedChild(const std::vector<ChildRow>& children, std::string_view name, Target& child);
    // The row named name (any case) in a listing, or its end.
    template <typename Rows>
    static auto FindRow(Rows& children, std::string_view name) -> decltype(children.begin());
    const std::string& Upper(std::string_view name);
    LONG LookupChild(std::int64_t parent, std::string_view name, Target& child, bool followLink = true,
                     DWORD parentDepth = 0);
    // Nothing when the parent already has a key of that name.
    std::optional<std::int64_t> TryInsertKey(std::int64_t parent, std::string_view name, KeyRights rights,
                                             std::optional<std::int64_t> link = std::nullopt);
    std::int64_t InsertKey(std::int64_t parent, std::string_view name, KeyRights rights,
                           std::optional<std::int64_t> link = std::nullopt);
    bool KeyAlive(std::int64_t key);
    KeyRights Effective(KeyRights rights) const;
    LONG Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted);
    DWORD DepthOf(std::int64_t key);
    HKEY NewHandle(const Target& target, REGSAM access);
    Handle* FindHandle(HKEY key);

    KeyCache& CacheFor(HKEY key, std::int64_t id);
    const std::vector<ChildRow>& Children(KeyCache& cache, std::int64_t key);
    const std::vector<ValueRow>& Values(KeyCache& cache, std::int64_t key);
    ValueSummary Summary(KeyCache& cache, std::int64_t key);
    void Touch(std::int64_t key);
    std::uint64_t VersionOf(std::int64_t key) const;

    std::mutex mutex_;
    std::string path_;
    Database db_;
    bool readOnly_;
    mutable std::mutex failureMutex_; // guards the two texts below, read without the store's lock
    std::string commitFailure_;
    int commitFailureCode_ = SQLITE_OK;
    std::string failureReason_;
    bool reasonNoted_ = false;    // under the store's lock: whether failureReason_ needs clearing
    std::int64_t keyIdFloor_ = 1; // ids handed out in a rolled-back group are not handed out again
    std::chrono::steady_clock::time_point lastGroupCommit_;
    bool commitsHeld_ = false; // a unit of changes is under way: the timed commit waits for its end
    Transaction transaction_ = Transaction::None;
    std::chrono::steady_clock::time_point transactionStart_;
    std::int64_t nextSeq_ = 1;   // creation order of values
    std::int64_t nextKeyId_ = 1; // ids are never reused
    bool countersDirty_ = false;
    std::int64_t dataVersion_ = -1;
    std::uint64_t generation_ = 0;     // bumped when another process changed the database
    std::uint64_t structure_ = 0;      // bumped when this process creates or deletes a key
    std::uint64_t versionCounter_ = 0; // source of per-key versions
    std::unordered_map<std::int64_t, std::uint64_t> keyVersions_;
    std::unordered_set<std::int64_t> deletedKeys_;
    std::unordered_map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x1000;
    std::array<std::int64_t, 7> realRoots_{};
    std::array<KeyCache, 7> rootCaches_{};
    struct AliasCache {
        std::uint64_t generation = ~std::uint64_t{0};
        std::uint64_t structure = ~std::uint64_t{0};
        LONG result = ERROR_FILE_NOT_FOUND;
        Target target;
    };
    std::array<AliasCache, 7> aliases_{};
    std::string userSid_;
    std::string upper_; // reused for upper-cased names: statements copy what they bind

    Statement begin_, beginImmediate_, commit_, dataVersionQuery_, lookupChild_, keyRow_, insertKey_,
        highestKey_, listChildren_, listValues_, queryValue_, upsertValue_, deleteValue_, hasChildren_,
        deleteKeyValues_, deleteKeyRow_, keyExists_, metaGet_, metaSet_, setRights_, parentOf_;

    std::condition_variable flusherWake_;
    bool stopping_ = false;
    std::thread flusher_;
};

} // namespace hw::platform
