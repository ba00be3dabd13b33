// Undo and Redo: the steps the change journal recorded for the window's commands.
#include "app/window/frm_main.h"

#include "core/undo_history.h"
#include "i18n/text_table.h"
#include "ui/busy_cursor.h"
#include "util/dialog.h"

#include <QAction>
#include <QKeySequence>
#include <QPointer>

namespace hw::window {

namespace {

// Says why a step stayed as it was; nothing when it was replayed or there was none.
void ReportReplay(const core::UndoResult& result, i18n::Text changedSince, i18n::Text refused) {
    if (result.outcome == core::UndoOutcome::ChangedSince)
        util::ErrorBox(i18n::FormatText(changedSince, {result.keyPath}));
    else if (result.outcome == core::UndoOutcome::Failed)
        util::ErrorBox(i18n::FormatText(refused, {result.keyPath}));
}

} // namespace

void TfrmMain::ConnectUndoCommands() {
    acRedo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    connect(acUndo, &QAction::triggered, this, &TfrmMain::UndoLastChange);
    connect(acRedo, &QAction::triggered, this, &TfrmMain::RedoNextChange);
    registry::Journal().SetHistoryListener([window = QPointer(this)] {
        if (window) window->UpdateUndoCommands();
    });
    UpdateUndoCommands();
}

void TfrmMain::UpdateUndoCommands() {
    SetCommandEnabled(acUndo, registry::Journal().CanUndo());
    SetCommandEnabled(acRedo, registry::Journal().CanRedo());
}

void TfrmMain::UndoLastChange() {
    core::UndoResult result;
    {
        ui::BusyCursor busy;
        result = core::UndoLastStep();
    }
    ReportReplay(result, i18n::Text::UndoChangedSince, i18n::Text::UndoRefused);
}

void TfrmMain::RedoNextChange() {
    core::UndoResult result;
    {
        ui::BusyCursor busy;
        result = core::RedoNextStep();
    }
    ReportReplay(result, i18n::Text::RedoChangedSince, i18n::Text::RedoRefused);
}

} // namespace hw::window
