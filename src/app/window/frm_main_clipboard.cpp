// Copy and paste of keys and values through the main window's clipboards.
#include "app/window/frm_main.h"

#include "app/key_paste.h"
#include "app/names_notice.h"
#include "app/window/frm_replace_confirm.h"
#include "app/window/registry_browser.h"
#include "app/window/value_list_model.h"
#include "content/window/reg_text_codec.h"
#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "i18n/text_table.h"
#include "regfile/value_line.h"
#include "ui/busy_cursor.h"
#include "util/dialog.h"

#include <QClipboard>
#include <QGuiApplication>

namespace hw::window {

namespace {

app::TValueCopyData EntryOf(const app::TViewData& record) {
    return {record.type, record.valueName, record.DataText(), record.Strings()};
}

// What other programs get: the values as the lines of a registration file's section.
std::string RegistrationLines(const std::string& keyPath, const std::vector<app::TValueCopyData>& entries) {
    std::string text = "[" + keyPath + "]\r\n";
    for (const app::TValueCopyData& entry : entries) {
        const std::optional<app::ValueBytes> data = app::CopyEntryData(entry);
        if (!data) continue;
        // Pasted into a version 5 file (the form other programs write), the text payloads are UTF-16LE.
        regfile::AppendValueLine(entry.name, entry.type, data->data(), data->size(), true, text);
        text += "\r\n";
    }
    return text;
}

void PutOnSystemClipboard(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(content::QStringOfRegText(text));
}

} // namespace

void TfrmMain::CopyKey() {
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid()) return;
    keyClipboard_.Set(brwsrRegistry->NodePath(node));
    PutOnSystemClipboard(keyClipboard_.path);
}

void TfrmMain::PasteKey() {
    ui::BusyCursor busy;
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!KeyPasteAllowed()) return;
    const std::string& copied = keyClipboard_.path;
    const std::string target = brwsrRegistry->NodePath(node) + "\\" + copied.substr(copied.rfind('\\') + 1);
    if (core::KeyPathExists(target) &&
        !util::AskYesNo(i18n::FormatText(i18n::Text::SubKeyReplaceAll, {target})))
        return;
    // A loaded node follows the copy through the change feed; one not read yet is read now, as it shows the
    // pasted key.
    const app::KeyCopyOutcome outcome = app::CopyKeyForPaste(copied, target);
    brwsrRegistry->LoadSubKeys(node);
    if (outcome == app::KeyCopyOutcome::Failed)
        util::ErrorBox(i18n::LookupText(i18n::Text::CopyKeyError));
    else if (outcome == app::KeyCopyOutcome::Partial)
        util::ErrorBox(i18n::LookupText(i18n::Text::CopyKeyError) + "\n" +
                       i18n::LookupText(i18n::Text::SomeNotCopied));
}

void TfrmMain::CopyValues() {
    ui::BusyCursor busy;
    const std::vector<int> rows = brwsrRegistry->SelectedValueRows();
    if (rows.empty()) return;
    valueClipboard_.Empty();
    std::vector<app::TValueCopyData> inListOrder;
    inListOrder.reserve(rows.size());
    for (int row : rows) {
        inListOrder.push_back(EntryOf(brwsrRegistry->ValueRowAt(row).record));
        valueClipboard_.AddEntry() = inListOrder.back();
    }
    PutOnSystemClipboard(
        RegistrationLines(brwsrRegistry->ValueRowAt(rows.front()).record.keyPath, inListOrder));
}

bool TfrmMain::PasteValueEntry(HKEY key, const app::TValueCopyData& entry) {
    const std::optional<app::ValueBytes> data = app::CopyEntryData(entry);
    return data && app::SetValueData(key, entry.name, entry.type, *data);
}

void TfrmMain::PasteValues() {
    ui::BusyCursor busy;
    const QModelIndex node = brwsrRegistry->SelectedNode();
    if (!node.isValid()) return;
    const std::string path = brwsrRegistry->NodePath(node);
    core::ScopedKey key =
        core::OpenKeyOrUseRoot(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), KEY_SET_VALUE);
    std::vector<std::string> failed;
    std::vector<std::string> written;
    // The list follows once, whether the user went through every value or stopped.
    const auto tellWritten = [&path, &written] {
        if (!written.empty()) core::PublishValuesChanged(path, std::move(written));
    };
    if (key) {
        // Existence is asked of a second handle: the writing one may not be allowed to read.
        const core::ScopedKey reader =
            core::OpenKeyOrUseRoot(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path), KEY_QUERY_VALUE);
        for (const app::TValueCopyData& entry : valueClipboard_.Entries()) {
            if (reader && core::HasValue(reader.get(), entry.name)) {
                const TfrmReplaceConfirm::Answer answer =
                    dialogs_.frmReplaceConfirm ? dialogs_.frmReplaceConfirm->Ask(i18n::FormatText(
                                                     i18n::Text::ValueExistsReplace, {entry.name}))
                                               : TfrmReplaceConfirm::Cancel;
                if (answer == TfrmReplaceConfirm::Cancel) {
                    tellWritten();
                    if (!failed.empty())
                        util::NoticeBox(
                            app::NamesNotice(i18n::LookupText(i18n::Text::ValuesNotWritten), failed));
                    return;
                }
                if (answer == TfrmReplaceConfirm::No) continue;
            }
            if (PasteValueEntry(key.get(), entry))
                written.push_back(entry.name);
            else
                failed.push_back(entry.name);
        }
        key.reset();
    } else {
        for (const app::TValueCopyData& entry : valueClipboard_.Entries())
            failed.push_back(entry.name);
    }
    tellWritten();
    if (!failed.empty())
        util::NoticeBox(app::NamesNotice(i18n::LookupText(i18n::Text::ValuesNotWritten), failed));
}

} // namespace hw::window
