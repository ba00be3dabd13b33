// New, rename, delete, the clipboards and value editing of the main window: wiring and command states.
#include "app/window/frm_main.h"

#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_path.h"
#include "platform/qt/byte_text.h"

#include <QItemSelectionModel>
#include <QTreeView>

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
    connect(lstvwValues, &QTreeView::doubleClicked, this, &TfrmMain::EditValue);

    // The rename runs after the in-place editor has closed, so its messages never interrupt the view.
    connect(
        keyModel_, &KeyTreeModel::textEdited, this,
        [this](const QPersistentModelIndex& node, const QString& text) {
            if (node.isValid()) RenameKeyNode(node, platform::EditedBytes(text, keyModel_->NodeText(node)));
        },
        Qt::QueuedConnection);
    connect(
        valueModel_, &ValueListModel::nameEdited, this,
        [this](int row, const QString& text) {
            if (row < 0 || row >= valueModel_->Count()) return;
            RenameValueRow(row, platform::EditedBytes(text, valueModel_->Row(row).record.valueName));
        },
        Qt::QueuedConnection);
}

bool TfrmMain::KeyPasteAllowed() const {
    const QModelIndex node = SelectedNode();
    return keyClipboard_.copied && node.isValid() &&
           core::KeyPathsUnrelated(keyClipboard_.path, NodePath(node));
}

void TfrmMain::UpdatePasteCommands() {
    SetCommandEnabled(acKeyPaste, KeyPasteAllowed());
    SetCommandEnabled(acValuePaste, SelectedNode().isValid() && !valueClipboard_.IsEmpty());
}

std::vector<int> TfrmMain::SelectedValueRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : lstvwValues->selectionModel()->selectedRows())
        if (!valueModel_->IsPlaceholder(index.row())) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace hw::window
