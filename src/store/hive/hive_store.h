// The registry store over regf hive files, read and changed through hivex. Changes collect in memory and
// each changed hive is committed whole: about two seconds after the last change, on Flush and when the
// store closes.
#pragma once

#include "registry/key_storage.h"
#include "store/hive/hive_file.h"
#include "store/hive/hive_key.h"
#include "store/hive/hive_layout.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace hw::store::hive {

using registry::Node;

class HiveStore final : public registry::KeyStorage {
  public:
    // Throws std::runtime_error naming the file when a hive cannot be read.
    HiveStore(HiveLayout layout, bool readOnly);
    ~HiveStore() override;

    void BeginCall() override;
    std::string Refusal() const override;
    Node Root(HKEY root) override;
    std::string CurrentUserKey() const override { return layout_.currentUser; }
    std::uint64_t Structure() const override { return structure_; }
    std::uint64_t Epoch() const override { return 0; }
    bool Alive(Node node, std::uint64_t& found) override;
    bool Holds(Node node) const override;
    Node Parent(Node node) override;
    std::string Name(Node node) override;
    registry::ChildRef Child(Node parent, std::string_view name) override;
    Node LinkTarget(Node link) override;
    registry::KeySummary Summary(Node node, bool subKeys, bool values) override;
    bool ChildAt(Node node, DWORD index, std::string_view& name) override;
    bool ValueAt(Node node, DWORD index, registry::ValueView& value) override;
    bool FindValue(Node node, std::string_view name, registry::ValueView& value) override;
    bool HasChildren(Node node) override;
    std::uint64_t LastWrite(Node node) override { return reinterpret_cast<HiveKey*>(node)->modified; }
    Node TryAddKey(Node parent, std::string_view name) override;
    void DeleteKey(Node parent, Node key) override;
    void SetValue(Node node, std::string_view name, DWORD type, std::string_view data) override;
    bool DeleteValue(Node node, std::string_view name) override;

    void Flush() override;
    void HoldCommits(bool hold) override;
    std::string Description() const override { return layout_.description; }
    bool ReadOnly() const override;
    std::string Notice() const override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    std::vector<std::string> Files() const override;

  private:
    struct Mounted {
        std::unique_ptr<HiveFile> file;
        HiveKey* root = nullptr;
        std::string linkName, linkTarget; // CurrentControlSet and the control set it follows
        bool dirty = false;
    };

    HiveKey& KeyBelow(HiveKey& parent, const std::string& name);
    void Mount(const HiveMount& mount, bool readOnly);
    void FindCurrentControlSet(Mounted& system);
    Mounted* MountOf(const HiveKey& key);
    std::vector<std::unique_ptr<HiveKey>>& Children(HiveKey& key);
    std::vector<HiveValue>& Values(HiveKey& key);
    std::vector<HiveValue> ReadValues(HiveKey& key);
    // The key at a backslash path below top; null when there is none or it cannot be read.
    HiveKey* Find(HiveKey& top, std::string_view path);
    [[noreturn]] void Unreadable(HiveKey& key);
    HiveKey* FindChild(HiveKey& parent, std::string_view name);
    void Touch(HiveKey& key);
    void Bury(std::unique_ptr<HiveKey> key);
    void CommitLocked();
    bool CommitMount(Mounted& mount, std::string& error);
    void Reload(Mounted& mount);
    void ReloadChangedFiles();
    void CommitterLoop();

    HiveLayout layout_;
    bool readOnly_;
    std::string notice_;
    HiveKey machine_, users_, performance_, dynamic_;
    std::vector<std::unique_ptr<HiveKey>> standIns_; // keys of no file between the roots and the hives
    std::vector<Mounted> mounts_;
    std::vector<std::unique_ptr<HiveKey>> graveyard_; // deleted keys, which open handles may still name
    std::vector<HiveKey*> cachedValues_;
    std::uint64_t structure_ = 0;
    mutable std::mutex failureMutex_;
    std::string commitFailure_;

    std::chrono::steady_clock::time_point lastChange_, lastCheck_;
    std::condition_variable wake_;
    bool stopping_ = false;
    bool commitsHeld_ = false;
    std::thread committer_;
};

} // namespace hw::store::hive
