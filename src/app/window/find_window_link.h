// The main window as the Find window sees it.
#pragma once

#include "search/window/main_window_link.h"

#include <QModelIndex>

namespace hw::window {

class TfrmMain;

class FindWindowLink final : public MainWindowLink {
  public:
    explicit FindWindowLink(TfrmMain& frmMain) : frmMain_(frmMain) {}

    bool GoToPath(const std::string& keyPath) override;
    void ReloadValueList() override;
    void SelectValueItem(const std::string& keyPath, const std::string& name) override;
    void RenameTreeNode(const std::string& oldPath, const std::string& newName) override;
    void RemoveTreeNode(const std::string& path) override;
    void RenameValueItem(const std::string& keyPath, const std::string& oldName,
                         const std::string& newName) override;
    void RemoveValueItem(const std::string& keyPath, const std::string& name) override;
    void ShowKeyContentOf(const std::string& keyPath) override;
    std::optional<app::ValueRow> EditValueRecord(const app::TViewData& record) override;
    void SetKeyClipboard(const std::string& keyPath) override;
    void EmptyValueClipboard() override;
    app::TValueCopyData& AddValueClipboardEntry() override;

  private:
    // The tree node for the path when every key on the way has been read into the tree; invalid otherwise.
    QModelIndex LoadedNode(const std::string& path) const;

    TfrmMain& frmMain_;
};

} // namespace hw::window
