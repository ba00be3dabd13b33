// What the Find window changes in the main window when it renames or deletes a key or a value: the tree
// node (only where the tree has already read it; nothing is expanded for this) and the value-list row of
// the selected key.
#pragma once

#include <QModelIndex>

#include <string>

namespace hw::window {

class TfrmMain;

// The tree node for the path when every key on the way has been read into the tree; invalid otherwise.
QModelIndex LoadedNode(const TfrmMain& frmMain, const std::string& path);

void RenameTreeNodeOf(TfrmMain& frmMain, const std::string& oldPath, const std::string& newName);
void RemoveTreeNodeOf(TfrmMain& frmMain, const std::string& path);
void RenameValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& oldName,
                       const std::string& newName);
void RemoveValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& name);

// Selects and focuses the value-list row of the value, if the list shows it.
void SelectValueItemOf(TfrmMain& frmMain, const std::string& keyPath, const std::string& name);

} // namespace hw::window
