// Rename Key and Rename Value: in-place edits in the tree and the list, with the rename rules.
#include "app/window/frm_main.h"

#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "core/key_ops.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "util/dialog.h"
#include "util/text.h"

#include <QLabel>
#include <QTreeView>

namespace hw::window {

void TfrmMain::StartKeyRename() {
    const QModelIndex node = SelectedNode();
    if (!node.isValid() || IsRootNode(node)) return;
    trvwKeys->setFocus();
    trvwKeys->edit(node);
}

void TfrmMain::StartValueRename() {
    const std::vector<int> rows = SelectedValueRows();
    if (rows.size() != 1) return;
    lstvwValues->setFocus();
    lstvwValues->edit(valueModel_->index(rows.front(), ValueListModel::kNameColumn));
}

bool TfrmMain::RenameKeyNode(const QModelIndex& node, const std::string& newName) {
    if (!node.isValid() || IsRootNode(node)) return false;
    const std::string oldName = keyModel_->NodeText(node);
    if (newName.empty() || util::UpperCaseAscii(newName) == util::UpperCaseAscii(oldName)) return false;
    if (newName.find('\\') != std::string::npos) {
        util::ErrorBox(i18n::LookupText(i18n::Text::InvalidKeyName));
        return false;
    }
    const std::string newPath = NodePath(node.parent()) + "\\" + newName;
    if (core::KeyPathExists(newPath)) {
        util::ErrorBox(i18n::FormatText(i18n::Text::SubKeyExists, {newPath}));
        return false;
    }
    if (!core::RenameKeyPath(NodePath(node), newPath)) {
        util::ErrorBox(i18n::LookupText(i18n::Text::RenameFailed));
        return false;
    }
    // The tree and the list followed the rename through the change feed.
    return true;
}

bool TfrmMain::RenameValueRow(int row, const std::string& newName) {
    if (row < 0 || row >= valueModel_->Count()) return false;
    const app::TViewData record = valueModel_->Row(row).record;
    if (newName.empty() || util::UpperCaseAscii(newName) == util::UpperCaseAscii(record.valueName))
        return false;
    if (!core::RenameValuePath(record.keyPath, record.valueName, newName)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::CannotRename, {record.valueName, newName}));
        return false;
    }
    // The row followed the rename through the change feed.
    const int moved = valueModel_->FindRow(newName);
    if (moved >= 0) lstvwValues->setCurrentIndex(valueModel_->index(moved, ValueListModel::kNameColumn));
    return true;
}

} // namespace hw::window
