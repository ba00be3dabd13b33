// The registry store over a Wine prefix: system.reg is HKEY_LOCAL_MACHINE, user.reg the user's key under
// HKEY_USERS (and so HKEY_CURRENT_USER), userdef.reg HKEY_USERS\.Default. Changed files are written back
// within about two seconds of the last change, on Flush and when the store closes.
#pragma once

#include "platform/registry_store.h"
#include "platform/store_seed.h"
#include "platform/wine/wine_hive.h"
#include "platform/wine/wine_prefix.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace hw::platform::wine {

class WineStore final : public RegistryStore, private SeedTarget {
  public:
    // Throws std::runtime_error naming the file when the prefix's registry cannot be read.
    WineStore(const std::string& prefix, bool readOnly);
    ~WineStore() override;

    // Makes a folder a prefix holding the skeleton the program's own registry starts with (no Wine needed).
    static void WriteSkeletonPrefix(const std::string& prefix);

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

    std::string Description() const override;
    bool ReadOnly() const override { return readOnly_; }
    std::string Notice() const override;
    std::string NativePath(const std::string& path) const override;
    std::string CommitFailure() const override;
    void ClearCommitFailure() override;
    std::string FailureReason() const override;
    std::vector<std::string> Files() const override;

  private:
    struct HiveFile {
        std::string path;
        std::string rootName;
        Hive hive;
        FileIdentity identity;
        bool dirty = false;
    };
    struct Handle {
        WineKey* key = nullptr;
        REGSAM access = 0;
    };

    // SeedTarget, for WriteSkeletonPrefix
    std::int64_t SeedKey(std::int64_t parent, const std::string& path) override;
    void SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) override;
    void SeedRights(std::int64_t, KeyRights) override {}
    void SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) override;
    std::int64_t RealRootId(HKEY root) override;

    // What a save does while a wineserver runs in the prefix (which writes its own files when it stops).
    enum class WhileWineRuns { Wait, Fail, Save };

    void TakeForWriting();
    void CheckWritable();
    void LoadFile(HiveFile& file);
    void ConnectRoots();
    void ApplyFixedRights();
    // Takes the lock for a registry function; a failure reason tells about the latest call only.
    std::unique_lock<std::mutex> BeginCall();
    void NoteFailure(std::string reason);
    // Refuses a change to a key of these rights, noting why.
    LONG Refuse(KeyRights rights);
    bool Reload(HiveFile& file);
    void SaveLocked(WhileWineRuns whileWineRuns);
    void DropChanges(HiveFile& file, const std::string& cause);
    bool Refusing() const;
    void CheckExternalChanges();
    void SaverLoop();

    LONG Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result);
    LONG ResolveRoot(HKEY root, WineKey*& key);
    LONG ResolveHandle(HKEY key, WineKey*& node, REGSAM* access = nullptr);
    LONG ResolveWithAccess(HKEY key, REGSAM needed, WineKey*& node);
    LONG Walk(WineKey* start, std::string_view path, bool create, REGSAM handleAccess, WineKey*& result,
              bool* created);
    WineKey* Follow(WineKey* key, int depth);
    KeyRights Effective(KeyRights rights) const;
    LONG Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted);
    HKEY NewHandle(WineKey* key, REGSAM access);
    WineKey* NewChild(WineKey& parent, std::string_view name);
    void Touch(WineKey& key);
    HiveFile* FileOf(const WineKey& key);
    std::string PathInHive(const WineKey& key) const;
    // Levels below the real root (HKEY_LOCAL_MACHINE or HKEY_USERS).
    static DWORD DepthOf(const WineKey& key);

    mutable std::mutex mutex_;
    std::string prefix_;
    bool readOnly_;
    std::string notice_;
    std::string saveError_;
    mutable std::mutex failureMutex_; // for commitFailure_, which the window polls while saves run
    std::string commitFailure_;
    std::string failureReason_; // also under failureMutex_
    PrefixLock lock_;
    std::array<HiveFile, 3> files_; // system.reg, user.reg, userdef.reg
    WineKey users_, performance_, dynamic_, deletedKey_;
    // HKEY_LOCAL_MACHINE's protected keys where system.reg has none (Wine keeps HARDWARE in memory only).
    std::array<WineKey, 3> standIns_;
    std::unordered_map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x1000;
    std::chrono::steady_clock::time_point lastChange_;
    std::chrono::steady_clock::time_point lastCheck_;

    std::condition_variable wake_;
    bool stopping_ = false;
    bool commitsHeld_ = false; // while an imported section is half written
    std::thread saver_;
};

} // namespace hw::platform::wine
