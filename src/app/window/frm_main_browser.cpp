// What the main window does for its browser: the status bar, the commands' states and pop-up menus, and the
// commands that move between keys.
#include "app/window/frm_main.h"

#include "app/window/frm_goto.h"
#include "app/window/registry_browser.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace hw::window {

void TfrmMain::ConnectBrowser() {
    connect(brwsrRegistry, &RegistryBrowser::statusChanged, sttsbrMain, &QLabel::setText);
    connect(brwsrRegistry, &RegistryBrowser::keySelected, this, &TfrmMain::KeySelected);
    connect(brwsrRegistry, &RegistryBrowser::keyExpanded, this, &TfrmMain::UpdateKeyCommands);
    connect(brwsrRegistry, &RegistryBrowser::keyMenuRequested, this, [this](const QPoint& at) {
        UpdateKeyCommands();
        pppmnKey->popup(at);
    });
    connect(brwsrRegistry, &RegistryBrowser::valueMenuRequested, this, [this](const QPoint& at) {
        UpdateValueCommands();
        pppmnValue->popup(at);
    });
    connect(brwsrRegistry, &RegistryBrowser::valueActivated, this, &TfrmMain::EditValue);
    connect(
        brwsrRegistry, &RegistryBrowser::keyNameEdited, this,
        [this](const QPersistentModelIndex& node, const std::string& name) { RenameKeyNode(node, name); });
    connect(brwsrRegistry, &RegistryBrowser::valueNameEdited, this,
            [this](int row, const std::string& name) { RenameValueRow(row, name); });
    connect(brwsrRegistry, &RegistryBrowser::pathLooked, this, [this](bool found) {
        if (dialogs_.frmGoTo) dialogs_.frmGoTo->SetLastNavigationOk(found);
    });
    connect(brwsrRegistry, &RegistryBrowser::stepsChanged, this, &TfrmMain::UpdateStepCommands);
    brwsrRegistry->AddKeyCommands({acKeyCopy, acKeyPaste, acKeyRename, acKeyDelete});
    brwsrRegistry->AddValueCommands({acValueCopy, acValuePaste, acValueRename, acValueDelete});
}

void TfrmMain::KeySelected() {
    if (firstSelectionDone_) return;
    firstSelectionDone_ = true;
    UpdateKeyCommands();
    UpdateValueCommands();
}

void TfrmMain::UpdateStepCommands() {
    SetCommandEnabled(acBack, brwsrRegistry->CanGoBack());
    SetCommandEnabled(acForward, brwsrRegistry->CanGoForward());
}

} // namespace hw::window
