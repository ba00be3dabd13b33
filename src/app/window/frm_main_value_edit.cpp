// Edit Value: the value's editor by type, the write-back and the row update.
#include "app/window/frm_main.h"

#include "app/window/registry_browser.h"
#include "app/window/value_list_model.h"
#include "core/change_feed.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_types.h"
#include "editors/window/frm_bin.h"
#include "editors/window/frm_dword.h"
#include "editors/window/frm_str.h"
#include "i18n/text_table.h"
#include "util/dialog.h"

namespace hw::window {

void TfrmMain::EditValue() {
    std::vector<int> rows = brwsrRegistry->SelectedValueRows();
    // The "(Default)" row alone: editing it creates the default value.
    if (rows.empty() && brwsrRegistry->PlaceholderSelected()) rows.push_back(0);
    if (rows.empty()) return;
    const int row = rows.front();
    // The list follows the write through the change feed.
    EditValueRecord(brwsrRegistry->ValueRowAt(row).record);
}

std::optional<app::ValueBytes> TfrmMain::EditTextValue(const app::TViewData& record) {
    editors::TfrmStr* editor = dialogs_.frmStr;
    if (!editor) return std::nullopt;
    const bool multi = record.type == REG_MULTI_SZ;
    editor->SetName(record.valueName);
    editor->SetText(multi ? app::JoinLines(record.Strings()) : record.DataText());
    std::optional<app::ValueBytes> data;
    if (editor->exec() == QDialog::Accepted)
        data = multi ? app::MultiStringData(app::SplitLines(editor->Text())) : app::TextData(editor->Text());
    editor->Clear();
    return data;
}

std::optional<app::ValueBytes> TfrmMain::EditNumberValue(const app::TViewData& record) {
    editors::TfrmDword* editor = dialogs_.frmDword;
    if (!editor) return std::nullopt;
    editor->SetValue(record.valueName, record.number);
    if (editor->exec() != QDialog::Accepted) return std::nullopt;
    return app::NumberData(record.type, editor->ResultValue());
}

std::optional<app::ValueBytes> TfrmMain::EditBytesValue(const app::TViewData& record) {
    editors::TfrmBin* editor = dialogs_.frmBin;
    if (!editor) return std::nullopt;
    const std::optional<std::string> edited =
        editor->EditValueBytes(record.valueName, std::string(record.data.begin(), record.data.end()));
    if (!edited) return std::nullopt;
    return app::ValueBytes(edited->begin(), edited->end());
}

std::optional<app::ValueRow> TfrmMain::EditValueRecord(const app::TViewData& record) {
    std::optional<app::ValueBytes> data;
    switch (core::ClassOfType(record.type)) {
    case core::TypeClass::Text:
        data = EditTextValue(record);
        break;
    case core::TypeClass::Number:
        data = EditNumberValue(record);
        break;
    case core::TypeClass::Bytes:
        data = EditBytesValue(record);
        break;
    }
    if (!data) return std::nullopt;
    const core::ScopedKey key = core::OpenKeyOrUseRoot(core::RootKeyOfPath(record.keyPath),
                                                       core::SubKeyOrEmpty(record.keyPath), KEY_SET_VALUE);
    if (!key || !app::SetValueData(key.get(), record.valueName, record.type, *data)) {
        util::ErrorBox(i18n::LookupText(i18n::Text::AccessRegistryError));
        return std::nullopt;
    }
    core::PublishValuesChanged(record.keyPath, {record.valueName});
    return app::MakeValueRow(record.keyPath, record.valueName, record.type, data->data(),
                             static_cast<DWORD>(data->size()));
}

} // namespace hw::window
