// Delete Key and Delete Values.
#include "app/window/frm_main.h"

#include "app/key_listing.h"
#include "app/names_notice.h"
#include "app/window/registry_browser.h"
#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/busy_cursor.h"
#include "util/dialog.h"

namespace hw::window {

void TfrmMain::DeleteKey() {
    ui::BusyCursor busy;
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid() || RegistryBrowser::IsRootNode(node)) return;
    if (!util::AskYesNo(i18n::LookupText(i18n::Text::DeleteAllSubkeys))) return;
    const QPersistentModelIndex doomed(node);
    // Selected first, so that the node's removal (told by the change feed) does not select a sibling.
    brwsrRegistry->SelectNode(node.parent());
    // A key already gone counts as deleted: its node must not stay for it.
    const std::string path = brwsrRegistry->NodePath(doomed);
    if (!core::DeleteKeyPath(path) && !app::KeyGone(path)) {
        brwsrRegistry->SelectNode(doomed);
        brwsrRegistry->FollowSelectedKey();
        // Subkeys the store did delete before it refused one must not stay in the tree.
        brwsrRegistry->ReloadNode(doomed);
        util::ErrorBox(i18n::LookupText(i18n::Text::DeleteKeyFailed));
        return;
    }
    brwsrRegistry->FollowSelectedKey();
    if (doomed.isValid()) brwsrRegistry->RemoveKeyNode(doomed);
}

void TfrmMain::DeleteValues() {
    const std::vector<int> rows = brwsrRegistry->SelectedValueRows();
    if (rows.empty()) return;
    if (!util::AskYesNo(
            i18n::LookupText(rows.size() > 1 ? i18n::Text::SureToDeleteItems : i18n::Text::SureToDeleteItem)))
        return;
    const std::string keyPath = brwsrRegistry->ValueRowAt(rows.front()).record.keyPath;
    const core::ScopedKey key =
        core::OpenKey(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath), KEY_WRITE);
    std::vector<std::string> deleted;
    std::vector<std::string> kept;
    if (key) deleted.reserve(rows.size());
    for (int row : rows) {
        const app::TViewData& record = brwsrRegistry->ValueRowAt(row).record;
        // A value already gone counts as deleted: the row must not stay for it.
        const LONG result = key ? RegDeleteValueA(key.get(), record.valueName.c_str()) : ERROR_ACCESS_DENIED;
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
            deleted.push_back(record.valueName);
        else
            kept.push_back(record.valueName);
    }
    // The list follows through the change feed, one change for all the rows.
    if (!deleted.empty()) core::PublishValuesChanged(keyPath, std::move(deleted));
    if (!kept.empty())
        util::NoticeBox(app::NamesNotice(i18n::LookupText(i18n::Text::ValuesNotDeleted), kept));
}

} // namespace hw::window
