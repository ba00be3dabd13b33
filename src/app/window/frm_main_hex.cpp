// The hex editor tool command of the main window.
#include "app/window/frm_main.h"

#include "editors/window/frm_bin.h"

#include <QAction>

namespace hw::window {

void TfrmMain::ConnectHexEditorCommands() {
    connect(acHexEditor, &QAction::triggered, this, [this] {
        if (dialogs_.frmBin) dialogs_.frmBin->ShowFileEditor();
    });
}

void TfrmMain::OpenFileInHexEditor(const std::string& fileName) {
    if (dialogs_.frmBin) dialogs_.frmBin->ShowFileEditor(fileName);
}

} // namespace hw::window
