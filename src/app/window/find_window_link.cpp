#include "app/window/find_window_link.h"

#include "app/window/frm_main.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "util/text.h"

#include <QTreeView>

namespace hw::window {

QModelIndex FindWindowLink::LoadedNode(const std::string& path) const {
    const KeyTreeModel* model = frmMain_.KeyModel();
    std::vector<std::string> names;
    util::SplitText(util::UpperCaseAscii(path), '\\', names);
    QModelIndex node;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && !model->IsLoaded(node)) return {};
        node = model->FindChildUpper(node, names[i]);
        if (!node.isValid()) return {};
    }
    return node;
}

bool FindWindowLink::GoToPath(const std::string& keyPath) {
    return frmMain_.GoToPath(keyPath);
}

void FindWindowLink::ReloadValueList() {
    frmMain_.ClearValueList();
    frmMain_.FillValueList(frmMain_.SelectedNode());
}

void FindWindowLink::SelectValueItem(const std::string& keyPath, const std::string& name) {
    const int row = frmMain_.FindValueRow(keyPath, name);
    if (row < 0) return;
    const QModelIndex item = frmMain_.ValueModel()->index(row, 0);
    frmMain_.lstvwValues->setCurrentIndex(item);
    frmMain_.lstvwValues->setFocus();
}

void FindWindowLink::RenameTreeNode(const std::string& oldPath, const std::string& newName) {
    const QModelIndex node = LoadedNode(oldPath);
    if (node.isValid()) frmMain_.SetNodeText(node, newName);
}

void FindWindowLink::RemoveTreeNode(const std::string& path) {
    const QModelIndex node = LoadedNode(path);
    if (node.isValid()) frmMain_.RemoveNode(node);
}

void FindWindowLink::RenameValueItem(const std::string& keyPath, const std::string& oldName,
                                     const std::string& newName) {
    const int row = frmMain_.FindValueRow(keyPath, oldName);
    if (row >= 0) frmMain_.SetValueRowName(row, newName);
}

void FindWindowLink::RemoveValueItem(const std::string& keyPath, const std::string& name) {
    const int row = frmMain_.FindValueRow(keyPath, name);
    if (row >= 0) frmMain_.RemoveValueRows({row});
}

void FindWindowLink::ShowKeyContentOf(const std::string& keyPath) {
    frmMain_.ShowKeyContentOf(keyPath);
}

std::optional<app::ValueRow> FindWindowLink::EditValueRecord(const app::TViewData& record) {
    return frmMain_.EditValueRecord(record);
}

void FindWindowLink::SetKeyClipboard(const std::string& keyPath) {
    frmMain_.SetKeyClipboard(keyPath);
}

void FindWindowLink::EmptyValueClipboard() {
    frmMain_.EmptyValueClipboard();
}

app::TValueCopyData& FindWindowLink::AddValueClipboardEntry() {
    return frmMain_.AddValueClipboardEntry();
}

} // namespace hw::window
