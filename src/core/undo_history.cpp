#include "core/undo_history.h"

#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/scoped_key.h"
#include "core/value_text.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace hw::core {

namespace {

using registry::JournalEntry;
using registry::JournalStep;
using registry::TypedData;
using Kind = JournalEntry::Kind;

std::string Folded(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return folded;
}

std::string KeyItem(HKEY root, std::string_view path) {
    return std::to_string(root) + '\\' + Folded(path);
}

std::string ParentItem(const JournalEntry& entry) {
    const std::size_t cut = entry.keyPath.rfind('\\');
    return cut == std::string::npos ? std::string() : KeyItem(entry.root, entry.keyPath.substr(0, cut));
}

ScopedKey Open(const JournalEntry& entry, REGSAM access) {
    HKEY key = 0;
    if (RegOpenKeyExA(entry.root, entry.keyPath.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return ScopedKey::Owning(key);
}

std::optional<TypedData> Read(HKEY key, const std::string& name) {
    const auto raw = QueryValueData(key, name);
    if (!raw) return std::nullopt;
    return TypedData{raw->type, std::string(raw->data.begin(), raw->data.end())};
}

// Plays the step through on a picture of the keys and values it touches, checking that each entry finds what
// it left (undo) or what it found (redo), as it will when applied: the store is read once per key and value,
// and a key the picture made has no subkeys to look up, so a deleted subtree costs one lookup.
class Rehearsal {
  public:
    explicit Rehearsal(bool undoing) : undoing_(undoing) {}

    bool Holds(const JournalEntry& entry) {
        KeyState& key = Key(entry);
        const bool removes = undoing_ ? entry.kind == Kind::KeyAdded : entry.kind == Kind::KeyDeleted;
        if (entry.kind == Kind::ValueWritten) {
            const std::optional<TypedData>& found = undoing_ ? entry.after : entry.before;
            const std::optional<TypedData>& left = undoing_ ? entry.before : entry.after;
            if (!key.exists || Value(entry, key, entry.valueName) != found) return false;
            key.values[Folded(entry.valueName)] = left;
            return true;
        }
        if (removes) {
            if (!key.exists || !HasOnly(entry, key, entry.kind == Kind::KeyDeleted ? entry.values : kNone))
                return false;
            key = {false, true, true, {}};
            return true;
        }
        if (key.exists) return false;
        key = {true, true, true, {}};
        if (entry.kind == Kind::KeyDeleted)
            for (const registry::StoredValue& value : entry.values)
                key.values[Folded(value.name)] = value.value;
        return true;
    }

  private:
    struct KeyState {
        bool exists = false;
        bool made = false;      // by the picture: no subkeys but those the step makes
        bool allValues = false; // every value of the key is in values
        std::unordered_map<std::string, std::optional<TypedData>> values;
    };
    static inline const std::vector<registry::StoredValue> kNone;

    KeyState& Key(const JournalEntry& entry) {
        const std::string item = KeyItem(entry.root, entry.keyPath);
        if (const auto found = keys_.find(item); found != keys_.end()) return found->second;
        const auto parent = keys_.find(ParentItem(entry));
        const bool knownAbsent = parent != keys_.end() && (!parent->second.exists || parent->second.made);
        KeyState state;
        state.exists = !knownAbsent && KeyExists(entry.root, entry.keyPath);
        state.allValues = !state.exists;
        return keys_.emplace(item, std::move(state)).first->second;
    }

    std::optional<TypedData> Value(const JournalEntry& entry, KeyState& key, const std::string& name) {
        const std::string folded = Folded(name);
        if (const auto found = key.values.find(folded); found != key.values.end()) return found->second;
        if (key.allValues) return std::nullopt;
        const ScopedKey open = Open(entry, KEY_QUERY_VALUE);
        return key.values[folded] = open ? Read(open.get(), name) : std::nullopt;
    }

    bool HasOnly(const JournalEntry& entry, KeyState& key,
                 const std::vector<registry::StoredValue>& expected) {
        if (!key.allValues) {
            NameList names;
            if (const ScopedKey open = Open(entry, KEY_QUERY_VALUE)) ListValueNames(open.get(), names);
            for (const std::string& name : names)
                Value(entry, key, name);
            key.allValues = true;
        }
        const auto present = std::count_if(key.values.begin(), key.values.end(),
                                           [](const auto& value) { return value.second.has_value(); });
        return static_cast<std::size_t>(present) == expected.size() &&
               std::all_of(expected.begin(), expected.end(), [&](const registry::StoredValue& value) {
                   return Value(entry, key, value.name) == value.value;
               });
    }

    bool undoing_;
    std::unordered_map<std::string, KeyState> keys_;
};

bool SetValues(HKEY key, const std::string& name, const TypedData& value) {
    return RegSetValueExA(key, name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool CreateWith(const JournalEntry& entry, const std::vector<registry::StoredValue>& values) {
    HKEY made = 0;
    if (RegCreateKeyExA(entry.root, entry.keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const ScopedKey key = ScopedKey::Owning(made);
    return std::all_of(values.begin(), values.end(), [&](const registry::StoredValue& value) {
        return SetValues(made, value.name, value.value);
    });
}

bool Write(const JournalEntry& entry, const std::optional<TypedData>& value) {
    const ScopedKey key = Open(entry, KEY_SET_VALUE);
    if (!key) return false;
    if (value) return SetValues(key.get(), entry.valueName, *value);
    const LONG rc = RegDeleteValueA(key.get(), entry.valueName.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool Apply(const JournalEntry& entry, bool undoing) {
    switch (entry.kind) {
    case Kind::ValueWritten:
        return Write(entry, undoing ? entry.before : entry.after);
    case Kind::KeyAdded:
        return undoing ? RegDeleteKeyA(entry.root, entry.keyPath.c_str()) == ERROR_SUCCESS
                       : CreateWith(entry, {});
    case Kind::KeyDeleted:
        return undoing ? CreateWith(entry, entry.values)
                       : RegDeleteKeyA(entry.root, entry.keyPath.c_str()) == ERROR_SUCCESS;
    }
    return false;
}

template <typename Entries>
UndoResult Replay(registry::ChangeJournal& journal, const JournalStep& step, const Entries& entries,
                  bool undoing) {
    Rehearsal check(undoing);
    for (const JournalEntry& entry : entries) {
        if (!check.Holds(entry))
            return {UndoOutcome::ChangedSince, step.name, ChangedKeyPath(entry.root, entry.keyPath)};
    }
    UndoResult result{UndoOutcome::Done, step.name, {}};
    const ChangeBatch batch;
    journal.SetReplaying(true);
    std::vector<const JournalEntry*> applied;
    for (const JournalEntry& entry : entries) {
        if (!Apply(entry, undoing)) {
            result = {UndoOutcome::Failed, step.name, ChangedKeyPath(entry.root, entry.keyPath)};
            // What was applied goes back, so a refused step leaves the registry as it found it.
            for (auto done = applied.rbegin(); done != applied.rend(); ++done)
                Apply(**done, !undoing);
            break;
        }
        applied.push_back(&entry);
    }
    journal.SetReplaying(false);
    // Aliased roots show the same keys under other names: every view looks again.
    PublishTreeChanged({});
    return result;
}

struct Reversed {
    const std::vector<JournalEntry>& entries;
    auto begin() const { return entries.rbegin(); }
    auto end() const { return entries.rend(); }
};

} // namespace

UndoResult UndoLastStep(registry::ChangeJournal& journal) {
    if (!journal.CanUndo()) return {};
    const registry::JournalStep& step = journal.NextUndo();
    UndoResult result = Replay(journal, step, Reversed{step.entries}, true);
    if (result.outcome == UndoOutcome::Done) journal.Undone();
    return result;
}

UndoResult RedoNextStep(registry::ChangeJournal& journal) {
    if (!journal.CanRedo()) return {};
    const registry::JournalStep& step = journal.NextRedo();
    UndoResult result = Replay(journal, step, step.entries, false);
    if (result.outcome == UndoOutcome::Done) journal.Redone();
    return result;
}

} // namespace hw::core
