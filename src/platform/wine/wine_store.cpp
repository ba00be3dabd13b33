#include "platform/wine/wine_store.h"
#include "platform/registry_buffers.h"

#include "platform/user_identity.h"
#include "platform/wine/wine_text.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace hw::platform::wine {

namespace {

constexpr auto kSaveDelay = std::chrono::seconds(2);
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kCheckEvery = std::chrono::milliseconds(200);
constexpr int kMaxLinkDepth = 8;
constexpr const char* kFileNames[] = {"system.reg", "user.reg", "userdef.reg"};
constexpr const char* kReadOnlyReason = "the Wine prefix is open read-only";
constexpr const char* kProtectedReason = "access denied";
// Keys Windows keeps from users stay closed; HARDWARE is rebuilt by Wine at every start, so it only reads.
constexpr std::pair<const char*, KeyRights> kProtectedKeys[] = {
    {"HARDWARE", KeyRights::ReadOnly}, {"SAM", KeyRights::None}, {"SECURITY", KeyRights::None}};
enum : std::size_t { kSystem = 0, kUser = 1, kUserDefault = 2 };

bool IsRoot(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

std::string_view View(LPCSTR text) {
    return text ? std::string_view(text) : std::string_view();
}

std::uint64_t NowTicks() {
    auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<std::uint64_t>(since1970.count() / 100) + 116444736000000000ull;
}

WineValue* FindValue(std::vector<WineValue>& values, std::string_view name) {
    for (WineValue& value : values)
        if (CompareNames(value.name, name) == 0) return &value;
    return nullptr;
}

std::string Utf16Bytes(std::string_view text) {
    std::string bytes;
    for (char16_t unit : Utf16FromUtf8(text)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

std::string EmptyHive(const std::string& relativeTo) {
    return "WINE REGISTRY Version 2\n;; All keys relative to " + relativeTo + "\n\n#arch=win64\n";
}

} // namespace

// ---- opening and closing

WineStore::WineStore(const std::string& prefix, bool readOnly) : prefix_(prefix), readOnly_(readOnly) {
    for (std::size_t i = 0; i < files_.size(); ++i)
        files_[i].path = (std::filesystem::path(prefix) / kFileNames[i]).string();
    for (HiveFile& file : files_)
        if (access(file.path.c_str(), F_OK) != 0)
            throw std::runtime_error(file.path +
                                     " is missing: a Wine prefix folder holds system.reg, user.reg "
                                     "and userdef.reg");
    files_[kSystem].rootName = "HKEY_LOCAL_MACHINE";
    files_[kUserDefault].rootName = ".Default";
    // Taken before the files are read, so that what a killed save left is settled first.
    if (!readOnly_) TakeForWriting();
    for (HiveFile& file : files_)
        LoadFile(file);
    deletedKey_.deleted = true;
    performance_.rights = dynamic_.rights = users_.rights = KeyRights::ReadOnly;
    for (const HiveFile& file : files_) {
        if (const Damage& damage = file.hive.Damaged()) {
            readOnly_ = true;
            notice_ = file.path + ", line " + std::to_string(damage.line) + ": " + damage.what +
                      ". The file is damaged, so the Wine prefix is open read-only and nothing in it is "
                      "rewritten.";
            break;
        }
    }
    if (!readOnly_) CheckWritable();
    lastCheck_ = std::chrono::steady_clock::now();
    saver_ = std::thread([this] { SaverLoop(); });
}

void WineStore::TakeForWriting() {
    bool busy = false;
    if (WineServerRunning(prefix_)) {
        readOnly_ = true;
        notice_ = "Wine is running in the prefix " + prefix_ +
                  " and would overwrite changes when it stops, so it is open read-only. To edit it, stop "
                  "Wine first: WINEPREFIX=\"" +
                  prefix_ + "\" wineserver -k";
    } else if (!lock_.Acquire(prefix_, busy)) {
        readOnly_ = true;
        notice_ =
            busy ? "Another Hivewright is changing the Wine prefix " + prefix_ + ", so it is open read-only."
                 : "The Wine prefix " + prefix_ + " cannot be written, so it is open read-only.";
    } else {
        for (const HiveFile& file : files_)
            SettleInterruptedSaves(file.path);
    }
}

void WineStore::CheckWritable() {
    for (const HiveFile& file : files_) {
        // A save writes a new file beside the old one, in the folder of the file a link names.
        std::error_code failed;
        std::filesystem::path real = std::filesystem::canonical(file.path, failed);
        std::string folder = (failed ? std::filesystem::path(file.path) : real).parent_path().string();
        for (const std::string& needed : {file.path, folder}) {
            if (access(needed.c_str(), W_OK) != 0) {
                readOnly_ = true;
                notice_ = needed + " cannot be written, so the Wine prefix is open read-only.";
                return;
            }
        }
    }
}

WineStore::~WineStore() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (saver_.joinable()) saver_.join();
    std::lock_guard lock(mutex_);
    SaveLocked(WhileWineRuns::Save);
}

void WineStore::LoadFile(HiveFile& file) {
    std::string text, error;
    if (!ReadWholeFile(file.path, text, error))
        throw std::runtime_error(file.path + " cannot be read: " + error);
    file.identity = IdentityOf(file.path);
    try {
        file.hive.Load(std::move(text), file.rootName);
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(file.path + " " + failure.what());
    }
    if (&file == &files_[kUser]) {
        // The user's key is named by the file's own relative root, as Wine names it.
        std::string sid = file.hive.RelativeRootName();
        if (sid.empty() || sid == "REGISTRY" || sid == "User") sid = "S-1-5-21-0-0-0-1000";
        file.rootName = file.hive.Root().name = sid;
    }
    file.dirty = false;
    ConnectRoots();
    ApplyFixedRights();
}

void WineStore::ConnectRoots() {
    users_.children.clear();
    for (std::size_t i : {kUserDefault, kUser}) {
        if (files_[i].hive.Text().empty()) continue; // not loaded yet: no root to connect
        WineKey& root = files_[i].hive.Root();
        root.parent = &users_;
        users_.children.push_back(&root);
    }
    std::sort(users_.children.begin(), users_.children.end(),
              [](const WineKey* a, const WineKey* b) { return CompareNames(a->name, b->name) < 0; });
}

void WineStore::ApplyFixedRights() {
    if (files_[kSystem].hive.Text().empty()) return;
    std::function<void(WineKey&, KeyRights)> apply = [&](WineKey& key, KeyRights rights) {
        key.rights = rights;
        for (WineKey* child : key.children)
            apply(*child, rights);
    };
    WineKey& machine = files_[kSystem].hive.Root();
    for (std::size_t i = 0; i < standIns_.size(); ++i) {
        auto [name, rights] = kProtectedKeys[i];
        WineKey* key = Hive::FindChild(machine, name);
        if (!key) {
            // A key of no file: nothing below it can be made, so nothing of it is ever written.
            key = &standIns_[i];
            key->name = name;
            key->parent = &machine;
            machine.children.insert(std::lower_bound(machine.children.begin(), machine.children.end(), key,
                                                     [](const WineKey* a, const WineKey* b) {
                                                         return CompareNames(a->name, b->name) < 0;
                                                     }),
                                    key);
        }
        apply(*key, rights);
    }
}

void WineStore::WriteSkeletonPrefix(const std::string& prefix) {
    std::filesystem::create_directories(prefix);
    std::string error;
    const std::string sid = CurrentUserIdentity().sid;
    const std::pair<const char*, std::string> files[] = {{"system.reg", "REGISTRY\\\\Machine"},
                                                         {"user.reg", "REGISTRY\\\\User\\\\" + sid},
                                                         {"userdef.reg", "REGISTRY\\\\User\\\\.Default"}};
    for (const auto& [name, root] : files)
        if (!ReplaceFile((std::filesystem::path(prefix) / name).string(), EmptyHive(root), error))
            throw std::runtime_error(error);
    WineStore store(prefix, false);
    std::lock_guard lock(store.mutex_);
    // The skeleton holds the protected keys themselves.
    std::erase_if(store.files_[kSystem].hive.Root().children, [](const WineKey* key) { return !key->hive; });
    SeedMachine(store);
    SeedUser(store, CurrentUserIdentity());
    store.ApplyFixedRights();
    store.SaveLocked(WhileWineRuns::Save);
}

// ---- saving and reloading

void WineStore::SaveLocked(WhileWineRuns whileWineRuns) {
    bool anyDirty = std::any_of(files_.begin(), files_.end(), [](const HiveFile& f) { return f.dirty; });
    if (!anyDirty) return;
    if (whileWineRuns != WhileWineRuns::Save && WineServerRunning(prefix_)) {
        // Wine reads the files only when it starts and writes its own when it stops.
        if (whileWineRuns == WhileWineRuns::Wait) {
            saveError_ = "Wine is running in the prefix; changes are written when it stops.";
            return;
        }
        for (HiveFile& file : files_)
            if (file.dirty)
                DropChanges(file, "Wine started in the prefix " + prefix_ +
                                      " and would overwrite them when it stops; stop it with WINEPREFIX=\"" +
                                      prefix_ + "\" wineserver -k and make them again");
        return;
    }
    saveError_.clear();
    for (HiveFile& file : files_) {
        if (!file.dirty) continue;
        // Another writer (Wine, once it stopped) saved the file since it was read: ours would undo that.
        if (!(IdentityOf(file.path) == file.identity)) {
            DropChanges(file, file.path + " was changed by another program (such as Wine) meanwhile");
            continue;
        }
        RenderMap map;
        std::string text = file.hive.Render(map);
        std::string error;
        if (!ReplaceFile(file.path, text, error)) {
            DropChanges(file, error);
            continue;
        }
        file.hive.Adopt(std::move(text), map);
        file.identity = IdentityOf(file.path);
        file.dirty = false;
    }
}

void WineStore::DropChanges(HiveFile& file, const std::string& cause) {
    // The store goes back to what the file holds, so what it shows is what was saved.
    {
        std::lock_guard lock(failureMutex_);
        if (commitFailure_.empty()) commitFailure_ = "changes not saved: " + cause;
    }
    Reload(file);
    file.dirty = false;
}

bool WineStore::Reload(HiveFile& file) {
    std::string text, error;
    if (!ReadWholeFile(file.path, text, error)) return false;
    Hive fresh;
    try {
        fresh.Load(text, file.rootName);
    } catch (const std::runtime_error&) {
        return false;
    }
    // A file caught half-written by someone else: try again once it changes.
    if (fresh.Damaged()) return false;
    // Open handles into this file move to the same paths in the new text.
    std::unordered_map<HKEY, std::string> paths;
    for (auto& [handle, entry] : handles_)
        if (entry.key->hive == &file.hive) paths[handle] = PathInHive(*entry.key);
    file.identity = IdentityOf(file.path);
    file.hive.Load(std::move(text), file.rootName);
    ConnectRoots();
    ApplyFixedRights();
    for (auto& [handle, path] : paths) {
        WineKey* key = nullptr;
        handles_[handle].key =
            Walk(&file.hive.Root(), path, false, 0, key, nullptr) == ERROR_SUCCESS ? key : &deletedKey_;
    }
    return true;
}

void WineStore::CheckExternalChanges() {
    for (HiveFile& file : files_)
        if (!file.dirty && !(IdentityOf(file.path) == file.identity)) Reload(file);
}

void WineStore::HoldCommits(bool hold) {
    std::lock_guard lock(mutex_);
    commitsHeld_ = hold;
}

void WineStore::SaverLoop() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, kTick);
        if (stopping_) break;
        auto now = std::chrono::steady_clock::now();
        bool anyDirty = std::any_of(files_.begin(), files_.end(), [](const HiveFile& f) { return f.dirty; });
        if (anyDirty && !commitsHeld_ && now - lastChange_ >= kSaveDelay) {
            SaveLocked(WhileWineRuns::Wait);
            lastChange_ = now; // a failed or postponed save is tried again after the same delay
        }
        if (now - lastCheck_ >= kCheckEvery) {
            lastCheck_ = now;
            CheckExternalChanges();
        }
    }
}

void WineStore::Flush() {
    std::lock_guard lock(mutex_);
    SaveLocked(WhileWineRuns::Fail);
    CheckExternalChanges();
}

std::string WineStore::Description() const {
    return "Wine prefix " + prefix_;
}

std::string WineStore::Notice() const {
    std::lock_guard lock(mutex_);
    return saveError_.empty() ? notice_ : saveError_;
}

std::string WineStore::NativePath(const std::string& path) const {
    return NativePathInPrefix(prefix_, path);
}

std::string WineStore::CommitFailure() const {
    std::lock_guard lock(failureMutex_);
    return commitFailure_;
}

void WineStore::ClearCommitFailure() {
    std::lock_guard lock(failureMutex_);
    commitFailure_.clear();
}

std::string WineStore::FailureReason() const {
    std::lock_guard lock(failureMutex_);
    return failureReason_;
}

std::unique_lock<std::mutex> WineStore::BeginCall() {
    std::unique_lock lock(mutex_);
    NoteFailure({});
    return lock;
}

void WineStore::NoteFailure(std::string reason) {
    std::lock_guard lock(failureMutex_);
    failureReason_ = std::move(reason);
}

LONG WineStore::Refuse(KeyRights rights) {
    if (rights != KeyRights::Full)
        NoteFailure(kProtectedReason);
    else if (std::string failure = CommitFailure(); !failure.empty())
        NoteFailure(failure);
    else if (readOnly_)
        NoteFailure(kReadOnlyReason);
    return ERROR_ACCESS_DENIED;
}

bool WineStore::Refusing() const {
    // Until a failed save was told, nothing more is taken, so what was saved stays what was asked first.
    return readOnly_ || !CommitFailure().empty();
}

std::vector<std::string> WineStore::Files() const {
    std::vector<std::string> paths;
    for (const HiveFile& file : files_)
        paths.push_back(file.path);
    paths.push_back(PrefixLock::PathIn(prefix_));
    return paths;
}

// ---- keys, links and handles

WineStore::HiveFile* WineStore::FileOf(const WineKey& key) {
    for (HiveFile& file : files_)
        if (&file.hive == key.hive) return &file;
    return nullptr;
}

std::string WineStore::PathInHive(const WineKey& key) const {
    if (!key.parent || !key.hive || &key == &key.hive->Root()) return {};
    std::string above = PathInHive(*key.parent);
    return above.empty() ? key.name : above + "\\" + key.name;
}

void WineStore::Touch(WineKey& key) {
    key.changed = true;
    key.modified = NowTicks();
    if (HiveFile* file = FileOf(key)) file->dirty = true;
    lastChange_ = std::chrono::steady_clock::now();
}

WineKey* WineStore::NewChild(WineKey& parent, std::string_view name) {
    WineKey& child = parent.hive->AddChild(parent, name);
    child.values = std::make_unique<std::vector<WineValue>>();
    Touch(child);
    Touch(parent);
    return &child;
}

WineKey* WineStore::Follow(WineKey* key, int depth) {
    if (!key->link) return key;
    if (depth > kMaxLinkDepth || !key->hive) return nullptr;
    const WineValue* target = FindValue(key->hive->Values(*key), "SymbolicLinkValue");
    if (!target || target->type != REG_LINK) return nullptr;
    std::string bytes = target->data;
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    std::string path = Utf8FromUtf16(units);
    // "\Registry\Machine\..." or "\Registry\User\...".
    auto consume = [&](std::string_view name) {
        std::size_t start = path.find_first_not_of('\\');
        if (start == std::string::npos) return false;
        std::size_t end = path.find('\\', start);
        std::string_view part =
            std::string_view(path).substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (CompareNames(part, name) != 0) return false;
        path.erase(0, end == std::string::npos ? path.size() : end);
        return true;
    };
    if (!consume("Registry")) return nullptr;
    WineKey* start = nullptr;
    if (consume("Machine"))
        start = &files_[kSystem].hive.Root();
    else if (consume("User"))
        start = &users_;
    else
        return nullptr;
    WineKey* current = start;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string::npos) end = path.size();
        if (end > begin) {
            WineKey* child = Hive::FindChild(*current, std::string_view(path).substr(begin, end - begin));
            if (!child || !(child = Follow(child, depth + 1))) return nullptr;
            current = child;
        }
        begin = end + 1;
    }
    return current;
}

KeyRights WineStore::Effective(KeyRights rights) const {
    if (Refusing() && rights == KeyRights::Full) return KeyRights::ReadOnly;
    return rights;
}

LONG WineStore::Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted) {
    switch (Effective(rights)) {
    case KeyRights::None:
        return Refuse(rights);
    case KeyRights::ReadOnly:
        if (maximum) {
            granted = KEY_READ;
            return ERROR_SUCCESS;
        }
        if (requested & KEY_CHANGE_RIGHTS) return Refuse(rights);
        granted = requested;
        return ERROR_SUCCESS;
    case KeyRights::Full:
        granted = maximum ? KEY_ALL_ACCESS : requested;
        return ERROR_SUCCESS;
    }
    return ERROR_ACCESS_DENIED;
}

LONG WineStore::ResolveRoot(HKEY root, WineKey*& key) {
    WineKey* machine = &files_[kSystem].hive.Root();
    switch (root) {
    case HKEY_LOCAL_MACHINE:
        key = machine;
        return ERROR_SUCCESS;
    case HKEY_USERS:
        key = &users_;
        return ERROR_SUCCESS;
    case HKEY_CURRENT_USER:
        key = &files_[kUser].hive.Root();
        return ERROR_SUCCESS;
    case HKEY_PERFORMANCE_DATA:
        key = &performance_;
        return ERROR_SUCCESS;
    case HKEY_DYN_DATA:
        key = &dynamic_;
        return ERROR_SUCCESS;
    case HKEY_CLASSES_ROOT:
        return Walk(machine, "Software\\Classes", false, 0, key, nullptr);
    default:
        return Walk(machine, "System\\CurrentControlSet\\Hardware Profiles\\Current", false, 0, key, nullptr);
    }
}

LONG WineStore::ResolveHandle(HKEY key, WineKey*& node, REGSAM* access) {
    if (IsRoot(key)) {
        if (access) *access = KEY_ALL_ACCESS;
        return ResolveRoot(key, node);
    }
    auto found = handles_.find(key);
    if (found == handles_.end()) return ERROR_INVALID_HANDLE;
    if (found->second.key->deleted) return ERROR_KEY_DELETED;
    node = found->second.key;
    if (access) *access = found->second.access;
    return ERROR_SUCCESS;
}

LONG WineStore::ResolveWithAccess(HKEY key, REGSAM needed, WineKey*& node) {
    REGSAM access = 0;
    if (LONG rc = ResolveHandle(key, node, &access); rc != ERROR_SUCCESS) return rc;
    return (access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

HKEY WineStore::NewHandle(WineKey* key, REGSAM access) {
    do {
        nextHandle_ += 4;
        if (nextHandle_ >= HKEY_CLASSES_ROOT) nextHandle_ = 0x1000;
    } while (handles_.count(nextHandle_));
    handles_.emplace(nextHandle_, Handle{key, access});
    return nextHandle_;
}

DWORD WineStore::DepthOf(const WineKey& key) {
    DWORD depth = 0;
    for (const WineKey* up = key.parent; up; up = up->parent)
        ++depth;
    return depth;
}

LONG WineStore::Walk(WineKey* start, std::string_view path, bool create, REGSAM handleAccess,
                     WineKey*& result, bool* created) {
    WineKey* current = start;
    DWORD depth = DepthOf(*start);
    bool first = true;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string_view::npos) end = path.size();
        std::string_view name = path.substr(begin, end - begin);
        begin = end + 1;
        if (name.empty()) continue;
        if (name.size() > MAX_KEY_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
        WineKey* child = Hive::FindChild(*current, name);
        if (child) {
            WineKey* target = Follow(child, 0);
            if (!target) return ERROR_FILE_NOT_FOUND;
            // A link's target lies wherever it lies.
            depth = target == child ? depth + 1 : DepthOf(*target);
            child = target;
        } else {
            if (!create) return ERROR_FILE_NOT_FOUND;
            // A handle opened without the right to create is the request's fault, not the key's.
            if (first && !(handleAccess & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
            // Keys of no file (HKEY_USERS, the protected keys Wine keeps in memory) take no subkeys.
            if (!current->hive) return Refuse(KeyRights::ReadOnly);
            if (Effective(current->rights) != KeyRights::Full) return Refuse(current->rights);
            if (depth >= MAX_KEY_DEPTH) {
                NoteFailure("a key may be at most " + std::to_string(MAX_KEY_DEPTH) + " levels deep");
                return ERROR_INVALID_PARAMETER;
            }
            child = NewChild(*current, name);
            ++depth;
            if (created) *created = true;
        }
        current = child;
        first = false;
    }
    result = current;
    return ERROR_SUCCESS;
}

// ---- the registry functions

LONG WineStore::OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) {
    return Open(parent, subKey, access, false, result);
}

LONG WineStore::OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) {
    return Open(parent, subKey, 0, true, result);
}

LONG WineStore::Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    auto lock = BeginCall();
    WineKey* start = nullptr;
    if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
    WineKey* target = nullptr;
    if (LONG rc = Walk(start, View(subKey), false, 0, target, nullptr); rc != ERROR_SUCCESS) return rc;
    REGSAM granted = 0;
    if (LONG rc = Grant(target->rights, access, maximum, granted); rc != ERROR_SUCCESS) return rc;
    *result = NewHandle(target, granted);
    return ERROR_SUCCESS;
}

LONG WineStore::CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    auto lock = BeginCall();
    WineKey* start = nullptr;
    REGSAM parentAccess = 0;
    if (LONG rc = ResolveHandle(parent, start, &parentAccess); rc != ERROR_SUCCESS) return rc;
    WineKey* target = nullptr;
    bool created = false;
    if (LONG rc = Walk(start, View(subKey), true, parentAccess, target, &created); rc != ERROR_SUCCESS)
        return rc;
    REGSAM granted = 0;
    if (LONG rc = Grant(target->rights, access, access == 0, granted); rc != ERROR_SUCCESS) return rc;
    *result = NewHandle(target, granted);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG WineStore::CloseKey(HKEY key) {
    std::lock_guard lock(mutex_);
    if (IsRoot(key)) return ERROR_SUCCESS;
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG WineStore::DeleteKey(HKEY parent, LPCSTR subKey) {
    std::string_view path = View(subKey);
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_INVALID_PARAMETER;
    auto lock = BeginCall();
    WineKey* start = nullptr;
    if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
    // The last name is not followed, so deleting a link removes only the link.
    std::size_t last = path.find_last_not_of('\\');
    std::size_t cut = path.rfind('\\', last);
    std::string_view leaf =
        cut == std::string_view::npos ? path.substr(0, last + 1) : path.substr(cut + 1, last - cut);
    WineKey* container = start;
    if (cut != std::string_view::npos) {
        if (LONG rc = Walk(start, path.substr(0, cut), false, 0, container, nullptr); rc != ERROR_SUCCESS)
            return rc;
    }
    WineKey* victim = Hive::FindChild(*container, leaf);
    if (!victim) return ERROR_FILE_NOT_FOUND;
    if (Effective(victim->rights) != KeyRights::Full) return Refuse(victim->rights);
    // A file's own root, and the keys behind the alias roots, stay.
    if (!container->hive || victim == &victim->hive->Root()) return Refuse(KeyRights::ReadOnly);
    for (HKEY alias : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
        WineKey* view = nullptr;
        if (ResolveRoot(alias, view) == ERROR_SUCCESS && view == victim) return Refuse(KeyRights::ReadOnly);
    }
    if (!victim->children.empty()) return ERROR_ACCESS_DENIED;
    auto& siblings = container->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), victim));
    victim->deleted = true;
    victim->values.reset();
    Touch(*container);
    return ERROR_SUCCESS;
}

LONG WineStore::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                             LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) {
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, node); rc != ERROR_SUCCESS) return rc;
    if (subKeys) *subKeys = static_cast<DWORD>(node->children.size());
    if (maxSubKeyLen) {
        std::size_t longest = 0;
        for (const WineKey* child : node->children)
            longest = std::max(longest, child->name.size());
        *maxSubKeyLen = static_cast<DWORD>(longest);
    }
    if (values || maxValueNameLen || maxValueLen) {
        DWORD count = 0, longestName = 0, largest = 0;
        if (node->hive) {
            for (const WineValue& value : node->hive->Values(*node)) {
                ++count;
                longestName = std::max(longestName, static_cast<DWORD>(value.name.size()));
                largest = std::max(largest, static_cast<DWORD>(value.data.size()));
            }
        }
        if (values) *values = count;
        if (maxValueNameLen) *maxValueNameLen = longestName;
        if (maxValueLen) *maxValueLen = largest;
    }
    if (lastWrite) *lastWrite = FILETIME{};
    return ERROR_SUCCESS;
}

LONG WineStore::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) {
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_ENUMERATE_SUB_KEYS, node); rc != ERROR_SUCCESS) return rc;
    if (index >= node->children.size()) return ERROR_NO_MORE_ITEMS;
    return CopyName(node->children[index]->name, name, nameLength);
}

LONG WineStore::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                          LPDWORD dataLength) {
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, node); rc != ERROR_SUCCESS) return rc;
    if (!node->hive) return ERROR_NO_MORE_ITEMS;
    const auto& values = node->hive->Values(*node);
    if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
    const WineValue& value = values[index];
    if (LONG rc = CopyName(value.name, name, nameLength); rc != ERROR_SUCCESS) return rc;
    if (type) *type = value.type;
    return CopyData(value.data, data, dataLength);
}

LONG WineStore::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, node); rc != ERROR_SUCCESS) return rc;
    if (!node->hive) return ERROR_FILE_NOT_FOUND;
    const WineValue* value = FindValue(node->hive->Values(*node), View(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    return CopyData(value->data, data, dataLength);
}

LONG WineStore::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    std::string_view valueName = View(name);
    if (valueName.size() > MAX_VALUE_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
    if (!data && size) return ERROR_INVALID_PARAMETER;
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_SET_VALUE, node); rc != ERROR_SUCCESS) return rc;
    if (!node->hive) return Refuse(KeyRights::ReadOnly);
    REGSAM granted = 0;
    if (LONG rc = Grant(node->rights, KEY_SET_VALUE, false, granted); rc != ERROR_SUCCESS) return rc;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto& values = node->hive->Values(*node);
    WineValue* value = FindValue(values, valueName);
    if (value && value->type == type && value->data == bytes) return ERROR_SUCCESS; // as Wine: no change
    if (!value) {
        value = &values.emplace_back();
        value->name = valueName;
    }
    value->type = type;
    value->data.assign(bytes);
    value->raw = {};
    Touch(*node);
    return ERROR_SUCCESS;
}

LONG WineStore::DeleteValue(HKEY key, LPCSTR name) {
    auto lock = BeginCall();
    WineKey* node = nullptr;
    if (LONG rc = ResolveWithAccess(key, KEY_SET_VALUE, node); rc != ERROR_SUCCESS) return rc;
    if (!node->hive) return Refuse(KeyRights::ReadOnly);
    if (Refusing()) return Refuse(KeyRights::Full);
    auto& values = node->hive->Values(*node);
    WineValue* value = FindValue(values, View(name));
    if (!value) return ERROR_FILE_NOT_FOUND;
    values.erase(values.begin() + (value - values.data()));
    Touch(*node);
    return ERROR_SUCCESS;
}

// ---- seeding a new prefix

std::int64_t WineStore::SeedKey(std::int64_t parent, const std::string& path) {
    WineKey* key = nullptr;
    Walk(reinterpret_cast<WineKey*>(parent), path, true, KEY_ALL_ACCESS, key, nullptr);
    return reinterpret_cast<std::int64_t>(key);
}

void WineStore::SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) {
    WineKey* node = reinterpret_cast<WineKey*>(key);
    WineValue& value = node->hive->Values(*node).emplace_back();
    value.name = name;
    value.type = type;
    value.data = data;
    Touch(*node);
}

void WineStore::SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) {
    WineKey* container = reinterpret_cast<WineKey*>(parent);
    WineKey* to = reinterpret_cast<WineKey*>(target);
    // Keys right below HKEY_USERS belong to no file, so links there cannot be kept.
    if (!container->hive || Hive::FindChild(*container, name) || to->hive != &files_[kSystem].hive) return;
    WineKey* link = NewChild(*container, name);
    link->link = true;
    SeedValue(reinterpret_cast<std::int64_t>(link), "SymbolicLinkValue", REG_LINK,
              Utf16Bytes("\\Registry\\Machine\\" + PathInHive(*to)));
}

std::int64_t WineStore::RealRootId(HKEY root) {
    WineKey* key = nullptr;
    ResolveRoot(root, key);
    return reinterpret_cast<std::int64_t>(key);
}

} // namespace hw::platform::wine

namespace hw::platform {

std::unique_ptr<RegistryStore> OpenWineStore(const std::string& prefix, std::string* error, bool readOnly) {
    try {
        return std::make_unique<wine::WineStore>(prefix, readOnly);
    } catch (const std::exception& failure) {
        if (error) *error = failure.what();
        return nullptr;
    }
}

} // namespace hw::platform
