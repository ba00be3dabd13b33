// What the Find window asks of the main window: to keep its tree and value list in step with the renames
// and deletions made here, to go to a result, to open one in its editor and to fill its clipboards. The
// main window hands an implementation in, so this library needs nothing of the main window's.
#pragma once

#include "app/clipboards.h"
#include "app/value_rows.h"

#include <optional>
#include <string>

namespace hw::window {

class MainWindowLink {
  public:
    virtual ~MainWindowLink() = default;

    // Selects the key; false when it is not there.
    virtual bool GoToPath(const std::string& keyPath) = 0;
    // Reads the selected key's values again.
    virtual void ReloadValueList() = 0;
    // Selects and focuses the value-list row of the value, if the list shows it.
    virtual void SelectValueItem(const std::string& keyPath, const std::string& name) = 0;

    // The tree node (only where the tree has already read it; nothing is expanded for this) and the
    // value-list row of the selected key.
    virtual void RenameTreeNode(const std::string& oldPath, const std::string& newName) = 0;
    virtual void RemoveTreeNode(const std::string& path) = 0;
    virtual void RenameValueItem(const std::string& keyPath, const std::string& oldName,
                                 const std::string& newName) = 0;
    virtual void RemoveValueItem(const std::string& keyPath, const std::string& name) = 0;

    virtual void ShowKeyContentOf(const std::string& keyPath) = 0;
    // The value in its editor; its new row once saved, nothing when cancelled.
    virtual std::optional<app::ValueRow> EditValueRecord(const app::TViewData& record) = 0;

    virtual void SetKeyClipboard(const std::string& keyPath) = 0;
    virtual void EmptyValueClipboard() = 0;
    // A new entry at the front of the value clipboard, for the caller to fill.
    virtual app::TValueCopyData& AddValueClipboardEntry() = 0;
};

} // namespace hw::window
