// The registry's keys and values in an SQLite database: two tables, with the listings of recently used keys
// kept in memory. Changes are committed in groups, within about 100 ms.
#pragma once

#include "platform/store_seed.h"
#include "registry/key_storage.h"
#include "store/sqlite/sqlite_db.h"
#include "store/sqlite/sqlite_walk.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hw::store {

using registry::Node;

// Why a database could not be opened, and what to do, in one line for people.
std::string DescribeOpenFailure(int code);

class SqliteStore final : public registry::KeyStorage, private platform::SeedTarget {
  public:
    // snapshot: read the file as it stands, creating no log files (a reader that may not write there).
    SqliteStore(const std::string& path, bool readOnly, bool snapshot = false);
    ~SqliteStore() override;

    void BeginCall() override;
    void BeginChange() override;
    void Abandon(const registry::StorageError& error) override;
    std::string Refusal() const override;

    Node Root(HKEY root) override;
    std::string CurrentUserKey() const override { return userSid_; }
    std::uint64_t Structure() const override { return generation_ + structure_; }
    std::uint64_t Epoch() const override { return generation_; }
    bool Alive(Node node, std::uint64_t& found) override;
    void Retain(Node node) override;
    void Release(Node node) override;
    Node Parent(Node node) override;
    std::string Name(Node node) override;
    registry::ChildRef Child(Node parent, std::string_view name) override;
    Node LinkTarget(Node link) override;
    registry::KeySummary Summary(Node node, bool subKeys, bool values) override;
    bool ChildAt(Node node, DWORD index, std::string_view& name) override;
    bool ValueAt(Node node, DWORD index, registry::ValueView& value) override;
    bool FindValue(Node node, std::string_view name, registry::ValueView& value) override;
    bool HasChildren(Node node) override;
    void WalkSubtree(Node top, std::vector<registry::WalkLevel>& walk,
                     registry::KeyVisitor& visitor) override;
    Node TryAddKey(Node parent, std::string_view name) override;
    void DeleteKey(Node parent, Node key) override;
    void SetValue(Node node, std::string_view name, DWORD type, std::string_view data) override;
    bool DeleteValue(Node node, std::string_view name) override;

    void Flush() override;
    void HoldCommits(bool hold) override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    bool ReadOnly() const override { return readOnly_; }
    std::vector<std::string> Files() const override;

  private:
    struct ValueRow {
        std::string name;
        DWORD type = 0;
        std::string data;
    };
    struct ChildRow {
        std::string name;
        std::int64_t key = 0;
        bool link = false;
    };
    // What was read of a key; valid while the key's version is unchanged.
    struct KeyCache {
        int handles = 0; // open handles to the key: the cache lives while there are any
        std::uint64_t version = ~std::uint64_t{0};
        std::uint64_t generation = ~std::uint64_t{0};
        std::optional<std::vector<ChildRow>> children;
        std::optional<std::vector<ValueRow>> values;
        std::optional<registry::KeySummary> summary;
        bool Filled() const { return children || values || summary; }
    };
    enum class Transaction { None, Read, Write };
    // SeedTarget
    std::int64_t SeedKey(std::int64_t parent, const std::string& path) override;
    void SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) override;
    void SeedRights(std::int64_t key, platform::KeyRights rights) override;
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
    void ForgetCaches();
    void NoteOtherWriters();
    std::int64_t ReadCounter(std::string_view name, std::int64_t fallback);
    void WriteCounter(std::string_view name, std::int64_t value);
    void FlusherLoop();
    void OpenGroup(Transaction kind);
    void EndGroup();
    // Commits the write group when it has been open long enough; a failure is kept as the commit failure.
    void CommitIfDue();

    // Adds or replaces a value inside the write group.
    void WriteValue(std::int64_t key, std::string_view name, DWORD type, std::string_view data);
    const std::string& Upper(std::string_view name);
    bool KeyExists(std::int64_t key);
    // The key's id, or nothing; link tells whether the row is a link.
    std::optional<std::int64_t> LookupChild(std::int64_t parent, std::string_view name, bool* link = nullptr);
    std::optional<std::int64_t> TryInsertKey(std::int64_t parent, std::string_view name,
                                             std::optional<std::int64_t> link = std::nullopt);
    std::int64_t InsertKey(std::int64_t parent, std::string_view name,
                           std::optional<std::int64_t> link = std::nullopt);

    // The key's cache while it is still valid, else null.
    KeyCache* Cached(std::int64_t key);
    KeyCache& CacheFor(std::int64_t key);
    const std::vector<ChildRow>& Children(KeyCache& cache, std::int64_t key);
    const std::vector<ValueRow>& Values(KeyCache& cache, std::int64_t key);
    void NewVersion(std::int64_t key);
    std::uint64_t VersionOf(std::int64_t key) const;

    std::string path_;
    Database db_;
    bool readOnly_;
    mutable std::mutex failureMutex_; // guards the commit failure, read without the store's lock
    std::string commitFailure_;
    int commitFailureCode_ = SQLITE_OK;
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
    // What was read of the keys open handles hold, and of the root keys.
    std::unordered_map<std::int64_t, KeyCache> caches_;
    std::array<std::int64_t, 7> realRoots_{};
    std::string userSid_;
    std::string upper_;         // reused for upper-cased names: statements copy what they bind
    ValueRow found_;            // the value FindValue read last
    std::uint64_t changes_ = 0; // bumped by every change this process makes
    std::unique_ptr<OrderedWalk> orderedWalk_;

    Statement begin_, beginImmediate_, commit_, dataVersionQuery_, lookupChild_, linkOf_, keyExists_,
        insertKey_, highestKey_, listChildren_, listValues_, queryValue_, insertValue_, upsertValue_,
        insertBlob_, deleteValue_, hasChildren_, deleteKeyValues_, deleteKeyRow_, metaGet_, metaSet_,
        setRights_, parentOf_, nameOf_;

    using TimePoint = std::chrono::steady_clock::time_point;
    // When the flusher next needs the store's lock: read without it.
    std::atomic<TimePoint> flusherDue_{TimePoint::max()};
    std::atomic<bool> endAsked_{false}; // the open read group's caller is asked to end it
    std::mutex flusherMutex_;           // guards the flusher's sleep and stopping_
    std::condition_variable flusherWake_;
    bool stopping_ = false;
    std::thread flusher_;

    static constexpr std::int64_t kNoKey = -1;
    std::int64_t unreadKey_ = kNoKey; // a key whose cache, if any, holds nothing read (see NewVersion)

    void SetValues(Node node, std::span<const platform::ValueWrite> values) override;
    // Adds or replaces up to kValuesAtOnce values inside the write group, with one statement.
    void WriteValues(std::int64_t key, std::span<const platform::ValueWrite> values);
    // Puts data larger than kLargeValueData in a row of its own, and tells which.
    std::optional<std::int64_t> PutApart(std::string_view& data);
    // Runs an insert of one value row from parameter `first` on.
    void BindValueRow(Statement& statement, int first, std::int64_t key, std::string_view upper,
                      std::int64_t seq, std::string_view name, DWORD type, std::string_view data,
                      std::optional<std::int64_t> apart);
    Statement& InsertValues(std::size_t rows);
    static constexpr std::size_t kValuesAtOnce = 16;
    std::vector<Statement> insertValues_; // by number of rows, prepared when first used
    std::string uppers_;                  // the upper-cased names of the values written together
};

} // namespace hw::store
