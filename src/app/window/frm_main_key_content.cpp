// The key content editor commands of the main window.
#include "app/window/frm_main.h"

#include "app/window/reg_file_dialog.h"
#include "app/window/registry_browser.h"
#include "content/window/frm_key_content.h"

#include <QAction>

#include <optional>

namespace hw::window {

void TfrmMain::ConnectKeyContentCommands() {
    connect(acKeyContent, &QAction::triggered, this, [this] {
        const QModelIndex node = brwsrRegistry->SelectedNode();
        if (node.isValid()) ShowKeyContentOf(brwsrRegistry->NodePath(node));
    });
    connect(acRegKeyContentEditor, &QAction::triggered, this, [this] {
        if (dialogs_.frmKeyContent) dialogs_.frmKeyContent->ShowEmpty();
    });
    connect(acEditRegistryFile, &QAction::triggered, this, [this] {
        if (const std::optional<std::string> fileName = opndlgRegFile->Choose()) EditRegistryFile(*fileName);
    });
    connect(mnitmPrintKeyContent, &QAction::triggered, this, [this] {
        const QModelIndex node = brwsrRegistry->SelectedNode();
        if (node.isValid() && dialogs_.frmKeyContent)
            dialogs_.frmKeyContent->PrintKeyContent(brwsrRegistry->NodePath(node));
    });
}

void TfrmMain::ShowKeyContentOf(const std::string& keyPath) {
    if (dialogs_.frmKeyContent) dialogs_.frmKeyContent->ShowKeyContent(keyPath);
}

void TfrmMain::EditRegistryFile(const std::string& fileName) {
    if (dialogs_.frmKeyContent && dialogs_.frmKeyContent->LoadFromFile(fileName))
        dialogs_.frmKeyContent->ShowModal();
}

} // namespace hw::window
