// New, rename, delete, the clipboards and value editing of the main window: wiring and command states.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "core/key_path.h"

#include <QAction>

namespace hw::window {

void TfrmMain::ConnectEditCommands() {
    connect(acKeyNew, &QAction::triggered, this, &TfrmMain::NewKey);
    for (QAction* action : acValueNew)
        connect(action, &QAction::triggered, this,
                [this, action] { NewValue(static_cast<DWORD>(action->data().toInt())); });
    connect(acKeyRename, &QAction::triggered, this, &TfrmMain::StartKeyRename);
    connect(acValueRename, &QAction::triggered, this, &TfrmMain::StartValueRename);
    connect(acKeyDelete, &QAction::triggered, this, &TfrmMain::DeleteKey);
    connect(acValueDelete, &QAction::triggered, this, &TfrmMain::DeleteValues);
    connect(acKeyCopy, &QAction::triggered, this, &TfrmMain::CopyKey);
    connect(acKeyPaste, &QAction::triggered, this, &TfrmMain::PasteKey);
    connect(acValueCopy, &QAction::triggered, this, &TfrmMain::CopyValues);
    connect(acValuePaste, &QAction::triggered, this, &TfrmMain::PasteValues);
    connect(acValueEdit, &QAction::triggered, this, &TfrmMain::EditValue);
}

bool TfrmMain::KeyPasteAllowed() const {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    return keyClipboard_.copied && node.isValid() &&
           core::KeyPathsUnrelated(keyClipboard_.path, brwsrRegistry->NodePath(node));
}

void TfrmMain::UpdatePasteCommands() {
    SetCommandEnabled(acKeyPaste, KeyPasteAllowed());
    SetCommandEnabled(acValuePaste, brwsrRegistry->SelectedNode().isValid() && !valueClipboard_.IsEmpty());
}

} // namespace hw::window
