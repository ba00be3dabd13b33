// What a registry store does, and no more: keys as nodes found by parent and name, their subkeys and values,
// adding, deleting and changing them, committing. The registry's rules (handles, rights, aliases, limits) lie
// above it, in Registry, so every store follows the same ones.
#pragma once

#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace hw::registry {

// A key as the store knows it; 0 is no key (or a key that is gone).
using Node = std::int64_t;

struct ValueView {
    std::string_view name;
    DWORD type = 0;
    std::string_view data;
};

struct ChildRef {
    Node node = 0;
    bool link = false; // the key stands for another one (see KeyStorage::LinkTarget)
};

struct KeySummary {
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD largestData = 0;
};

// Where a subtree walk stands between two calls: one level per key whose subkeys are being walked.
struct WalkLevel {
    Node node = 0;
    DWORD next = 0;    // the index of the next subkey, for stores that list subkeys by index
    std::string after; // the store's own sort key of the last subkey handed over, for stores that seek
};

class KeyVisitor {
  public:
    enum class Visit { Enter, Skip };
    virtual ~KeyVisitor() = default;
    // A subkey depth levels below the top; a link comes as itself. Entering may replace node by the key to
    // walk instead (where a link leads); skipping leaves out its values and subkeys.
    virtual Visit Key(Node& node, std::string_view name, bool link, DWORD depth) = 0;
    // The views hold until the next call.
    virtual void Value(const ValueView& value) = 0;
    // Asked after each key entered: true ends the walk's call, to go on in the next.
    virtual bool Pause() = 0;
};

// A failure of the store itself (the disk, the database), with the code and the reason a caller gets.
class StorageError : public std::runtime_error {
  public:
    StorageError(const std::string& what, LONG result, std::string reason, int detail = 0)
        : std::runtime_error(what), result_(result), reason_(std::move(reason)), detail_(detail) {}
    LONG result() const { return result_; }
    const std::string& reason() const { return reason_; }
    int detail() const { return detail_; } // the store's own code

  private:
    LONG result_;
    std::string reason_;
    int detail_;
};

class KeyStorage {
  public:
    virtual ~KeyStorage() = default;

    // Held by whoever reads or changes the store; the store's own background work takes it too.
    std::mutex& Mutex() const { return mutex_; }

    // Called with the lock held at the start of every registry call, and before a change.
    virtual void BeginCall() {}
    virtual void BeginChange() {}
    // After a StorageError: the store drops what the failed call had begun.
    virtual void Abandon(const StorageError& /*error*/) {}
    // Why every change is refused (a read-only database, a failed save); empty while changes are taken.
    virtual std::string Refusal() const = 0;

    // The key of HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA or HKEY_DYN_DATA.
    virtual Node Root(HKEY root) = 0;
    // The name of the current user's key under HKEY_USERS.
    virtual std::string CurrentUserKey() const = 0;
    // Bumped whenever keys were added or deleted, here or by another process.
    virtual std::uint64_t Structure() const = 0;
    // A stamp that stays the same while a key found now can vanish only through DeleteKey here.
    virtual std::uint64_t Epoch() const = 0;
    // Whether a key found at the stamp found still exists; the stamp moves on once it is checked again.
    virtual bool Alive(Node node, std::uint64_t& found) = 0;
    // Whether the key can hold changes at all (keys that belong to no file cannot).
    virtual bool Holds(Node /*node*/) const { return true; }
    // A handle to the key was opened or closed: a store may keep what it read of a key while it is open.
    virtual void Retain(Node /*node*/) {}
    virtual void Release(Node /*node*/) {}
    virtual Node Parent(Node node) = 0;
    virtual std::string Name(Node node) = 0;

    // The child of that name in any letter case; node 0 when there is none.
    virtual ChildRef Child(Node parent, std::string_view name) = 0;
    // The key a link stands for; 0 when it names none.
    virtual Node LinkTarget(Node link) = 0;
    // Only the parts asked for are filled.
    virtual KeySummary Summary(Node node, bool subKeys, bool values) = 0;
    // Subkeys in name order and values in creation order; false past the last.
    virtual bool ChildAt(Node node, DWORD index, std::string_view& name) = 0;
    virtual bool ValueAt(Node node, DWORD index, ValueView& value) = 0;
    virtual bool FindValue(Node node, std::string_view name, ValueView& value) = 0;
    virtual bool HasChildren(Node node) = 0;
    // When the key last changed, as a Windows file time; 0 where the store keeps no times.
    virtual std::uint64_t LastWrite(Node /*node*/) { return 0; }
    // Hands over top's values (when walk is empty), then keys below top depth first, each with its values
    // before its subkeys, in the orders of ChildAt and ValueAt, until the visitor pauses; walk is empty at
    // the end. Stores that can read in order override it.
    virtual void WalkSubtree(Node top, std::vector<WalkLevel>& walk, KeyVisitor& visitor);

    // Adds a key the parent does not have yet; 0 when it has one of that name.
    virtual Node TryAddKey(Node parent, std::string_view name) = 0;
    virtual void DeleteKey(Node parent, Node key) = 0;
    virtual void SetValue(Node node, std::string_view name, DWORD type, std::string_view data) = 0;
    // Sets the values in their order, as SetValue would one by one (their results are not looked at); a store
    // that writes several at once does so.
    virtual void SetValues(Node node, std::span<const platform::ValueWrite> values);
    // False when there is no value of that name.
    virtual bool DeleteValue(Node node, std::string_view name) = 0;

    // Commits now; waits with timed commits while held (see platform::RegistryStore).
    virtual void Flush() = 0;
    virtual void HoldCommits(bool /*hold*/) {}
    virtual std::string CommitFailure() const = 0;
    virtual void ClearCommitFailure() = 0;
    virtual bool ReadOnly() const = 0;
    virtual std::string Description() const { return {}; }
    virtual std::string Notice() const { return {}; }
    virtual std::string NativePath(const std::string& path) const { return path; }
    virtual std::vector<std::string> Files() const = 0;

    // Lets a store that reloads its keys move open handles to their new nodes (0: the key is gone).
    using NodeVisitor = std::function<void(Node&)>;
    void SetOpenNodes(std::function<void(const NodeVisitor&)> forEach) { openNodes_ = std::move(forEach); }

  protected:
    void ForEachOpenNode(const NodeVisitor& visit) {
        if (openNodes_) openNodes_(visit);
    }

  private:
    mutable std::mutex mutex_;
    std::function<void(const NodeVisitor&)> openNodes_;
};

} // namespace hw::registry
