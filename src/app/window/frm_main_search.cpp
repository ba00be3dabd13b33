// The Find and Replace windows of the main window.
#include "app/window/frm_main.h"

#include "search/window/frm_find.h"

namespace hw::window {

void TfrmMain::ConnectSearchCommands() {
    connect(acFind, &QAction::triggered, this, [this] {
        if (dialogs_.frmFind) dialogs_.frmFind->ShowForKey(NodePath(SelectedNode()));
    });
    connect(mnitmReplace, &QAction::triggered, this, [this] {
        if (dialogs_.frmReplace) dialogs_.frmReplace->ShowForKey(NodePath(SelectedNode()));
    });
}

} // namespace hw::window
