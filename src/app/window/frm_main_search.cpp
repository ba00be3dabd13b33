// The Find and Replace windows of the main window.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "search/window/frm_find.h"

namespace hw::window {

FindWindowHost TfrmMain::FindHost() {
    return {
        .goTo =
            [this](const std::string& keyPath, const std::string* valueName) {
                if (!brwsrRegistry->GoToPath(keyPath)) return false;
                const int row = valueName ? brwsrRegistry->FindValueRow(keyPath, *valueName) : -1;
                if (row >= 0) {
                    brwsrRegistry->SelectValueRow(row, true);
                }
                return true;
            },
        .showKeyContent = [this](const std::string& keyPath) { ShowKeyContentOf(keyPath); },
        .editValue = [this](const app::TViewData& record) { return EditValueRecord(record).has_value(); },
        .copyKey = [this](const std::string& keyPath) { keyClipboard_.Set(keyPath); },
        .copyValues =
            [this](const std::vector<app::TValueCopyData>& entries) {
                valueClipboard_.Empty();
                for (const app::TValueCopyData& entry : entries)
                    valueClipboard_.AddEntry() = entry;
            },
    };
}

void TfrmMain::ConnectSearchCommands() {
    connect(acFind, &QAction::triggered, this, [this] {
        if (dialogs_.frmFind)
            dialogs_.frmFind->ShowForKey(brwsrRegistry->NodePath(brwsrRegistry->SelectedNode()));
    });
    connect(mnitmReplace, &QAction::triggered, this, [this] {
        if (dialogs_.frmReplace)
            dialogs_.frmReplace->ShowForKey(brwsrRegistry->NodePath(brwsrRegistry->SelectedNode()));
    });
}

} // namespace hw::window
