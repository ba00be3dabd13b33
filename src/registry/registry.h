// The registry's rules over a store: the handle table, access rights and masks, the protected keys, the alias
// roots, links, depth and name limits, the buffer protocol and failure reasons. A store only keeps keys and
// values (see KeyStorage), so every store answers the registry functions alike.
#pragma once

#include "platform/registry_store.h"
#include "platform/store_seed.h"
#include "registry/change_journal.h"
#include "registry/key_storage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hw::registry {

using platform::KeyRights;

class Registry final : public platform::RegistryStore {
  public:
    explicit Registry(std::unique_ptr<KeyStorage> storage);
    ~Registry() override;

    KeyStorage& Storage() { return *storage_; }

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
    // One lock and one resolution of the key for all the values.
    void SetValues(HKEY key, std::span<platform::ValueWrite> values) override;
    LONG DeleteValue(HKEY key, LPCSTR name) override;
    LONG DeleteKey(HKEY parent, LPCSTR subKey) override;
    LONG CloseKey(HKEY key) override;
    LONG OpenSubtree(HKEY parent, LPCSTR subKey, std::unique_ptr<platform::SubtreeStream>& stream) override;

    void Flush() override;
    void HoldCommits(bool hold) override;
    std::string Description() const override;
    bool ReadOnly() const override;
    std::string Notice() const override;
    std::string NativePath(const std::string& path) const override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    std::string FailureReason() const override;
    std::vector<std::string> Files() const override;

  private:
    class SubtreeWalk;

    struct Target {
        Node node = 0;
        KeyRights rights = KeyRights::Full;
        DWORD depth = 0; // levels below the real root
    };
    struct Handle {
        Target target;
        REGSAM access = 0;
        std::uint64_t found = 0; // the store's stamp when the key was last known to exist
    };
    struct AliasCache {
        std::uint64_t structure = ~std::uint64_t{0};
        LONG result = ERROR_FILE_NOT_FOUND;
        Target target;
    };

    // Locks the store, starts the call and turns the store's failures into result codes.
    template <typename Body> LONG Guarded(Body&& body);
    void NoteFailure(std::string reason);
    // Refuses a change to a key of these rights, noting why.
    LONG Refuse(KeyRights rights);
    KeyRights Effective(KeyRights rights) const;
    LONG Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted);

    LONG Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result);
    LONG ResolveRoot(HKEY root, Target& target);
    LONG ResolveHandle(HKEY key, Target& target, REGSAM* access = nullptr);
    LONG ResolveWithAccess(HKEY key, REGSAM needed, Target& target);
    // Starts the change and resolves a handle whose values are to change.
    LONG ResolveForChange(HKEY key, Target& target);
    LONG Walk(Target start, std::string_view path, bool create, REGSAM handleAccess, Target& result,
              bool* created);
    // The key a child stands for, with its rights and depth: itself, or where its link leads.
    LONG Enter(const Target& parent, ChildRef child, std::string_view name, Target& result);
    KeyRights ChildRights(const Target& parent, std::string_view name) const;
    // The rights a key has, also where the store cannot change it.
    KeyRights RightsOf(const Target& target) const;
    // Rights and depth of a key reached through a link, found from its own chain of parents.
    Target Locate(Node node);
    HKEY NewHandle(const Target& target, REGSAM access);

    // The journal's entry points: each notes a change about to land (nothing when no step is open), and
    // Keep records it once it has. Every path that changes keys or values goes through these.
    std::optional<JournalEntry> NoteValueWrite(Node node, std::string_view name,
                                               std::optional<TypedData> after);
    std::optional<JournalEntry> NoteKeyAdded(Node node);
    std::optional<JournalEntry> NoteKeyDeleting(Node node);
    // Writes one value into a key resolved for change.
    LONG WriteValue(Node node, std::string_view name, DWORD type, std::string_view bytes);
    static void Keep(std::optional<JournalEntry> entry);
    struct Place {
        HKEY root = 0; // a real root, or HKEY_CURRENT_USER for the user's own keys
        std::string path;
    };
    // Where a key lies, for the journal; null outside the roots. Known places are kept for the step, as
    // an import writes many values into each key it makes.
    const Place* PlaceOf(Node node);
    const Place* RootPlace(Node top);
    std::optional<JournalEntry> EntryFor(Node node, JournalEntry::Kind kind);

    std::unique_ptr<KeyStorage> storage_;
    mutable std::mutex failureMutex_; // guards failureReason_, read without the store's lock
    std::string failureReason_;
    bool reasonNoted_ = false; // under the store's lock: whether failureReason_ needs clearing
    std::unordered_map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x1000;
    std::array<AliasCache, 7> aliases_{};
    std::unordered_map<Node, Place> places_;
    std::uint64_t placesStep_ = 0;
    std::unordered_set<SubtreeWalk*> walks_; // open subtree streams
};

} // namespace hw::registry
