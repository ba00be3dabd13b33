#include "search/window/main_window_link.h"

#include "app/window/frm_main.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "util/text.h"

#include <QTreeView>

namespace hw::window {

QModelIndex LoadedNode(const TfrmMain& frmMain, const std::string& path) {
    const KeyTreeModel* model = frmMain.KeyModel();
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

void RenameTreeNodeOf(TfrmMain& frmMain, const std::string& oldPath, const std::string& newName) {
    const QModelIndex node = LoadedNode(frmMain, oldPath);
    if (node.isValid()) frmMain.SetNodeText(node, newName);
}

void RemoveTreeNodeOf(TfrmMain& frmMain, const std::string& path) {
    const QModelIndex node = LoadedNode(frmMain, path);
    if (node.isValid()) frmMain.RemoveNode(node);
}

void RenameValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& oldName,
                       const std::string& newName) {
    const int row = frmMain.FindValueRow(keyPath, oldName);
    if (row >= 0) frmMain.SetValueRowName(row, newName);
}

void RemoveValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& name) {
    const int row = frmMain.FindValueRow(keyPath, name);
    if (row >= 0) frmMain.RemoveValueRows({row});
}

void SelectValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& name) {
    const int row = frmMain.FindValueRow(keyPath, name);
    if (row < 0) return;
    const QModelIndex item = frmMain.ValueModel()->index(row, 0);
    frmMain.lstvwValues->setCurrentIndex(item);
    frmMain.lstvwValues->setFocus();
}

} // namespace hw::window
