#include "store/hive/hive_store.h"

#include "store/hive/compact_writer.h"
#include "store/hive/regf_layout.h"
#include "store/wine/wine_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace hw::store::hive {

namespace {

constexpr auto kCommitDelay = std::chrono::seconds(2);
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr auto kCheckEvery = std::chrono::milliseconds(200);
// Values of this many keys stay read; more are dropped between calls, so a walk of a large hive stays small.
constexpr std::size_t kCachedValueKeys = 256;
constexpr const char* kReadOnlyReason = "the hive is open read-only";

HiveKey* KeyOf(Node node) {
    return reinterpret_cast<HiveKey*>(node);
}

Node NodeOf(const HiveKey* key) {
    return reinterpret_cast<Node>(key);
}

bool NameBefore(const std::unique_ptr<HiveKey>& key, std::string_view name) {
    return wine::CompareNames(key->name, name) < 0;
}

// Frees what hivex hands out.
template <typename T> std::unique_ptr<T, decltype(&std::free)> Owned(T* pointer) {
    return {pointer, &std::free};
}

void MarkDeleted(HiveKey& key) {
    key.deleted = true;
    for (auto& child : key.children)
        MarkDeleted(*child);
}

std::string PathBelow(const HiveKey& key, const HiveKey& top) {
    if (&key == &top || !key.parent) return {};
    std::string above = PathBelow(*key.parent, top);
    return above.empty() ? key.name : above + "\\" + key.name;
}

} // namespace

// ---- opening and closing

HiveStore::HiveStore(HiveLayout layout, bool readOnly) : layout_(std::move(layout)), readOnly_(readOnly) {
    for (HiveKey* root : {&machine_, &users_, &performance_, &dynamic_})
        root->childrenRead = root->valuesRead = true;
    machine_.name = "HKEY_LOCAL_MACHINE";
    users_.name = "HKEY_USERS";
    if (readOnly) notice_ = "The registry is open read-only, as asked.";
    if (layout_.windowsInstallation) KeyBelow(machine_, "HARDWARE"); // filled only while Windows runs
    for (const HiveMount& mount : layout_.mounts)
        Mount(mount, readOnly);
    if (!readOnly_ && !mounts_.empty() &&
        std::none_of(mounts_.begin(), mounts_.end(), [](const Mounted& m) { return m.file->Writable(); }))
        readOnly_ = true;
    lastCheck_ = std::chrono::steady_clock::now();
    committer_ = std::thread([this] { CommitterLoop(); });
}

HiveStore::~HiveStore() {
    {
        std::lock_guard lock(Mutex());
        stopping_ = true;
    }
    wake_.notify_all();
    if (committer_.joinable()) committer_.join();
    std::lock_guard lock(Mutex());
    CommitLocked();
}

HiveKey& HiveStore::KeyBelow(HiveKey& parent, const std::string& name) {
    if (HiveKey* found = FindChild(parent, name)) return *found;
    auto key = std::make_unique<HiveKey>();
    key->name = name;
    key->parent = &parent;
    key->childrenRead = key->valuesRead = true;
    auto at = std::lower_bound(parent.children.begin(), parent.children.end(), name, NameBefore);
    return **parent.children.insert(at, std::move(key));
}

void HiveStore::Mount(const HiveMount& mount, bool readOnly) {
    Mounted& mounted = mounts_.emplace_back();
    mounted.file = std::make_unique<HiveFile>(mount.file, mount.created);
    std::string why;
    mounted.file->Open(!readOnly, why);
    if (!why.empty()) notice_ += (notice_.empty() ? "" : "\n") + why;
    HiveKey& root = KeyBelow(mount.root == HKEY_USERS ? users_ : machine_, mount.name);
    root.childrenRead = root.valuesRead = false;
    root.file = mounted.file.get();
    root.node = hivex_root(mounted.file->Handle());
    root.modified = static_cast<std::uint64_t>(hivex_node_timestamp(mounted.file->Handle(), root.node));
    mounted.root = &root;
    if (layout_.windowsInstallation && mount.root == HKEY_LOCAL_MACHINE &&
        wine::CompareNames(mount.name, "SYSTEM") == 0)
        FindCurrentControlSet(mounted);
}

void HiveStore::FindCurrentControlSet(Mounted& system) {
    // Windows makes the link when it starts; a stopped system has only Select\Current to say where it leads.
    HiveKey* select = FindChild(*system.root, "Select");
    DWORD current = 1;
    registry::ValueView value;
    if (select && FindValue(NodeOf(select), "Current", value) && value.type == REG_DWORD &&
        value.data.size() == 4)
        std::memcpy(&current, value.data.data(), 4);
    char name[32];
    std::snprintf(name, sizeof name, "ControlSet%03u", static_cast<unsigned>(current % 1000));
    system.linkName = "CurrentControlSet";
    system.linkTarget = name;
    HiveKey& link = KeyBelow(*system.root, system.linkName);
    link.linkTo = system.linkTarget;
}

HiveStore::Mounted* HiveStore::MountOf(const HiveKey& key) {
    for (Mounted& mount : mounts_)
        if (mount.file.get() == key.file) return &mount;
    return nullptr;
}

// ---- reading keys from their hives

void HiveStore::Unreadable(HiveKey& key) {
    key.unreadable = true;
    const std::string reason = "the key is damaged in " + key.file->Path();
    throw registry::StorageError(key.name + ": " + reason, ERROR_ACCESS_DENIED, reason);
}

std::vector<std::unique_ptr<HiveKey>>& HiveStore::Children(HiveKey& key) {
    if (key.childrenRead) return key.children;
    if (key.unreadable) Unreadable(key);
    hive_h* h = key.file->Handle();
    auto nodes = Owned(hivex_node_children(h, key.node));
    if (!nodes) Unreadable(key);
    std::vector<std::unique_ptr<HiveKey>> children;
    for (const hive_node_h* child = nodes.get(); *child; ++child) {
        auto name = Owned(hivex_node_name(h, *child));
        if (!name) continue; // a child whose name is damaged cannot be reached by name
        auto made = std::make_unique<HiveKey>();
        made->name = name.get();
        made->parent = &key;
        made->file = key.file;
        made->node = *child;
        made->modified = static_cast<std::uint64_t>(hivex_node_timestamp(h, *child));
        children.push_back(std::move(made));
    }
    // Links of no file already among the children stay.
    for (auto& kept : key.children)
        children.push_back(std::move(kept));
    std::sort(children.begin(), children.end(),
              [](const auto& a, const auto& b) { return wine::CompareNames(a->name, b->name) < 0; });
    key.children = std::move(children);
    key.childrenRead = true;
    return key.children;
}

std::vector<HiveValue> HiveStore::ReadValues(HiveKey& key) {
    if (key.unreadable) Unreadable(key);
    hive_h* h = key.file->Handle();
    auto handles = Owned(hivex_node_values(h, key.node));
    if (!handles) Unreadable(key);
    std::vector<HiveValue> values;
    for (const hive_value_h* value = handles.get(); *value; ++value) {
        std::uint32_t type = 0;
        std::size_t length = 0;
        auto name = Owned(hivex_value_key(h, *value));
        auto data = Owned(ReadHiveValue(h, *value, type, length));
        if (!name || !data) Unreadable(key);
        values.push_back(ReadValue(name.get(), static_cast<DWORD>(type), std::string(data.get(), length)));
    }
    return values;
}

std::vector<HiveValue>& HiveStore::Values(HiveKey& key) {
    if (key.valuesRead) return key.values;
    key.values = ReadValues(key);
    key.valuesRead = true;
    cachedValues_.push_back(&key);
    return key.values;
}

void HiveStore::BeginCall() {
    if (cachedValues_.size() <= kCachedValueKeys) return;
    for (HiveKey* key : cachedValues_) {
        if (key->valuesChanged || key->deleted) continue;
        key->values.clear();
        key->values.shrink_to_fit();
        key->valuesRead = false;
    }
    cachedValues_.clear();
}

HiveKey* HiveStore::FindChild(HiveKey& parent, std::string_view name) {
    auto& children = Children(parent);
    auto at = std::lower_bound(children.begin(), children.end(), name, NameBefore);
    return at != children.end() && wine::CompareNames((*at)->name, name) == 0 ? at->get() : nullptr;
}

// ---- what the registry asks of the keys

Node HiveStore::Root(HKEY root) {
    switch (root) {
    case HKEY_LOCAL_MACHINE:
        return NodeOf(&machine_);
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

bool HiveStore::Alive(Node node, std::uint64_t&) {
    return node && !KeyOf(node)->deleted;
}

bool HiveStore::Holds(Node node) const {
    // A read-only hive among writable ones refuses its keys' changes; when all are, Refusal() says why.
    const HiveKey* key = KeyOf(node);
    return key->file && (readOnly_ || key->file->Writable());
}

Node HiveStore::Parent(Node node) {
    return NodeOf(KeyOf(node)->parent);
}

std::string HiveStore::Name(Node node) {
    return KeyOf(node)->name;
}

registry::ChildRef HiveStore::Child(Node parent, std::string_view name) {
    HiveKey* child = FindChild(*KeyOf(parent), name);
    return child ? registry::ChildRef{NodeOf(child), !child->linkTo.empty()} : registry::ChildRef{};
}

Node HiveStore::LinkTarget(Node link) {
    HiveKey* key = KeyOf(link);
    HiveKey* target = key->parent ? FindChild(*key->parent, key->linkTo) : nullptr;
    return target && target->linkTo.empty() ? NodeOf(target) : 0;
}

registry::KeySummary HiveStore::Summary(Node node, bool subKeys, bool values) {
    HiveKey& key = *KeyOf(node);
    registry::KeySummary summary;
    if (subKeys) {
        const auto& children = Children(key);
        summary.subKeys = static_cast<DWORD>(children.size());
        for (const auto& child : children)
            summary.longestSubKey = std::max(summary.longestSubKey, static_cast<DWORD>(child->name.size()));
    }
    if (values) {
        for (const HiveValue& value : Values(key)) {
            ++summary.values;
            summary.longestValueName =
                std::max(summary.longestValueName, static_cast<DWORD>(value.name.size()));
            summary.largestData = std::max(summary.largestData, static_cast<DWORD>(value.Data().size()));
        }
    }
    return summary;
}

bool HiveStore::ChildAt(Node node, DWORD index, std::string_view& name) {
    const auto& children = Children(*KeyOf(node));
    if (index >= children.size()) return false;
    name = children[index]->name;
    return true;
}

bool HiveStore::ValueAt(Node node, DWORD index, registry::ValueView& value) {
    const auto& values = Values(*KeyOf(node));
    if (index >= values.size()) return false;
    value = {values[index].name, values[index].type, values[index].Data()};
    return true;
}

bool HiveStore::FindValue(Node node, std::string_view name, registry::ValueView& value) {
    for (const HiveValue& found : Values(*KeyOf(node))) {
        if (wine::CompareNames(found.name, name) != 0) continue;
        value = {found.name, found.type, found.Data()};
        return true;
    }
    return false;
}

bool HiveStore::HasChildren(Node node) {
    return !Children(*KeyOf(node)).empty();
}

// ---- changes

void HiveStore::Touch(HiveKey& key) {
    key.modified = regf::NowFileTime();
    if (Mounted* mount = MountOf(key)) mount->dirty = true;
    lastChange_ = std::chrono::steady_clock::now();
}

Node HiveStore::TryAddKey(Node parent, std::string_view name) {
    HiveKey& key = *KeyOf(parent);
    if (FindChild(key, name)) return 0;
    auto child = std::make_unique<HiveKey>();
    child->name = name;
    child->parent = &key;
    child->file = key.file;
    child->childrenRead = child->valuesRead = true;
    HiveKey* made = child.get();
    auto& children = Children(key);
    children.insert(std::lower_bound(children.begin(), children.end(), name, NameBefore), std::move(child));
    Touch(*made);
    Touch(key);
    ++structure_;
    return NodeOf(made);
}

void HiveStore::Bury(std::unique_ptr<HiveKey> key) {
    MarkDeleted(*key);
    graveyard_.push_back(std::move(key));
}

void HiveStore::DeleteKey(Node parent, Node key) {
    HiveKey& container = *KeyOf(parent);
    HiveKey* victim = KeyOf(key);
    auto& siblings = container.children;
    auto at = std::find_if(siblings.begin(), siblings.end(),
                           [&](const auto& child) { return child.get() == victim; });
    Bury(std::move(*at));
    siblings.erase(at);
    if (victim->file) Touch(container);
    ++structure_;
}

void HiveStore::SetValue(Node node, std::string_view name, DWORD type, std::string_view data) {
    HiveKey& key = *KeyOf(node);
    auto& values = Values(key);
    auto found = std::find_if(values.begin(), values.end(), [&](const HiveValue& value) {
        return wine::CompareNames(value.name, name) == 0;
    });
    HiveValue made = MakeValue(found == values.end() ? name : std::string_view(found->name), type, data);
    if (found != values.end() && found->type == type && found->raw == made.raw) return;
    if (found == values.end())
        values.push_back(std::move(made));
    else
        *found = std::move(made);
    key.valuesChanged = true;
    Touch(key);
}

bool HiveStore::DeleteValue(Node node, std::string_view name) {
    HiveKey& key = *KeyOf(node);
    auto& values = Values(key);
    auto found = std::find_if(values.begin(), values.end(), [&](const HiveValue& value) {
        return wine::CompareNames(value.name, name) == 0;
    });
    if (found == values.end()) return false;
    values.erase(found);
    key.valuesChanged = true;
    Touch(key);
    return true;
}

// ---- committing and reloading

bool HiveStore::CommitMount(Mounted& mount, std::string& error) {
    // hivex appends new cells for every change and never reuses space, so the changed hive is written anew.
    std::string original;
    if (!wine::ReadWholeFile(mount.file->Path(), original, error)) return false;
    HiveSource source;
    source.children = [this](HiveKey& key) -> const std::vector<std::unique_ptr<HiveKey>>& {
        return Children(key);
    };
    source.values = [this](HiveKey& key) { return key.valuesRead ? key.values : ReadValues(key); };
    source.original = original;
    std::string image;
    try {
        image = CompactHive(*mount.root, source);
    } catch (const registry::StorageError& failure) {
        error = failure.reason() + ": the hive is not rewritten";
        return false;
    }
    return mount.file->Commit(image, error);
}

void HiveStore::CommitLocked() {
    for (Mounted& mount : mounts_) {
        if (!mount.dirty) continue;
        std::string error;
        if (!CommitMount(mount, error)) {
            std::lock_guard lock(failureMutex_);
            if (commitFailure_.empty()) commitFailure_ = "changes not saved: " + error;
        }
        // What the store shows is what the file holds: the new hive, or the old one when it failed.
        mount.dirty = false;
        if (mount.file->Reopen()) Reload(mount);
    }
}

void HiveStore::Reload(Mounted& mount) {
    HiveKey& root = *mount.root;
    const HiveFile* file = mount.file.get();
    std::unordered_map<Node, std::string> paths;
    ForEachOpenNode([&](Node& node) {
        if (node && KeyOf(node)->file == file && !KeyOf(node)->deleted)
            paths[node] = PathBelow(*KeyOf(node), root);
    });
    std::erase_if(cachedValues_, [&](const HiveKey* key) { return key->file == file; });
    std::vector<std::unique_ptr<HiveKey>> old;
    for (auto& child : root.children)
        if (child->file) old.push_back(std::move(child));
    std::erase_if(root.children, [](const auto& child) { return !child; });
    root.values.clear();
    root.childrenRead = root.valuesRead = root.unreadable = root.valuesChanged = false;
    root.node = hivex_root(mount.file->Handle());
    root.modified = static_cast<std::uint64_t>(hivex_node_timestamp(mount.file->Handle(), root.node));
    ++structure_;
    ForEachOpenNode([&](Node& node) {
        if (!node || KeyOf(node)->file != file || KeyOf(node) == &root) return;
        auto found = paths.find(node);
        node = found == paths.end() ? 0 : NodeOf(Find(root, found->second));
    });
    // Every open handle now names a key of the new tree, so the old one and its buried keys can go.
    std::erase_if(graveyard_, [&](const auto& key) { return key->file == file; });
}

HiveKey* HiveStore::Find(HiveKey& top, std::string_view path) {
    HiveKey* key = &top;
    for (std::size_t begin = 0; key && begin < path.size();) {
        const std::size_t end = std::min(path.find('\\', begin), path.size());
        try {
            key = FindChild(*key, path.substr(begin, end - begin));
        } catch (const registry::StorageError&) {
            key = nullptr;
        }
        begin = end + 1;
    }
    return key;
}

void HiveStore::ReloadChangedFiles() {
    for (Mounted& mount : mounts_)
        if (!mount.dirty && mount.file->ChangedOnDisk() && mount.file->Reopen()) Reload(mount);
}

void HiveStore::CommitterLoop() {
    std::unique_lock lock(Mutex());
    while (!stopping_) {
        wake_.wait_for(lock, kTick);
        if (stopping_) break;
        const auto now = std::chrono::steady_clock::now();
        const bool anyDirty =
            std::any_of(mounts_.begin(), mounts_.end(), [](const Mounted& m) { return m.dirty; });
        if (anyDirty && !commitsHeld_ && now - lastChange_ >= kCommitDelay) CommitLocked();
        if (now - lastCheck_ >= kCheckEvery) {
            lastCheck_ = now;
            ReloadChangedFiles();
        }
    }
}

void HiveStore::Flush() {
    std::lock_guard lock(Mutex());
    CommitLocked();
    ReloadChangedFiles();
}

void HiveStore::HoldCommits(bool hold) {
    std::lock_guard lock(Mutex());
    commitsHeld_ = hold;
}

bool HiveStore::ReadOnly() const {
    return readOnly_;
}

std::string HiveStore::Notice() const {
    return notice_;
}

std::string HiveStore::CommitFailure() const {
    std::lock_guard lock(failureMutex_);
    return commitFailure_;
}

void HiveStore::ClearCommitFailure() {
    std::lock_guard lock(failureMutex_);
    commitFailure_.clear();
}

std::string HiveStore::Refusal() const {
    if (std::string failure = CommitFailure(); !failure.empty()) return failure;
    return readOnly_ ? kReadOnlyReason : std::string();
}

std::vector<std::string> HiveStore::Files() const {
    std::vector<std::string> paths;
    for (const Mounted& mount : mounts_)
        paths.push_back(mount.file->Path());
    return paths;
}

} // namespace hw::store::hive
