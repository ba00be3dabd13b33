// The key content editor commands of the main window.
#include "app/window/frm_main.h"

#include "content/frm_key_content.h"

#include <QAction>

namespace hw::window {

void TfrmMain::ConnectKeyContentCommands() {
    connect(acKeyContent, &QAction::triggered, this, [this] {
        const QModelIndex node = SelectedNode();
        if (node.isValid() && dialogs_.frmKeyContent) dialogs_.frmKeyContent->ShowKeyContent(NodePath(node));
    });
    connect(acRegKeyContentEditor, &QAction::triggered, this, [this] {
        if (dialogs_.frmKeyContent) dialogs_.frmKeyContent->ShowEmpty();
    });
}

} // namespace hw::window
