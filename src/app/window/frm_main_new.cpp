// New Key and New Value: a key or value under a free generated name, then named by the user in place.
#include "app/window/frm_main.h"

#include "app/key_listing.h"
#include "app/window/registry_browser.h"
#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_types.h"
#include "i18n/text_table.h"
#include "util/dialog.h"

namespace hw::window {

void TfrmMain::NewKey() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid()) return;
    const std::string path = brwsrRegistry->NodePath(node);
    // Creating below a key deleted behind the window's back would bring that key back.
    const std::string name = app::KeyGone(path) ? std::string() : core::NewKeyNameOfPath(path);
    if (name.empty()) {
        util::ErrorBox(i18n::LookupText(i18n::Text::CreateKeyFailed));
        return;
    }
    const QModelIndex child = brwsrRegistry->AddKeyNode(node, name);
    const std::string parentSubKey = core::SubKeyOrEmpty(path);
    const std::string subKey = parentSubKey.empty() ? name : parentSubKey + "\\" + name;
    HKEY key = 0;
    if (RegCreateKeyExA(core::RootKeyOfPath(path), subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        brwsrRegistry->RemoveKeyNode(child);
        util::ErrorBox(i18n::LookupText(i18n::Text::CreateKeyFailed));
        return;
    }
    RegCloseKey(key);
    core::PublishKeyAdded(path + "\\" + name);
    brwsrRegistry->EditKeyName(child);
}

void TfrmMain::NewValue(DWORD type) {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid()) return;
    const std::string path = brwsrRegistry->NodePath(node);
    const core::ScopedKey key =
        core::OpenKeyOrUseRoot(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), KEY_ALL_ACCESS);
    const std::string name =
        key ? core::NewValueName(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path)) : std::string();
    app::ValueBytes data;
    switch (core::ClassOfType(type)) {
    case core::TypeClass::Text:
        data = {0};
        break;
    case core::TypeClass::Number:
        data = {0, 0, 0, 0};
        break;
    case core::TypeClass::Bytes:
        break;
    }
    if (name.empty() || !app::SetValueData(key.get(), name, type, data)) {
        util::ErrorBox(i18n::LookupText(i18n::Text::CreateValueFailed));
        return;
    }
    core::PublishValuesChanged(path, {name});
    brwsrRegistry->EditValueName(brwsrRegistry->ShowValueRow(
        app::MakeValueRow(path, name, type, data.data(), static_cast<DWORD>(data.size()))));
}

} // namespace hw::window
