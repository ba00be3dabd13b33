// What the window's commands changed in the registry, step by step, so that a step can be taken back and made
// again. The registry layer records each change just before it lands; only while a step is open, so changes
// made by anything else cost nothing.
#pragma once

#include "platform/winreg.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace hw::registry {

struct TypedData {
    DWORD type = 0;
    std::string data;

    bool operator==(const TypedData&) const = default;
};

struct StoredValue {
    std::string name;
    TypedData value;
};

struct JournalEntry {
    enum class Kind : std::uint8_t {
        ValueWritten, // valueName went from before to after (either absent when it did not exist)
        KeyAdded,
        KeyDeleted, // a key without subkeys, with the values it held
    };
    Kind kind = Kind::ValueWritten;
    HKEY root = 0; // a real root: aliases are recorded as the keys they stand for
    std::string keyPath;
    std::string valueName;
    std::optional<TypedData> before;
    std::optional<TypedData> after;
    std::vector<StoredValue> values;
};

struct JournalStep {
    std::string name;
    std::vector<JournalEntry> entries;
};

// Steps are opened and closed on the window's thread; the registry may record from any thread.
class ChangeJournal {
  public:
    // Whether a step is open and no step is being replayed: the registry records only then.
    bool Recording() const { return depth_ > 0 && !replaying_; }
    // Changes with each step opened: what a recorder keeps about keys holds for one step.
    std::uint64_t StepSerial() const { return serial_; }
    void Record(JournalEntry entry);

    void OpenStep(std::string name);
    // The outermost close keeps the step when it changed anything, and a new step ends what could be redone.
    void CloseStep();

    bool CanUndo() const;
    bool CanRedo() const;
    // The next step of either list; only while the list is not empty.
    const JournalStep& NextUndo() const;
    const JournalStep& NextRedo() const;
    // While a step is replayed its own changes are not recorded again.
    void SetReplaying(bool replaying) { replaying_ = replaying; }
    // Moves the step taken back onto the redo list, and the other way.
    void Undone();
    void Redone();
    // Forgets every step: the history belongs to one store.
    void Clear();

    // Called after either list changed, on the thread that changed it.
    void SetHistoryListener(std::function<void()> listener);

  private:
    void Tell();

    mutable std::mutex mutex_;
    std::atomic<int> depth_ = 0;
    std::atomic<bool> replaying_ = false;
    std::atomic<std::uint64_t> serial_ = 0;
    JournalStep open_;
    std::vector<JournalStep> undo_;
    std::vector<JournalStep> redo_;
    std::function<void()> listener_;
};

// The journal of the process's window.
ChangeJournal& Journal();

// A window command's scope: every change made while it lives is one step. Steps opened inside it join it.
class UndoStep {
  public:
    explicit UndoStep(std::string name, ChangeJournal& journal = Journal());
    ~UndoStep();
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

  private:
    ChangeJournal& journal_;
};

} // namespace hw::registry
