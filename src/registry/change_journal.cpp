#include "registry/change_journal.h"

#include <utility>

namespace hw::registry {

void ChangeJournal::Record(JournalEntry entry) {
    if (depth_ > 0) open_.entries.push_back(std::move(entry));
}

void ChangeJournal::OpenStep(std::string name) {
    if (depth_++ == 0) open_ = {std::move(name), {}};
}

void ChangeJournal::CloseStep() {
    if (depth_ == 0 || --depth_ > 0) return;
    if (open_.entries.empty()) return;
    open_.entries.shrink_to_fit();
    undo_.push_back(std::move(open_));
    open_ = {};
    redo_.clear();
}

void ChangeJournal::Undone() {
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
}

void ChangeJournal::Redone() {
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
}

void ChangeJournal::Clear() {
    undo_.clear();
    redo_.clear();
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
