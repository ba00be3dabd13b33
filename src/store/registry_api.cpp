// The registry functions, forwarded to the process's store, and the opening of stores.
#include "platform/registry_store.h"
#include "registry/change_journal.h"
#include "registry/registry.h"
#include "store/hive/empty_hive.h"
#include "store/hive/hive_layout.h"
#include "store/hive/hive_store.h"
#include "store/sqlite/sqlite_store.h"
#include "store/wine/wine_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace hw::platform {

namespace {

std::mutex& StoreMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<RegistryStore>& Store() {
    static std::unique_ptr<RegistryStore> store;
    return store;
}

// Every registry call reads this; only opening and replacing the store take the lock.
std::atomic<RegistryStore*>& OpenStore() {
    static std::atomic<RegistryStore*> open{nullptr};
    return open;
}

// Appends a line to the file $HIVEWRIGHT_DEBUG_LOG names, when it names one: details for developers that
// messages for people leave out.
void WriteDebugLog(const std::string& line) {
    const char* log = std::getenv("HIVEWRIGHT_DEBUG_LOG");
    if (!log || !*log) return;
    std::ofstream(log, std::ios::app | std::ios::binary) << line << '\n';
}

// The store's own folder is made for its owner alone; folders above it are made as usual. Empty when the
// folder exists or was made, else why not.
std::string MakePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::exists(folder, error)) return {};
    if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path(), error);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "cannot create the folder " + folder.string() + ": " + std::strerror(errno);
    return {};
}

// A new database is readable by its owner alone; SQLite gives its log files the database's mode, so a
// store the owner opens up with chmod stays open to others. True when the file was created here.
bool CreatePrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

} // namespace

std::string DefaultRegistryPath() {
    if (const char* explicitPath = std::getenv("HIVEWRIGHT_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    return OwnRegistryPath();
}

std::string OwnRegistryPath() {
    if (const char* explicitPath = std::getenv("HIVEWRIGHT_REGISTRY");
        explicitPath && *explicitPath && !NamesOtherStore(explicitPath))
        return explicitPath;
    std::filesystem::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : "/tmp") / ".local" / "share";
    }
    return (base / "hivewright" / "registry.db").string();
}

std::unique_ptr<RegistryStore> OpenSqliteStore(const std::string& path, std::string* error, bool readOnly) {
    bool created = false;
    try {
        std::filesystem::path file(path);
        const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
        if (std::string failure = MakePrivateFolder(folder); !failure.empty()) {
            if (error) *error = failure;
            return nullptr;
        }
        // A database the user cannot write, or whose folder cannot take its log files, is still readable;
        // every change is then refused.
        const bool exists = access(path.c_str(), F_OK) == 0;
        // Read only when opening throws, which the analyzer does not follow.
        if (!exists && !readOnly)
            created = CreatePrivateFile(path); // NOLINT(clang-analyzer-deadcode.DeadStores)
        const bool mayWrite = access(path.c_str(), W_OK) == 0 && access(folder.c_str(), W_OK) == 0;
        readOnly = readOnly || (exists && !mayWrite);
        // A user who may not write must not create the log files either: they would belong to that user and
        // lock the owner out. Without them the file itself is the whole committed database, read as it
        // stands.
        const bool snapshot =
            exists && !mayWrite &&
            (access((path + "-wal").c_str(), F_OK) != 0 || access((path + "-shm").c_str(), F_OK) != 0);
        return std::make_unique<registry::Registry>(
            std::make_unique<store::SqliteStore>(path, readOnly, snapshot));
    } catch (const store::SqliteError& failure) {
        // SQLite's own text names statements; people get the cause and what to do, the log gets the rest.
        WriteDebugLog("opening " + path + ": " + failure.what());
        if (error) *error = store::DescribeOpenFailure(failure.code());
    } catch (const std::exception& failure) {
        if (error) *error = failure.what();
    }
    std::error_code ignored;
    if (created && std::filesystem::file_size(path, ignored) == 0) std::filesystem::remove(path, ignored);
    return nullptr;
}

std::unique_ptr<RegistryStore> OpenWineStore(const std::string& prefix, std::string* error, bool readOnly) {
    try {
        return std::make_unique<registry::Registry>(
            std::make_unique<store::wine::WineStore>(prefix, readOnly));
    } catch (const std::exception& failure) {
        if (error) *error = failure.what();
        return nullptr;
    }
}

std::unique_ptr<RegistryStore> OpenHiveStore(const std::vector<std::string>& hives, std::string* error,
                                             bool readOnly) {
    try {
        store::hive::HiveLayout layout = store::hive::SingleHivesLayout(hives);
        for (store::hive::HiveMount& mount : layout.mounts) {
            if (readOnly || access(mount.file.c_str(), F_OK) == 0) continue;
            std::string failure;
            if (!store::hive::CreateEmptyHive(mount.file, failure)) throw std::runtime_error(failure);
            mount.created = true;
        }
        return std::make_unique<registry::Registry>(
            std::make_unique<store::hive::HiveStore>(std::move(layout), readOnly));
    } catch (const std::exception& failure) {
        if (error) *error = failure.what();
        return nullptr;
    }
}

std::unique_ptr<RegistryStore> OpenWindowsInstallation(const std::string& root, const std::string& user,
                                                       std::string* error, bool readOnly) {
    try {
        return std::make_unique<registry::Registry>(
            std::make_unique<store::hive::HiveStore>(store::hive::WindowsLayout(root, user), readOnly));
    } catch (const std::exception& failure) {
        if (error) *error = failure.what();
        return nullptr;
    }
}

bool NamesOtherStore(std::string_view location) {
    for (std::string_view scheme : {kWineRegistryPrefix, kWindowsRegistryPrefix, kHiveRegistryPrefix})
        if (location.starts_with(scheme)) return true;
    return false;
}

std::unique_ptr<RegistryStore> OpenRegistryAt(const std::string& location, std::string* error) {
    const char* readOnlySetting = std::getenv(kReadOnlyVariable);
    const bool readOnly = readOnlySetting && *readOnlySetting;
    std::string_view wine(kWineRegistryPrefix), windows(kWindowsRegistryPrefix), hive(kHiveRegistryPrefix);
    if (location.starts_with(wine)) return OpenWineStore(location.substr(wine.size()), error, readOnly);
    if (location.starts_with(windows)) {
        const char* user = std::getenv("HIVEWRIGHT_WINDOWS_USER");
        return OpenWindowsInstallation(location.substr(windows.size()), user ? user : "", error, readOnly);
    }
    if (location.starts_with(hive)) {
        std::vector<std::string> hives;
        std::string_view rest = std::string_view(location).substr(hive.size());
        for (std::size_t end; !rest.empty(); rest.remove_prefix(std::min(end + 1, rest.size()))) {
            end = std::min(rest.find('\n'), rest.size());
            if (end > 0) hives.emplace_back(rest.substr(0, end));
        }
        return OpenHiveStore(hives, error, readOnly);
    }
    return OpenSqliteStore(location, error, readOnly);
}

RegistryStore& CurrentRegistry() {
    if (RegistryStore* open = OpenStore().load(std::memory_order_acquire)) return *open;
    std::lock_guard lock(StoreMutex());
    auto& store = Store();
    if (!store) {
        std::string error;
        std::string path = DefaultRegistryPath();
        store = OpenRegistryAt(path, &error);
        if (!store) {
            std::string_view wine(kWineRegistryPrefix);
            if (NamesOtherStore(path) && !path.starts_with(wine)) throw std::runtime_error(error);
            throw std::runtime_error((path.starts_with(wine)
                                          ? "cannot open the Wine prefix " + path.substr(wine.size())
                                          : "cannot open the registry database " + path) +
                                     ": " + error);
        }
        OpenStore().store(store.get(), std::memory_order_release);
    }
    return *store;
}

void UseRegistry(std::unique_ptr<RegistryStore> store) {
    {
        std::lock_guard lock(StoreMutex());
        OpenStore().store(nullptr, std::memory_order_release);
        Store() = std::move(store);
        OpenStore().store(Store().get(), std::memory_order_release);
    }
    // What could be undone belongs to the store it was done in.
    registry::Journal().Clear();
}

std::string FlushRegistry() {
    std::lock_guard lock(StoreMutex());
    if (!Store()) return {};
    Store()->Flush();
    return Store()->CommitFailure();
}

namespace {
void HoldStore() {
    try {
        CurrentRegistry().HoldCommits(true);
    } catch (const std::exception&) {
        // A store that cannot be opened fails the calls the holder makes next.
    }
}

void ReleaseStore() {
    if (RegistryStore* open = OpenStore().load(std::memory_order_acquire)) open->HoldCommits(false);
}
} // namespace

HeldCommits::HeldCommits() {
    HoldStore();
}

HeldCommits::~HeldCommits() {
    ReleaseStore();
}

void HeldCommits::Boundary() {
    ReleaseStore();
    HoldStore();
}

std::string RegistryCommitFailure() {
    RegistryStore* open = OpenStore().load(std::memory_order_acquire);
    return open ? open->CommitFailure() : std::string();
}

void ClearRegistryCommitFailure() {
    if (RegistryStore* open = OpenStore().load(std::memory_order_acquire)) open->ClearCommitFailure();
}

std::string RegistryFailureReason() {
    RegistryStore* open = OpenStore().load(std::memory_order_acquire);
    return open ? open->FailureReason() : std::string();
}

bool RegistryIsReadOnly() {
    RegistryStore* open = OpenStore().load(std::memory_order_acquire);
    return open && open->ReadOnly();
}

bool IsRegistryStoreFile(const std::string& path) {
    RegistryStore* open = OpenStore().load(std::memory_order_acquire);
    return open && open->HoldsFile(path);
}

} // namespace hw::platform

using hw::platform::CurrentRegistry;

namespace {
// The registry functions report failures as codes; a store that cannot even be opened is "access denied".
template <typename Call> LONG Guarded(Call&& call) {
    try {
        return call(CurrentRegistry());
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    } catch (const std::exception&) {
        return ERROR_ACCESS_DENIED;
    }
}
} // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    return Guarded([&](auto& store) { return store.OpenKey(hKey, lpSubKey, samDesired, phkResult); });
}

LONG RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    return Guarded([&](auto& store) { return store.OpenKeyMaximum(hKey, lpSubKey, phkResult); });
}

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
    return Guarded([&](auto& store) { return store.CreateKey(hKey, lpSubKey, 0, phkResult, nullptr); });
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired, void*,
                     PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (samDesired == 0) return ERROR_ACCESS_DENIED;
    return Guarded(
        [&](auto& store) { return store.CreateKey(hKey, lpSubKey, samDesired, phkResult, lpdwDisposition); });
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      FILETIME* lpftLastWriteTime) {
    // Keys carry no class and no security descriptor here.
    if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    return Guarded([&](auto& store) {
        return store.QueryInfoKey(hKey, lpcSubKeys, lpcbMaxSubKeyLen, lpcValues, lpcbMaxValueNameLen,
                                  lpcbMaxValueLen, lpftLastWriteTime);
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass,
                   LPDWORD lpcchClass, FILETIME* lpftLastWriteTime) {
    if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{};
    return Guarded([&](auto& store) { return store.EnumKey(hKey, dwIndex, lpName, lpcchName); });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    DWORD length = cchName;
    return Guarded([&](auto& store) { return store.EnumKey(hKey, dwIndex, lpName, &length); });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return Guarded([&](auto& store) {
        return store.EnumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpType, lpData, lpcbData);
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    return Guarded(
        [&](auto& store) { return store.QueryValue(hKey, lpValueName, lpType, lpData, lpcbData); });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
    return Guarded([&](auto& store) { return store.SetValue(hKey, lpValueName, dwType, lpData, cbData); });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return Guarded([&](auto& store) { return store.DeleteValue(hKey, lpValueName); });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return Guarded([&](auto& store) { return store.DeleteKey(hKey, lpSubKey); });
}

LONG RegCloseKey(HKEY hKey) {
    return Guarded([&](auto& store) { return store.CloseKey(hKey); });
}
