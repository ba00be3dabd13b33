// The registry store over a Wine prefix: system.reg is HKEY_LOCAL_MACHINE, user.reg the user's key under
// HKEY_USERS (and so HKEY_CURRENT_USER), userdef.reg HKEY_USERS\.Default. Changed files are written back
// within about two seconds of the last change, on Flush and when the store closes.
#pragma once

#include "platform/store_seed.h"
#include "registry/key_storage.h"
#include "store/wine/wine_hive.h"
#include "store/wine/wine_prefix.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace hw::store::wine {

using registry::Node;

class WineStore final : public registry::KeyStorage, private platform::SeedTarget {
  public:
    // Throws std::runtime_error naming the file when the prefix's registry cannot be read.
    WineStore(const std::string& prefix, bool readOnly);
    ~WineStore() override;

    // Makes a folder a prefix holding the skeleton the program's own registry starts with (no Wine needed).
    static void WriteSkeletonPrefix(const std::string& prefix);

    std::string Refusal() const override;
    Node Root(HKEY root) override;
    std::string CurrentUserKey() const override { return files_[kUser].rootName; }
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
    std::uint64_t LastWrite(Node node) override { return KeyTime(*reinterpret_cast<WineKey*>(node)); }
    Node TryAddKey(Node parent, std::string_view name) override;
    void DeleteKey(Node parent, Node key) override;
    void SetValue(Node node, std::string_view name, DWORD type, std::string_view data) override;
    bool DeleteValue(Node node, std::string_view name) override;

    void Flush() override;
    void HoldCommits(bool hold) override;
    std::string Description() const override;
    bool ReadOnly() const override { return readOnly_; }
    std::string Notice() const override;
    std::string NativePath(const std::string& path) const override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    std::vector<std::string> Files() const override;

  private:
    enum : std::size_t { kSystem = 0, kUser = 1, kUserDefault = 2 };
    struct HiveFile {
        std::string path;
        std::string rootName;
        Hive hive;
        FileIdentity identity;
        bool dirty = false;
    };

    // SeedTarget, for WriteSkeletonPrefix
    std::int64_t SeedKey(std::int64_t parent, const std::string& path) override;
    void SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) override;
    void SeedRights(std::int64_t, platform::KeyRights) override {}
    void SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) override;
    std::int64_t RealRootId(HKEY root) override;

    // What a save does while a wineserver runs in the prefix (which writes its own files when it stops).
    enum class WhileWineRuns { Wait, Fail, Save };

    void TakeForWriting();
    void CheckWritable();
    void LoadFile(HiveFile& file);
    void ConnectRoots();
    // Shows the protected keys system.reg lacks (Wine keeps HARDWARE in memory only) as keys of no file.
    void ProvideProtectedKeys();
    bool Reload(HiveFile& file);
    void SaveLocked(WhileWineRuns whileWineRuns);
    void DropChanges(HiveFile& file, const std::string& cause);
    void ReloadChangedFiles();
    void SaverLoop();

    // The key at a path below start, following links; null when there is none.
    WineKey* Find(WineKey* start, std::string_view path, int depth = 0);
    WineKey* Follow(WineKey* key, int depth);
    WineKey* NewChild(WineKey& parent, std::string_view name);
    void MarkChanged(WineKey& key);
    HiveFile* FileOf(const WineKey& key);
    std::string PathInHive(const WineKey& key) const;

    std::string prefix_;
    bool readOnly_;
    std::string notice_;
    std::string saveError_;
    mutable std::mutex failureMutex_; // for commitFailure_, which the window polls while saves run
    std::string commitFailure_;
    PrefixLock lock_;
    std::array<HiveFile, 3> files_;         // system.reg, user.reg, userdef.reg
    WineKey users_, performance_, dynamic_; // keys of no file
    // The protected keys system.reg lacks, in their order in registry::kProtectedKeys.
    std::array<WineKey, 3> standIns_;
    std::uint64_t structure_ = 0;
    std::chrono::steady_clock::time_point lastChange_;
    std::chrono::steady_clock::time_point lastCheck_;

    std::condition_variable wake_;
    bool stopping_ = false;
    bool commitsHeld_ = false; // while an imported section is half written
    std::thread saver_;
};

} // namespace hw::store::wine
