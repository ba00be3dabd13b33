#include "registry/change_journal.h"

#include <utility>

namespace hw::registry {

void ChangeJournal::Record(JournalEntry entry) {
    const std::lock_guard lock(mutex_);
    if (depth_ > 0) open_.entries.push_back(std::move(entry));
}

void ChangeJournal::OpenStep(std::string name) {
    const std::lock_guard lock(mutex_);
    if (depth_++ > 0) return;
    open_ = {std::move(name), {}};
    ++serial_;
}

void ChangeJournal::CloseStep() {
    {
        const std::lock_guard lock(mutex_);
        if (depth_ == 0 || --depth_ > 0 || open_.entries.empty()) return;
        open_.entries.shrink_to_fit();
        undo_.push_back(std::exchange(open_, {}));
        redo_.clear();
    }
    Tell();
}

bool ChangeJournal::CanUndo() const {
    const std::lock_guard lock(mutex_);
    return !undo_.empty();
}

bool ChangeJournal::CanRedo() const {
    const std::lock_guard lock(mutex_);
    return !redo_.empty();
}

const JournalStep& ChangeJournal::NextUndo() const {
    const std::lock_guard lock(mutex_);
    return undo_.back();
}

const JournalStep& ChangeJournal::NextRedo() const {
    const std::lock_guard lock(mutex_);
    return redo_.back();
}

void ChangeJournal::Undone() {
    {
        const std::lock_guard lock(mutex_);
        redo_.push_back(std::move(undo_.back()));
        undo_.pop_back();
    }
    Tell();
}

void ChangeJournal::Redone() {
    {
        const std::lock_guard lock(mutex_);
        undo_.push_back(std::move(redo_.back()));
        redo_.pop_back();
    }
    Tell();
}

void ChangeJournal::Clear() {
    {
        const std::lock_guard lock(mutex_);
        if (undo_.empty() && redo_.empty()) return;
        undo_.clear();
        redo_.clear();
    }
    Tell();
}

void ChangeJournal::SetHistoryListener(std::function<void()> listener) {
    listener_ = std::move(listener);
}

void ChangeJournal::Tell() {
    if (listener_) listener_();
}

ChangeJournal& Journal() {
    static ChangeJournal journal;
    return journal;
}

UndoStep::UndoStep(std::string name, ChangeJournal& journal) : journal_(journal) {
    journal_.OpenStep(std::move(name));
}

UndoStep::~UndoStep() {
    journal_.CloseStep();
}

} // namespace hw::registry
