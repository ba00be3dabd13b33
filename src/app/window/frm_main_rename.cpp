// Rename Key and Rename Value: in-place edits in the tree and the list, with the rename rules.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "core/key_ops.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "util/dialog.h"
#include "util/text.h"

namespace hw::window {

void TfrmMain::StartKeyRename() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid() || RegistryBrowser::IsRootNode(node)) return;
    brwsrRegistry->EditKeyName(node);
}

void TfrmMain::StartValueRename() {
    const std::vector<int> rows = brwsrRegistry->SelectedValueRows();
    if (rows.size() != 1) return;
    brwsrRegistry->EditValueName(rows.front());
}

bool TfrmMain::RenameKeyNode(const QModelIndex& node, const std::string& newName) {
    if (!node.isValid() || RegistryBrowser::IsRootNode(node)) return false;
    const std::string oldName = brwsrRegistry->NodeText(node);
    if (newName.empty() || util::UpperCaseAscii(newName) == util::UpperCaseAscii(oldName)) return false;
    if (newName.find('\\') != std::string::npos) {
        util::ErrorBox(i18n::LookupText(i18n::Text::InvalidKeyName));
        return false;
    }
    const std::string newPath = brwsrRegistry->NodePath(node.parent()) + "\\" + newName;
    if (core::KeyPathExists(newPath)) {
        util::ErrorBox(i18n::FormatText(i18n::Text::SubKeyExists, {newPath}));
        return false;
    }
    if (!core::RenameKeyPath(brwsrRegistry->NodePath(node), newPath)) {
        util::ErrorBox(i18n::LookupText(i18n::Text::RenameFailed));
        return false;
    }
    // The tree and the list followed the rename through the change feed.
    return true;
}

bool TfrmMain::RenameValueRow(int row, const std::string& newName) {
    if (row < 0 || row >= brwsrRegistry->ValueRowCount()) return false;
    const app::TViewData record = brwsrRegistry->ValueRowAt(row).record;
    if (newName.empty() || util::UpperCaseAscii(newName) == util::UpperCaseAscii(record.valueName))
        return false;
    if (!core::RenameValuePath(record.keyPath, record.valueName, newName)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::CannotRename, {record.valueName, newName}));
        return false;
    }
    // The row followed the rename through the change feed.
    const int moved = brwsrRegistry->FindValueRow(record.keyPath, newName);
    if (moved >= 0) brwsrRegistry->SelectValueRow(moved, false);
    return true;
}

} // namespace hw::window
