// Taking back and making again the steps the window's commands recorded in the change journal.
#pragma once

#include "registry/change_journal.h"

#include <string>

namespace hw::core {

enum class UndoOutcome {
    Done,
    Nothing,      // no step to take back or make again
    ChangedSince, // a key or value of the step differs from what the step left: nothing was changed
    Failed,       // the store refused part of the step
};

struct UndoResult {
    UndoOutcome outcome = UndoOutcome::Nothing;
    std::string stepName;
    std::string keyPath; // the key that differed or failed, with its root's full name
};

UndoResult UndoLastStep(registry::ChangeJournal& journal = registry::Journal());
UndoResult RedoNextStep(registry::ChangeJournal& journal = registry::Journal());

} // namespace hw::core
