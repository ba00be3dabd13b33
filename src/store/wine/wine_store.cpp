#include "store/wine/wine_store.h"

#include "platform/user_identity.h"
#include "registry/protected_keys.h"
#include "store/wine/wine_text.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unordered_map>

namespace hw::store::wine {

namespace {

constexpr auto kSaveDelay = std::chrono::seconds(2);
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kCheckEvery = std::chrono::milliseconds(200);
constexpr int kMaxLinkDepth = 8;
constexpr const char* kFileNames[] = {"system.reg", "user.reg", "userdef.reg"};
constexpr const char* kReadOnlyReason = "the Wine prefix is open read-only";

WineKey* KeyOf(Node node) {
    return reinterpret_cast<WineKey*>(node);
}

Node NodeOf(WineKey* key) {
    return reinterpret_cast<Node>(key);
}

std::uint64_t NowTicks() {
    auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<std::uint64_t>(since1970.count() / 100) + 116444736000000000ull;
}

WineValue* FindNamedValue(std::vector<WineValue>& values, std::string_view name) {
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
        std::lock_guard lock(Mutex());
        stopping_ = true;
    }
    wake_.notify_all();
    if (saver_.joinable()) saver_.join();
    std::lock_guard lock(Mutex());
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
        file.hive.RenameRoot(sid);
        file.rootName = sid;
    }
    file.dirty = false;
    ConnectRoots();
    ProvideProtectedKeys();
}

void WineStore::ConnectRoots() {
    ChildList::Keys& users = users_.children.Edit();
    users.clear();
    for (std::size_t i : {kUserDefault, kUser}) {
        if (files_[i].hive.Text().empty()) continue; // not loaded yet: no root to connect
        WineKey& root = files_[i].hive.Root();
        root.parent = &users_;
        users.push_back(&root);
    }
    std::sort(users.begin(), users.end(),
              [](const WineKey* a, const WineKey* b) { return CompareNames(a->name, b->name) < 0; });
}

void WineStore::ProvideProtectedKeys() {
    if (files_[kSystem].hive.Text().empty()) return;
    WineKey& machine = files_[kSystem].hive.Root();
    static_assert(std::size(registry::kProtectedKeys) == std::tuple_size_v<decltype(standIns_)>);
    for (std::size_t i = 0; i < standIns_.size(); ++i) {
        const std::string_view name = registry::kProtectedKeys[i].name;
        if (Hive::FindChild(machine, name)) continue;
        // A key of no file: the rules let nothing below it be made, so nothing of it is ever written.
        WineKey* key = &standIns_[i];
        key->name = name;
        key->parent = &machine;
        ChildList::Keys& roots = machine.children.Edit();
        roots.insert(std::lower_bound(roots.begin(), roots.end(), key,
                                      [](const WineKey* a, const WineKey* b) {
                                          return CompareNames(a->name, b->name) < 0;
                                      }),
                     key);
    }
}

void WineStore::WriteSkeletonPrefix(const std::string& prefix) {
    std::filesystem::create_directories(prefix);
    std::string error;
    const std::string sid = platform::CurrentUserIdentity().sid;
    const std::pair<const char*, std::string> files[] = {{"system.reg", "REGISTRY\\\\Machine"},
                                                         {"user.reg", "REGISTRY\\\\User\\\\" + sid},
                                                         {"userdef.reg", "REGISTRY\\\\User\\\\.Default"}};
    for (const auto& [name, root] : files)
        if (!ReplaceFile((std::filesystem::path(prefix) / name).string(), EmptyHive(root), error))
            throw std::runtime_error(error);
    WineStore store(prefix, false);
    std::lock_guard lock(store.Mutex());
    // The skeleton holds the protected keys themselves.
    std::erase_if(store.files_[kSystem].hive.Root().children.Edit(),
                  [](const WineKey* key) { return !key->hive; });
    platform::SeedMachine(store);
    platform::SeedUser(store, platform::CurrentUserIdentity());
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
    std::unordered_map<Node, std::string> paths;
    ForEachOpenNode([&](Node& node) {
        if (node && KeyOf(node)->hive == &file.hive) paths[node] = PathInHive(*KeyOf(node));
    });
    file.identity = IdentityOf(file.path);
    file.hive.Load(std::move(text), file.rootName);
    ConnectRoots();
    ProvideProtectedKeys();
    ++structure_;
    ForEachOpenNode([&](Node& node) {
        if (auto found = paths.find(node); found != paths.end())
            node = NodeOf(Find(&file.hive.Root(), found->second));
    });
    return true;
}

void WineStore::ReloadChangedFiles() {
    for (HiveFile& file : files_)
        if (!file.dirty && !(IdentityOf(file.path) == file.identity)) Reload(file);
}

void WineStore::HoldCommits(bool hold) {
    std::lock_guard lock(Mutex());
    commitsHeld_ = hold;
}

void WineStore::SaverLoop() {
    std::unique_lock lock(Mutex());
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
            ReloadChangedFiles();
        }
    }
}

void WineStore::Flush() {
    std::lock_guard lock(Mutex());
    SaveLocked(WhileWineRuns::Fail);
    ReloadChangedFiles();
}

std::string WineStore::Description() const {
    return "Wine prefix " + prefix_;
}

std::string WineStore::Notice() const {
    std::lock_guard lock(Mutex());
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

std::string WineStore::Refusal() const {
    // Until a failed save was told, nothing more is taken, so what was saved stays what was asked first.
    if (std::string failure = CommitFailure(); !failure.empty()) return failure;
    return readOnly_ ? kReadOnlyReason : std::string();
}

std::vector<std::string> WineStore::Files() const {
    std::vector<std::string> paths;
    for (const HiveFile& file : files_)
        paths.push_back(file.path);
    paths.push_back(PrefixLock::PathIn(prefix_));
    return paths;
}

// ---- keys and links

WineStore::HiveFile* WineStore::FileOf(const WineKey& key) {
    for (HiveFile& file : files_)
        if (&file.hive == key.hive) return &file;
    return nullptr;
}

std::string WineStore::PathInHive(const WineKey& key) const {
    if (!key.parent || !key.hive || &key == &key.hive->Root()) return {};
    std::string above = PathInHive(*key.parent);
    return above.empty() ? std::string(key.name) : above.append("\\").append(key.name);
}

void WineStore::MarkChanged(WineKey& key) {
    key.changed = true;
    key.modified = NowTicks();
    if (HiveFile* file = FileOf(key)) file->dirty = true;
    lastChange_ = std::chrono::steady_clock::now();
}

WineKey* WineStore::NewChild(WineKey& parent, std::string_view name) {
    WineKey& child = parent.hive->AddChild(parent, name);
    child.values = std::make_unique<std::vector<WineValue>>();
    MarkChanged(child);
    MarkChanged(parent);
    ++structure_;
    return &child;
}

WineKey* WineStore::Follow(WineKey* key, int depth) {
    if (!key->link) return key;
    if (depth > kMaxLinkDepth || !key->hive) return nullptr;
    const WineValue* target = FindNamedValue(key->hive->Values(*key), "SymbolicLinkValue");
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
    if (consume("Machine")) return Find(&files_[kSystem].hive.Root(), path, depth + 1);
    if (consume("User")) return Find(&users_, path, depth + 1);
    return nullptr;
}

WineKey* WineStore::Find(WineKey* start, std::string_view path, int depth) {
    WineKey* current = start;
    std::size_t begin = 0;
    while (current && begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string_view::npos) end = path.size();
        if (end > begin) {
            WineKey* child = Hive::FindChild(*current, path.substr(begin, end - begin));
            current = child ? Follow(child, depth) : nullptr;
        }
        begin = end + 1;
    }
    return current;
}

// ---- what the registry asks of the keys

Node WineStore::Root(HKEY root) {
    switch (root) {
    case HKEY_LOCAL_MACHINE:
        return NodeOf(&files_[kSystem].hive.Root());
    case HKEY_USERS:
        return NodeOf(&users_);
    case HKEY_PERFORMANCE_DATA:
        return NodeOf(&performance_);
    case HKEY_DYN_DATA:
        return NodeOf(&dynamic_);
    default:
        return 0;
    }
}

bool WineStore::Alive(Node node, std::uint64_t&) {
    return node && !KeyOf(node)->deleted;
}

bool WineStore::Holds(Node node) const {
    return KeyOf(node)->hive != nullptr;
}

Node WineStore::Parent(Node node) {
    return NodeOf(KeyOf(node)->parent);
}

std::string WineStore::Name(Node node) {
    return std::string(KeyOf(node)->name);
}

registry::ChildRef WineStore::Child(Node parent, std::string_view name) {
    WineKey* child = Hive::FindChild(*KeyOf(parent), name);
    return child ? registry::ChildRef{NodeOf(child), child->link} : registry::ChildRef{};
}

Node WineStore::LinkTarget(Node link) {
    return NodeOf(Follow(KeyOf(link), 0));
}

registry::KeySummary WineStore::Summary(Node node, bool subKeys, bool values) {
    WineKey& key = *KeyOf(node);
    registry::KeySummary summary;
    if (subKeys) {
        summary.subKeys = static_cast<DWORD>(key.children.size());
        for (const WineKey* child : key.children)
            summary.longestSubKey = std::max(summary.longestSubKey, static_cast<DWORD>(child->name.size()));
    }
    if (values && key.hive) {
        for (const WineValue& value : key.hive->Values(key)) {
            ++summary.values;
            summary.longestValueName =
                std::max(summary.longestValueName, static_cast<DWORD>(value.name.size()));
            summary.largestData = std::max(summary.largestData, static_cast<DWORD>(value.data.size()));
        }
    }
    return summary;
}

bool WineStore::ChildAt(Node node, DWORD index, std::string_view& name) {
    const WineKey& key = *KeyOf(node);
    if (index >= key.children.size()) return false;
    name = key.children[index]->name;
    return true;
}

bool WineStore::ValueAt(Node node, DWORD index, registry::ValueView& value) {
    WineKey& key = *KeyOf(node);
    if (!key.hive) return false;
    const auto& values = key.hive->Values(key);
    if (index >= values.size()) return false;
    value = {values[index].name, values[index].type, values[index].data};
    return true;
}

bool WineStore::FindValue(Node node, std::string_view name, registry::ValueView& value) {
    WineKey& key = *KeyOf(node);
    if (!key.hive) return false;
    const WineValue* found = FindNamedValue(key.hive->Values(key), name);
    if (!found) return false;
    value = {found->name, found->type, found->data};
    return true;
}

bool WineStore::HasChildren(Node node) {
    return !KeyOf(node)->children.empty();
}

Node WineStore::TryAddKey(Node parent, std::string_view name) {
    WineKey& key = *KeyOf(parent);
    if (Hive::FindChild(key, name)) return 0;
    return NodeOf(NewChild(key, name));
}

void WineStore::DeleteKey(Node parent, Node key) {
    WineKey* victim = KeyOf(key);
    ChildList::Keys& siblings = KeyOf(parent)->children.Edit();
    siblings.erase(std::find(siblings.begin(), siblings.end(), victim));
    victim->deleted = true;
    victim->values.reset();
    MarkChanged(*KeyOf(parent));
    ++structure_;
}

void WineStore::SetValue(Node node, std::string_view name, DWORD type, std::string_view data) {
    WineKey& key = *KeyOf(node);
    auto& values = key.hive->Values(key);
    WineValue* value = FindNamedValue(values, name);
    if (value && value->type == type && value->data == data) return; // as Wine: no change
    if (!value) {
        value = &values.emplace_back();
        value->name = name;
    }
    value->type = type;
    value->data.assign(data);
    value->raw = {};
    MarkChanged(key);
}

bool WineStore::DeleteValue(Node node, std::string_view name) {
    WineKey& key = *KeyOf(node);
    auto& values = key.hive->Values(key);
    WineValue* value = FindNamedValue(values, name);
    if (!value) return false;
    values.erase(values.begin() + (value - values.data()));
    MarkChanged(key);
    return true;
}

// ---- seeding a new prefix

std::int64_t WineStore::SeedKey(std::int64_t parent, const std::string& path) {
    WineKey* current = KeyOf(parent);
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string::npos) end = path.size();
        if (end > begin) {
            const std::string_view name = std::string_view(path).substr(begin, end - begin);
            WineKey* child = Hive::FindChild(*current, name);
            current = child ? Follow(child, 0) : NewChild(*current, name);
        }
        begin = end + 1;
    }
    return NodeOf(current);
}

void WineStore::SeedValue(std::int64_t key, const std::string& name, DWORD type, const std::string& data) {
    WineKey* node = KeyOf(key);
    WineValue& value = node->hive->Values(*node).emplace_back();
    value.name = name;
    value.type = type;
    value.data = data;
    MarkChanged(*node);
}

void WineStore::SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) {
    WineKey* container = KeyOf(parent);
    WineKey* to = KeyOf(target);
    // Keys right below HKEY_USERS belong to no file, so links there cannot be kept.
    if (!container->hive || Hive::FindChild(*container, name) || to->hive != &files_[kSystem].hive) return;
    WineKey* link = NewChild(*container, name);
    link->link = true;
    SeedValue(NodeOf(link), "SymbolicLinkValue", REG_LINK,
              Utf16Bytes("\\Registry\\Machine\\" + PathInHive(*to)));
}

std::int64_t WineStore::RealRootId(HKEY root) {
    return Root(root);
}

} // namespace hw::store::wine
