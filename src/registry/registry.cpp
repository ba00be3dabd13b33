#include "registry/registry.h"
#include "registry/protected_keys.h"
#include "registry/registry_buffers.h"

#include <algorithm>

namespace hw::registry {

namespace {

constexpr const char* kProtectedReason = "access denied";

bool IsRoot(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

bool IsRealRoot(HKEY key) {
    return key == HKEY_LOCAL_MACHINE || key == HKEY_USERS || key == HKEY_PERFORMANCE_DATA ||
           key == HKEY_DYN_DATA;
}

std::string_view View(LPCSTR text) {
    return text ? std::string_view(text) : std::string_view();
}

char UpperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

KeyRights ProtectionOf(std::string_view name) {
    for (const ProtectedKey& key : kProtectedKeys)
        if (SameName(key.name, name)) return key.rights;
    return KeyRights::Full;
}

} // namespace

// Hands over the store's walk of a subtree with the rules opening each key would apply: protected keys and
// links that lead nowhere are not entered, and a link is walked where it leads.
class Registry::SubtreeWalk final : public platform::SubtreeStream, private KeyVisitor {
  public:
    SubtreeWalk(Registry& registry, HKEY handle) : registry_(registry), handle_(handle) {
        std::lock_guard lock(registry_.storage_->Mutex());
        registry_.walks_.insert(this);
    }
    ~SubtreeWalk() override {
        {
            std::lock_guard lock(registry_.storage_->Mutex());
            registry_.walks_.erase(this);
        }
        registry_.CloseKey(handle_);
    }
    LONG Next(platform::SubtreeVisitor& visitor) override;
    // The keys the walk stands in, for a store that reloads its keys between two calls.
    void VisitNodes(const KeyStorage::NodeVisitor& visit) {
        for (WalkLevel& level : walk_)
            visit(level.node);
        for (Target& target : entered_)
            visit(target.node);
    }

  private:
    Visit Key(Node& node, std::string_view name, bool link, DWORD depth) override;
    void Value(const ValueView& value) override { visitor_->Value(value.name, value.type, value.data); }
    bool Pause() override { return visitor_->Pause(); }

    Registry& registry_;
    HKEY handle_;
    bool started_ = false;
    bool finished_ = false;
    std::vector<WalkLevel> walk_;
    std::vector<Target> entered_; // the keys the walk is in, by depth
    platform::SubtreeVisitor* visitor_ = nullptr;
};

Registry::Registry(std::unique_ptr<KeyStorage> storage) : storage_(std::move(storage)) {
    storage_->SetOpenNodes([this](const KeyStorage::NodeVisitor& visit) {
        for (auto& [key, handle] : handles_)
            visit(handle.target.node);
        for (SubtreeWalk* walk : walks_)
            walk->VisitNodes(visit);
    });
}

Registry::~Registry() {
    // The store's background work may still ask for the open handles while it stops.
    storage_.reset();
}

// ---- calls, reasons and rights

template <typename Body> LONG Registry::Guarded(Body&& body) {
    std::lock_guard lock(storage_->Mutex());
    // A reason tells about the latest call only.
    if (reasonNoted_) NoteFailure({});
    try {
        storage_->BeginCall();
        return body();
    } catch (const StorageError& error) {
        storage_->Abandon(error);
        NoteFailure(error.reason());
        return error.result();
    }
}

void Registry::NoteFailure(std::string reason) {
    reasonNoted_ = !reason.empty();
    std::lock_guard lock(failureMutex_);
    failureReason_ = std::move(reason);
}

LONG Registry::Refuse(KeyRights rights) {
    NoteFailure(rights == KeyRights::Full ? storage_->Refusal() : kProtectedReason);
    return ERROR_ACCESS_DENIED;
}

KeyRights Registry::Effective(KeyRights rights) const {
    if (rights == KeyRights::Full && !storage_->Refusal().empty()) return KeyRights::ReadOnly;
    return rights;
}

LONG Registry::Grant(KeyRights rights, REGSAM requested, bool maximum, REGSAM& granted) {
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

KeyRights Registry::RightsOf(const Target& target) const {
    // A key the store cannot change (one that belongs to no file) only reads.
    if (target.rights == KeyRights::Full && !storage_->Holds(target.node)) return KeyRights::ReadOnly;
    return target.rights;
}

KeyRights Registry::ChildRights(const Target& parent, std::string_view name) const {
    if (parent.rights != KeyRights::Full) return parent.rights;
    return parent.node == storage_->Root(HKEY_LOCAL_MACHINE) ? ProtectionOf(name) : KeyRights::Full;
}

Registry::Target Registry::Locate(Node node) {
    Target located{node, KeyRights::Full, 0};
    const Node machine = storage_->Root(HKEY_LOCAL_MACHINE);
    Node top = 0;
    for (Node up = node;;) {
        const Node parent = storage_->Parent(up);
        if (!parent) break;
        if (parent == machine) top = up;
        ++located.depth;
        up = parent;
    }
    if (top) located.rights = ProtectionOf(storage_->Name(top));
    return located;
}

// ---- roots, handles and paths

LONG Registry::ResolveRoot(HKEY root, Target& target) {
    if (IsRealRoot(root)) {
        target = {storage_->Root(root), KeyRights::Full, 0};
        return target.node ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }
    AliasCache& alias = aliases_[root - HKEY_CLASSES_ROOT];
    if (alias.structure == storage_->Structure()) {
        target = alias.target;
        return alias.result;
    }
    Target start{storage_->Root(HKEY_LOCAL_MACHINE), KeyRights::Full, 0};
    std::string path;
    if (root == HKEY_CLASSES_ROOT) {
        path = "SOFTWARE\\Classes";
    } else if (root == HKEY_CURRENT_USER) {
        start.node = storage_->Root(HKEY_USERS);
        path = storage_->CurrentUserKey();
    } else {
        path = "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current";
    }
    alias.result = Walk(start, path, false, KEY_ALL_ACCESS, alias.target, nullptr);
    alias.structure = storage_->Structure();
    target = alias.target;
    return alias.result;
}

LONG Registry::ResolveHandle(HKEY key, Target& target, REGSAM* access) {
    if (IsRoot(key)) {
        if (access) *access = KEY_ALL_ACCESS;
        return ResolveRoot(key, target);
    }
    auto found = handles_.find(key);
    if (found == handles_.end()) return ERROR_INVALID_HANDLE;
    if (!storage_->Alive(found->second.target.node, found->second.found)) return ERROR_KEY_DELETED;
    target = found->second.target;
    if (access) *access = found->second.access;
    return ERROR_SUCCESS;
}

LONG Registry::ResolveWithAccess(HKEY key, REGSAM needed, Target& target) {
    REGSAM access = 0;
    if (LONG rc = ResolveHandle(key, target, &access); rc != ERROR_SUCCESS) return rc;
    return (access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LONG Registry::ResolveForChange(HKEY key, Target& target) {
    // Resolved inside the change, so the key cannot vanish before the change lands.
    if (storage_->Refusal().empty()) storage_->BeginChange();
    if (LONG rc = ResolveWithAccess(key, KEY_SET_VALUE, target); rc != ERROR_SUCCESS) return rc;
    REGSAM granted = 0;
    // A root that is a view of a protected key is as protected as the key.
    return Grant(RightsOf(target), KEY_SET_VALUE, false, granted);
}

HKEY Registry::NewHandle(const Target& target, REGSAM access) {
    do {
        nextHandle_ += 4;
        if (nextHandle_ >= HKEY_CLASSES_ROOT) nextHandle_ = 0x1000;
    } while (handles_.count(nextHandle_));
    handles_.emplace(nextHandle_, Handle{target, access, storage_->Epoch()});
    storage_->Retain(target.node);
    return nextHandle_;
}

LONG Registry::Enter(const Target& parent, ChildRef child, std::string_view name, Target& result) {
    if (!child.node) return ERROR_FILE_NOT_FOUND;
    if (!child.link) {
        result = {child.node, ChildRights(parent, name), parent.depth + 1};
        return ERROR_SUCCESS;
    }
    // A link's target lies wherever it lies; its own chain of parents says how deep and how protected.
    const Node target = storage_->LinkTarget(child.node);
    if (!target) return ERROR_FILE_NOT_FOUND;
    result = Locate(target);
    return ERROR_SUCCESS;
}

LONG Registry::Walk(Target start, std::string_view path, bool create, REGSAM handleAccess, Target& result,
                    bool* created) {
    Target current = start;
    bool first = true;
    bool parentIsNew = false; // a key made a step ago has no subkeys to look up
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find('\\', begin);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view name = path.substr(begin, end - begin);
        begin = end + 1;
        if (name.empty()) continue;
        if (name.size() > MAX_KEY_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
        const bool handleMayCreate = !first || (handleAccess & KEY_CREATE_SUB_KEY);
        const KeyRights rights = RightsOf(current);
        const bool mayCreate = create && handleMayCreate && Effective(rights) == KeyRights::Full &&
                               current.depth < MAX_KEY_DEPTH;
        Target child;
        LONG found = ERROR_FILE_NOT_FOUND;
        if (!parentIsNew) {
            // Most last names a creation asks for are new (an import): adding is tried first, and only an
            // existing name is looked up.
            const bool last = path.find_first_not_of('\\', end) == std::string_view::npos;
            if (mayCreate && last) {
                if (const Node added = storage_->TryAddKey(current.node, name)) {
                    Keep(NoteKeyAdded(added));
                    child = {added, ChildRights(current, name), current.depth + 1};
                    if (created) *created = true;
                    current = child;
                    break;
                }
            }
            found = Enter(current, storage_->Child(current.node, name), name, child);
        }
        if (found != ERROR_SUCCESS) {
            if (!create || found != ERROR_FILE_NOT_FOUND) return found;
            // A handle opened without the right to create is the request's fault, not the key's.
            if (!handleMayCreate) return ERROR_ACCESS_DENIED;
            if (Effective(rights) != KeyRights::Full) return Refuse(rights);
            if (current.depth >= MAX_KEY_DEPTH) {
                NoteFailure("a key may be at most " + std::to_string(MAX_KEY_DEPTH) + " levels deep");
                return ERROR_INVALID_PARAMETER;
            }
            storage_->BeginChange();
            const Node added = storage_->TryAddKey(current.node, name);
            if (!added) return ERROR_FILE_NOT_FOUND; // a link that leads nowhere
            Keep(NoteKeyAdded(added));
            child = {added, ChildRights(current, name), current.depth + 1};
            if (created) *created = true;
            parentIsNew = true;
        }
        current = child;
        first = false;
    }
    result = current;
    return ERROR_SUCCESS;
}

// ---- the journal

const Registry::Place* Registry::RootPlace(Node top) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA})
        if (storage_->Root(root) == top) return &(places_[top] = Place{root, {}});
    return nullptr;
}

const Registry::Place* Registry::PlaceOf(Node node) {
    constexpr std::size_t kPlacesKept = 1 << 16;
    if (placesStep_ != Journal().StepSerial() || places_.size() > kPlacesKept) {
        places_.clear();
        placesStep_ = Journal().StepSerial();
    }
    // Up to the nearest key whose place is known, then down again, noting each place on the way.
    std::vector<std::pair<Node, std::string>> climbed;
    const Place* known = nullptr;
    for (Node up = node; !known;) {
        if (const auto found = places_.find(up); found != places_.end()) {
            known = &found->second;
            break;
        }
        const Node parent = storage_->Parent(up);
        if (!parent) {
            known = RootPlace(up);
            if (!known) return nullptr;
            break;
        }
        climbed.emplace_back(up, storage_->Name(up));
        up = parent;
    }
    Place place = *known;
    for (auto step = climbed.rbegin(); step != climbed.rend(); ++step) {
        // The user's own keys are told as the user sees them.
        if (place.root == HKEY_USERS && place.path.empty() &&
            SameName(step->second, storage_->CurrentUserKey())) {
            place.root = HKEY_CURRENT_USER;
        } else {
            if (!place.path.empty()) place.path += '\\';
            place.path += step->second;
        }
        known = &(places_[step->first] = place);
    }
    return known;
}

std::optional<JournalEntry> Registry::EntryFor(Node node, JournalEntry::Kind kind) {
    const Place* place = PlaceOf(node);
    if (!place) return std::nullopt;
    JournalEntry entry;
    entry.kind = kind;
    entry.root = place->root;
    entry.keyPath = place->path;
    return entry;
}

std::optional<JournalEntry> Registry::NoteValueWrite(Node node, std::string_view name,
                                                     std::optional<TypedData> after) {
    if (!Journal().Recording()) return std::nullopt;
    auto entry = EntryFor(node, JournalEntry::Kind::ValueWritten);
    if (!entry) return entry;
    entry->valueName = name;
    if (ValueView old; storage_->FindValue(node, name, old))
        entry->before = TypedData{old.type, std::string(old.data)};
    entry->after = std::move(after);
    return entry;
}

std::optional<JournalEntry> Registry::NoteKeyAdded(Node node) {
    if (!Journal().Recording()) return std::nullopt;
    return EntryFor(node, JournalEntry::Kind::KeyAdded);
}

std::optional<JournalEntry> Registry::NoteKeyDeleting(Node node) {
    if (!Journal().Recording()) return std::nullopt;
    auto entry = EntryFor(node, JournalEntry::Kind::KeyDeleted);
    if (!entry) return entry;
    ValueView value;
    for (DWORD index = 0; storage_->ValueAt(node, index, value); ++index)
        entry->values.push_back({std::string(value.name), {value.type, std::string(value.data)}});
    return entry;
}

void Registry::Keep(std::optional<JournalEntry> entry) {
    if (entry) Journal().Record(std::move(*entry));
}

// ---- the registry functions

LONG Registry::OpenKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result) {
    return Open(parent, subKey, access, false, result);
}

LONG Registry::OpenKeyMaximum(HKEY parent, LPCSTR subKey, PHKEY result) {
    return Open(parent, subKey, 0, true, result);
}

LONG Registry::Open(HKEY parent, LPCSTR subKey, REGSAM access, bool maximum, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        Target start, target;
        if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
        if (LONG rc = Walk(start, View(subKey), false, 0, target, nullptr); rc != ERROR_SUCCESS) return rc;
        REGSAM granted = 0;
        if (LONG rc = Grant(RightsOf(target), access, maximum, granted); rc != ERROR_SUCCESS) return rc;
        *result = NewHandle(target, granted);
        return ERROR_SUCCESS;
    });
}

LONG Registry::CreateKey(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        // Looked up inside the change, so no other process can create or delete a key in between.
        if (storage_->Refusal().empty()) storage_->BeginChange();
        Target start, target;
        REGSAM parentAccess = 0;
        if (LONG rc = ResolveHandle(parent, start, &parentAccess); rc != ERROR_SUCCESS) return rc;
        bool created = false;
        if (LONG rc = Walk(start, View(subKey), true, parentAccess, target, &created); rc != ERROR_SUCCESS)
            return rc;
        REGSAM granted = 0;
        if (LONG rc = Grant(RightsOf(target), access, access == 0, granted); rc != ERROR_SUCCESS) return rc;
        *result = NewHandle(target, granted);
        if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        return ERROR_SUCCESS;
    });
}

LONG Registry::CloseKey(HKEY key) {
    std::lock_guard lock(storage_->Mutex());
    if (IsRoot(key)) return ERROR_SUCCESS;
    auto found = handles_.find(key);
    if (found == handles_.end()) return ERROR_INVALID_HANDLE;
    storage_->Release(found->second.target.node);
    handles_.erase(found);
    return ERROR_SUCCESS;
}

LONG Registry::DeleteKey(HKEY parent, LPCSTR subKey) {
    const std::string_view path = View(subKey);
    if (path.find_first_not_of('\\') == std::string_view::npos) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        if (storage_->Refusal().empty()) storage_->BeginChange();
        Target start;
        if (LONG rc = ResolveHandle(parent, start); rc != ERROR_SUCCESS) return rc;
        // The last name is not followed, so deleting a link removes only the link.
        const std::size_t last = path.find_last_not_of('\\');
        const std::size_t cut = path.rfind('\\', last);
        const std::string_view leaf =
            cut == std::string_view::npos ? path.substr(0, last + 1) : path.substr(cut + 1, last - cut);
        Target container = start;
        if (cut != std::string_view::npos) {
            if (LONG rc = Walk(start, path.substr(0, cut), false, 0, container, nullptr); rc != ERROR_SUCCESS)
                return rc;
        }
        const ChildRef victim = storage_->Child(container.node, leaf);
        if (!victim.node) return ERROR_FILE_NOT_FOUND;
        const KeyRights rights = RightsOf({victim.node, ChildRights(container, leaf), 0});
        if (Effective(rights) != KeyRights::Full) return Refuse(rights);
        // A file's own root and the keys behind the alias roots stay. Only a key named like one can be one.
        if (!storage_->Holds(container.node)) return Refuse(KeyRights::ReadOnly);
        if (SameName(leaf, "Classes") || SameName(leaf, storage_->CurrentUserKey())) {
            for (HKEY alias : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER}) {
                Target view;
                if (ResolveRoot(alias, view) == ERROR_SUCCESS && view.node == victim.node)
                    return Refuse(KeyRights::ReadOnly);
            }
        }
        if (storage_->HasChildren(victim.node)) return ERROR_ACCESS_DENIED;
        storage_->BeginChange();
        auto note = NoteKeyDeleting(victim.node);
        storage_->DeleteKey(container.node, victim.node);
        places_.erase(victim.node);
        Keep(std::move(note));
        return ERROR_SUCCESS;
    });
}

LONG Registry::QueryInfoKey(HKEY key, LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD values,
                            LPDWORD maxValueNameLen, LPDWORD maxValueLen, FILETIME* lastWrite) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        const KeySummary summary =
            storage_->Summary(target.node, subKeys || maxSubKeyLen, values || maxValueNameLen || maxValueLen);
        if (subKeys) *subKeys = summary.subKeys;
        if (maxSubKeyLen) *maxSubKeyLen = summary.longestSubKey;
        if (values) *values = summary.values;
        if (maxValueNameLen) *maxValueNameLen = summary.longestValueName;
        if (maxValueLen) *maxValueLen = summary.largestData;
        if (lastWrite) {
            const std::uint64_t time = storage_->LastWrite(target.node);
            *lastWrite = FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        }
        return ERROR_SUCCESS;
    });
}

LONG Registry::EnumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_ENUMERATE_SUB_KEYS, target); rc != ERROR_SUCCESS) return rc;
        std::string_view child;
        if (!storage_->ChildAt(target.node, index, child)) return ERROR_NO_MORE_ITEMS;
        return CopyName(child, name, nameLength);
    });
}

LONG Registry::EnumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD type, LPBYTE data,
                         LPDWORD dataLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        ValueView value;
        if (!storage_->ValueAt(target.node, index, value)) return ERROR_NO_MORE_ITEMS;
        if (LONG rc = CopyName(value.name, name, nameLength); rc != ERROR_SUCCESS) return rc;
        if (type) *type = value.type;
        return CopyData(value.data, data, dataLength);
    });
}

LONG Registry::QueryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD dataLength) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveWithAccess(key, KEY_QUERY_VALUE, target); rc != ERROR_SUCCESS) return rc;
        ValueView value;
        if (!storage_->FindValue(target.node, View(name), value)) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value.type;
        return CopyData(value.data, data, dataLength);
    });
}

LONG Registry::WriteValue(Node node, std::string_view name, DWORD type, std::string_view bytes) {
    if (name.size() > MAX_VALUE_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
    // The data is copied for the journal only while it records.
    auto note = Journal().Recording() ? NoteValueWrite(node, name, TypedData{type, std::string(bytes)})
                                      : std::nullopt;
    storage_->SetValue(node, name, type, bytes);
    Keep(std::move(note));
    return ERROR_SUCCESS;
}

LONG Registry::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    if (View(name).size() > MAX_VALUE_NAME_LENGTH) return ERROR_INVALID_PARAMETER;
    if (!data && size) return ERROR_INVALID_PARAMETER;
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveForChange(key, target); rc != ERROR_SUCCESS) return rc;
        return WriteValue(target.node, View(name), type, {reinterpret_cast<const char*>(data), size});
    });
}

void Registry::SetValues(HKEY key, std::span<platform::ValueWrite> values) {
    std::size_t written = 0;
    const LONG rc = Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveForChange(key, target); rc != ERROR_SUCCESS) return rc;
        // With no journal to note each write in, the store takes the values together.
        const bool named = std::all_of(values.begin(), values.end(), [](const platform::ValueWrite& value) {
            return value.name.size() <= MAX_VALUE_NAME_LENGTH;
        });
        if (named && !Journal().Recording()) {
            storage_->SetValues(target.node, values);
            for (; written < values.size(); ++written)
                values[written].result = ERROR_SUCCESS;
            return ERROR_SUCCESS;
        }
        for (; written < values.size(); ++written) {
            platform::ValueWrite& value = values[written];
            value.result = WriteValue(target.node, value.name, value.type, value.data);
        }
        return ERROR_SUCCESS;
    });
    // A refused key or a failed store fails the values not written.
    for (; written < values.size(); ++written)
        values[written].result = rc;
}

LONG Registry::DeleteValue(HKEY key, LPCSTR name) {
    return Guarded([&]() -> LONG {
        Target target;
        if (LONG rc = ResolveForChange(key, target); rc != ERROR_SUCCESS) return rc;
        auto note = NoteValueWrite(target.node, View(name), std::nullopt);
        if (!storage_->DeleteValue(target.node, View(name))) return ERROR_FILE_NOT_FOUND;
        Keep(std::move(note));
        return ERROR_SUCCESS;
    });
}

// ---- what the store tells about itself

void Registry::Flush() {
    storage_->Flush();
}

void Registry::HoldCommits(bool hold) {
    storage_->HoldCommits(hold);
}

std::string Registry::Description() const {
    return storage_->Description();
}

bool Registry::ReadOnly() const {
    return storage_->ReadOnly();
}

std::string Registry::Notice() const {
    return storage_->Notice();
}

std::string Registry::NativePath(const std::string& path) const {
    return storage_->NativePath(path);
}

std::string Registry::CommitFailure() const {
    return storage_->CommitFailure();
}

void Registry::ClearCommitFailure() {
    storage_->ClearCommitFailure();
}

std::string Registry::FailureReason() const {
    std::lock_guard lock(failureMutex_);
    return failureReason_;
}

std::vector<std::string> Registry::Files() const {
    return storage_->Files();
}

// ---- subtrees

LONG Registry::SubtreeWalk::Next(platform::SubtreeVisitor& visitor) {
    if (finished_) return ERROR_NO_MORE_ITEMS;
    visitor_ = &visitor;
    return registry_.Guarded([&]() -> LONG {
        Target top;
        if (LONG rc = registry_.ResolveWithAccess(handle_, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, top);
            rc != ERROR_SUCCESS)
            return rc;
        if (!started_) {
            started_ = true;
            entered_.assign(1, top);
            if (!visitor.Key({}, 0)) {
                finished_ = true;
                return ERROR_NO_MORE_ITEMS;
            }
        }
        registry_.storage_->WalkSubtree(top.node, walk_, *this);
        finished_ = walk_.empty();
        return finished_ ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS;
    });
}

KeyVisitor::Visit Registry::SubtreeWalk::Key(Node& node, std::string_view name, bool link, DWORD depth) {
    Target entered;
    if (registry_.Enter(entered_[depth - 1], {node, link}, name, entered) != ERROR_SUCCESS ||
        registry_.RightsOf(entered) == KeyRights::None) {
        visitor_->Unopened(name, depth);
        return Visit::Skip;
    }
    // A link back to a key the walk is already inside would repeat that subtree forever.
    if (link && std::any_of(entered_.begin(), entered_.begin() + depth,
                            [&](const Target& above) { return above.node == entered.node; })) {
        visitor_->Unopened(name, depth);
        return Visit::Skip;
    }
    if (!visitor_->Key(name, depth)) return Visit::Skip;
    entered_.resize(depth);
    entered_.push_back(entered);
    node = entered.node;
    return Visit::Enter;
}

LONG Registry::OpenSubtree(HKEY parent, LPCSTR subKey, std::unique_ptr<platform::SubtreeStream>& stream) {
    HKEY handle = 0;
    if (LONG rc = OpenKeyMaximum(parent, subKey, &handle); rc != ERROR_SUCCESS) return rc;
    stream = std::make_unique<SubtreeWalk>(*this, handle);
    return ERROR_SUCCESS;
}

} // namespace hw::registry
