// The registry store: what stands behind the registry functions of winreg.h.
// A store implements the registry functions' semantics itself (handles, access rights, links, ordering), so
// every back-end passes the same contract tests. The process uses one store at a time.
#pragma once

#include "platform/winreg.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hw::platform {

// What a subtree walk hands over, depth first: a key, its values in creation order, then its subkeys in name
// order.
class SubtreeVisitor {
  public:
    virtual ~SubtreeVisitor() = default;
    // A key at depth levels below the key the walk began at (0: that key, with no name); false leaves out its
    // values and subkeys.
    virtual bool Key(std::string_view name, DWORD depth) = 0;
    // A subkey that cannot be opened (a protected key, a link that leads nowhere); its subtree is left out.
    virtual void Unopened(std::string_view name, DWORD depth) = 0;
    // The views hold until the next call.
    virtual void Value(std::string_view name, DWORD type, std::string_view data) = 0;
    // Asked after each key entered: true ends the call, so others can use the registry meanwhile.
    virtual bool Pause() = 0;
};

class SubtreeStream {
  public:
    virtual ~SubtreeStream() = default;
    // Hands over keys until the visitor pauses (ERROR_SUCCESS) or the subtree ends (ERROR_NO_MORE_ITEMS);
    // another code tells why the registry could not be read.
    virtual LONG Next(SubtreeVisitor& visitor) = 0;
};

// One value of a batch written into one key; result is what SetValue would have returned for it.
struct ValueWrite {
    std::string_view name;
    DWORD type = 0;
    std::string_view data;
    LONG result = ERROR_SUCCESS;
};

class RegistryStore {
  public:
    virtual ~RegistryStore() = default;

    virtual LONG OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) = 0;
    // Opens with the widest rights the key grants (RegOpenKeyA's default access).
    virtual LONG OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) = 0;
    // Opens or creates every key on the path; disposition may be null. access 0 = the widest the key grants.
    virtual LONG CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) = 0;
    virtual LONG QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                              LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) = 0;
    virtual LONG EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) = 0;
    virtual LONG EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                           LPDWORD dataLength) = 0;
    virtual LONG QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) = 0;
    virtual LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) = 0;
    // Writes the values into the key in their order, as SetValue would one by one, noting each one's result.
    virtual void SetValues(HKEY key, std::span<ValueWrite> values) {
        for (ValueWrite& value : values)
            value.result = SetValue(key, std::string(value.name).c_str(), value.type,
                                    reinterpret_cast<const BYTE*>(value.data.data()),
                                    static_cast<DWORD>(value.data.size()));
    }
    virtual LONG DeleteValue(HKEY key, LPCSTR name) = 0;
    virtual LONG DeleteKey(HKEY parent, LPCSTR subKey) = 0;
    virtual LONG CloseKey(HKEY key) = 0;
    // Opens the key as OpenKeyMaximum does, to hand over its subtree through stream.
    virtual LONG OpenSubtree(HKEY parent, LPCSTR subKey, std::unique_ptr<SubtreeStream>& stream) = 0;

    // Commits pending writes now (they are otherwise committed within about 100 ms).
    virtual void Flush() = 0;
    // While held, timed commits wait, so that a unit of changes (an imported section) is saved whole or not
    // at all; releasing commits at once what is due.
    virtual void HoldCommits(bool /*hold*/) {}

    // What the window names as the registry in use; empty for the program's own registry.
    virtual std::string Description() const { return {}; }
    // Whether every change is refused because the database cannot be written.
    virtual bool ReadOnly() const { return false; }
    // Why the store only reads, when the user should know; empty otherwise.
    virtual std::string Notice() const { return {}; }
    // The Linux path of a path the registry names (such as the Windows directory).
    virtual std::string NativePath(const std::string& path) const { return path; }

    // Set when a group of changes could not be committed (disk full, I/O error): those changes are lost, and
    // every later change is refused until the failure is cleared, so what was saved stays a prefix of what
    // was asked. Empty while everything asked for was committed.
    virtual std::string CommitFailure() const { return {}; }
    virtual void ClearCommitFailure() {}
    // Why the latest call failed when the cause was the database or a key's protection rather than the
    // request ("disk full", "the registry database is read-only", "access denied"); empty otherwise.
    virtual std::string FailureReason() const { return {}; }
    // The files the store keeps its data in (writing there would destroy it).
    virtual std::vector<std::string> Files() const { return {}; }
    // Whether path names one of Files(), also through a symbolic or hard link.
    bool HoldsFile(const std::string& path) const;
};

// Where the product's database lives: $HIVEWRIGHT_REGISTRY, else
// ${XDG_DATA_HOME:-$HOME/.local/share}/hivewright/registry.db.
std::string DefaultRegistryPath();
// The program's own database: DefaultRegistryPath() unless that names a Wine prefix, then the usual place.
std::string OwnRegistryPath();

// Opens (creating and seeding when new) the SQLite store at path; null with a reason on failure. A file the
// user cannot write, or readOnly, gives a store that reads but refuses every change.
std::unique_ptr<RegistryStore> OpenSqliteStore(const std::string& path, std::string* error = nullptr,
                                               bool readOnly = false);

// Opens the Wine prefix folder's registry files (see platform/wine/wine_store.h).
std::unique_ptr<RegistryStore> OpenWineStore(const std::string& prefix, std::string* error = nullptr,
                                             bool readOnly = false);

// Opens hive files, each "FILE" or "FILE=KEY" mounted under HKEY_LOCAL_MACHINE\KEY (see
// store/hive/hive_layout.h); a missing file is made an empty hive unless readOnly.
std::unique_ptr<RegistryStore> OpenHiveStore(const std::vector<std::string>& hives,
                                             std::string* error = nullptr, bool readOnly = false);
// Opens the hives of the Windows installation in root; user picks HKEY_CURRENT_USER (empty: the first).
std::unique_ptr<RegistryStore> OpenWindowsInstallation(const std::string& root, const std::string& user,
                                                       std::string* error = nullptr, bool readOnly = false);

// HIVEWRIGHT_REGISTRY's prefix that names a Wine prefix instead of a database.
inline constexpr const char* kWineRegistryPrefix = "wine:";
// ... a Windows installation's folder, its user in HIVEWRIGHT_WINDOWS_USER.
inline constexpr const char* kWindowsRegistryPrefix = "windows:";
// ... hive files, one "FILE" or "FILE=KEY" a line.
inline constexpr const char* kHiveRegistryPrefix = "hive:";
// Set (to anything) when the registry is opened read-only.
inline constexpr const char* kReadOnlyVariable = "HIVEWRIGHT_READ_ONLY";
// Whether a registry location names another store than an SQLite database.
bool NamesOtherStore(std::string_view location);
// Opens what a registry location names: "wine:PATH" a Wine prefix, "windows:PATH" a Windows installation,
// "hive:FILES" hive files, anything else an SQLite database.
std::unique_ptr<RegistryStore> OpenRegistryAt(const std::string& location, std::string* error = nullptr);

// The process's store. The first use opens the default database; a failure to open it throws.
RegistryStore& CurrentRegistry();
// Replaces the process's store (tests, other databases); the old store is flushed and closed. Null closes it.
void UseRegistry(std::unique_ptr<RegistryStore> store);
// Commits pending writes of the process's store, if one is open; the store's commit failure, empty when
// everything is saved.
std::string FlushRegistry();
// Holds the open store's timed commits for as long as it lives; Boundary() lets what is due be committed
// between two units of changes.
class HeldCommits {
  public:
    HeldCommits();
    ~HeldCommits();
    HeldCommits(const HeldCommits&) = delete;
    HeldCommits& operator=(const HeldCommits&) = delete;
    void Boundary();
};
// The open store's commit failure and failure reason (see RegistryStore); empty without a store.
std::string RegistryCommitFailure();
void ClearRegistryCommitFailure();
std::string RegistryFailureReason();
bool RegistryIsReadOnly();
// Whether writing path would overwrite the open store's database.
bool IsRegistryStoreFile(const std::string& path);

} // namespace hw::platform
