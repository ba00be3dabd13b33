// The main window's key tree and value list: loading, filling, refreshing and key selection.
#include "app/hive_choice.h"
#include "app/window/frm_main.h"

#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/busy_cursor.h"
#include "util/text.h"

#include <QComboBox>
#include <QLabel>
#include <QTreeView>

namespace hw::window {

std::string TfrmMain::NodePath(const QModelIndex& node) const {
    return keyModel_->NodePath(node);
}

QModelIndex TfrmMain::SelectedNode() const {
    const QModelIndexList selected = trvwKeys->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

void TfrmMain::LoadSubKeys(const QModelIndex& node) {
    if (!keyModel_->IsLoaded(node)) keyModel_->LoadSubKeys(node);
}

void TfrmMain::ReloadNode(const QModelIndex& node) {
    if (!node.isValid()) return;
    ui::BusyCursor busy;
    const bool wasExpanded = trvwKeys->isExpanded(node);
    trvwKeys->collapse(node);
    keyModel_->UnloadSubKeys(node);
    keyModel_->LoadSubKeys(node);
    if (wasExpanded) trvwKeys->expand(node);
}

void TfrmMain::ClearValueList() {
    valueModel_->Clear();
}

void TfrmMain::FillValueList(const QModelIndex& node) {
    if (!node.isValid()) return;
    lstvwValues->setUpdatesEnabled(false);
    const std::string path = NodePath(node);
    valueModel_->SetRows(app::ReadValueRows(path), path);
    FitNameAndTypeColumns();
    lstvwValues->setUpdatesEnabled(true);
}

int TfrmMain::FindValueRow(const std::string& keyPath, const std::string& valueName) const {
    if (util::UpperCaseAscii(NodePath(SelectedNode())) != util::UpperCaseAscii(keyPath)) return -1;
    return valueModel_->FindRow(valueName);
}

void TfrmMain::FollowSelectedKey() {
    const QModelIndex node = SelectedNode();
    const std::string path = NodePath(node);
    if (util::UpperCaseAscii(path) == util::UpperCaseAscii(valueModel_->KeyPath())) return;
    ClearValueList();
    FillValueList(node);
    if (node.isValid()) sttsbrMain->setText(platform::ShownText("[" + path + "]"));
}

void TfrmMain::FollowChange(const core::RegistryChange& change) {
    // The models have followed it already; a list left showing a key renamed or removed shows the
    // selected one.
    if (change.kind != core::ChangeKind::ValuesChanged) FollowSelectedKey();
}

int TfrmMain::ValueRowCount() const {
    return valueModel_->Count();
}

const app::TViewData& TfrmMain::ValueRecord(int row) const {
    return valueModel_->Row(row).record;
}

const app::ValueRow& TfrmMain::ValueRowAt(int row) const {
    return valueModel_->Row(row);
}

void TfrmMain::trvwKeysExpanded(const QModelIndex& node) {
    if (navigating_) return;
    trvwKeys->setCurrentIndex(node);
    UpdateKeyCommands();
}

void TfrmMain::KeySelected() {
    if (!firstSelectionDone_) {
        firstSelectionDone_ = true;
        UpdateKeyCommands();
        UpdateValueCommands();
    }
    const QModelIndex node = SelectedNode();
    if (!node.isValid()) return;
    ClearValueList();
    FillValueList(node);
    const std::string path = NodePath(node);
    const std::string written = app::LastWriteText(path);
    sttsbrMain->setText(platform::ShownText(
        "[" + path + "]" +
        (written.empty() ? "" : "   " + i18n::FormatText(i18n::Text::LastWritten, {written}))));
    AddToHistory(path, true);
}

void TfrmMain::RefreshKey() {
    const QModelIndex node = SelectedNode();
    if (!node.isValid()) return;
    ReloadNode(node);
    KeySelected();
}

void TfrmMain::RefreshAll() {
    ClearValueList();
    keyModel_->ResetRoots(listedRoots_);
    // No key is selected any more, and the last one may be gone.
    sttsbrMain->clear();
    cmbbxAddress->clearEditText();
}

} // namespace hw::window
