// The browser's key tree and value list: loading, filling, refreshing and key selection.
#include "app/window/registry_browser.h"

#include "app/hive_choice.h"
#include "app/window/key_tree_model.h"
#include "app/window/value_list_model.h"
#include "i18n/text_table.h"
#include "platform/qt/byte_text.h"
#include "ui/busy_cursor.h"
#include "util/text.h"

#include <QComboBox>
#include <QTreeView>

#include <algorithm>

namespace hw::window {

std::string RegistryBrowser::NodePath(const QModelIndex& node) const {
    return keyModel_->NodePath(node);
}

std::string RegistryBrowser::NodeText(const QModelIndex& node) const {
    return keyModel_->NodeText(node);
}

QModelIndex RegistryBrowser::SelectedNode() const {
    const QModelIndexList selected = trvwKeys->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

void RegistryBrowser::LoadSubKeys(const QModelIndex& node) {
    if (!keyModel_->IsLoaded(node)) keyModel_->LoadSubKeys(node);
}

void RegistryBrowser::ReloadNode(const QModelIndex& node) {
    if (!node.isValid()) return;
    ui::BusyCursor busy;
    const bool wasExpanded = trvwKeys->isExpanded(node);
    trvwKeys->collapse(node);
    keyModel_->UnloadSubKeys(node);
    keyModel_->LoadSubKeys(node);
    if (wasExpanded) trvwKeys->expand(node);
}

void RegistryBrowser::SelectNode(const QModelIndex& node) {
    trvwKeys->setCurrentIndex(node);
}

QModelIndex RegistryBrowser::AddKeyNode(const QModelIndex& parent, const std::string& name) {
    // Loaded first, so that the key created below is not read in a second time.
    LoadSubKeys(parent);
    const QModelIndex child = keyModel_->AddChild(parent, name);
    trvwKeys->expand(parent);
    return child;
}

void RegistryBrowser::RemoveKeyNode(const QModelIndex& node) {
    keyModel_->RemoveNode(node);
}

void RegistryBrowser::EditKeyName(const QModelIndex& node) {
    trvwKeys->setFocus();
    trvwKeys->setCurrentIndex(node);
    trvwKeys->edit(node);
}

void RegistryBrowser::FillValueList(const QModelIndex& node) {
    if (!node.isValid()) return;
    lstvwValues->setUpdatesEnabled(false);
    const std::string path = NodePath(node);
    valueModel_->SetRows(app::ReadValueRows(path), path);
    FitNameAndTypeColumns();
    lstvwValues->setUpdatesEnabled(true);
}

int RegistryBrowser::FindValueRow(const std::string& keyPath, const std::string& valueName) const {
    if (util::UpperCaseAscii(NodePath(SelectedNode())) != util::UpperCaseAscii(keyPath)) return -1;
    return valueModel_->FindRow(valueName);
}

int RegistryBrowser::ValueRowCount() const {
    return valueModel_->Count();
}

const app::TViewData& RegistryBrowser::ValueRecord(int row) const {
    return valueModel_->Row(row).record;
}

const app::ValueRow& RegistryBrowser::ValueRowAt(int row) const {
    return valueModel_->Row(row);
}

std::vector<int> RegistryBrowser::SelectedValueRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : lstvwValues->selectionModel()->selectedRows())
        if (!valueModel_->IsPlaceholder(index.row())) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int RegistryBrowser::SelectedRowCount() const {
    return static_cast<int>(lstvwValues->selectionModel()->selectedRows().size());
}

bool RegistryBrowser::PlaceholderSelected() const {
    return valueModel_->IsPlaceholder(0) && lstvwValues->selectionModel()->isRowSelected(0);
}

int RegistryBrowser::ShowValueRow(const app::ValueRow& row) {
    const int shown = valueModel_->FindRow(row.record.valueName);
    return shown >= 0 ? shown : valueModel_->InsertRow(row);
}

void RegistryBrowser::SelectValueRow(int row, bool focus) {
    lstvwValues->setCurrentIndex(valueModel_->index(row, ValueListModel::kNameColumn));
    if (focus) lstvwValues->setFocus();
}

void RegistryBrowser::EditValueName(int row) {
    lstvwValues->setFocus();
    const QModelIndex index = valueModel_->index(row, ValueListModel::kNameColumn);
    lstvwValues->setCurrentIndex(index);
    lstvwValues->edit(index);
}

void RegistryBrowser::SelectAllValues() {
    lstvwValues->selectAll();
    lstvwValues->setFocus();
}

void RegistryBrowser::FollowSelectedKey() {
    const QModelIndex node = SelectedNode();
    const std::string path = NodePath(node);
    if (util::UpperCaseAscii(path) == util::UpperCaseAscii(valueModel_->KeyPath())) return;
    valueModel_->Clear();
    FillValueList(node);
    if (node.isValid()) emit statusChanged(platform::ShownText("[" + path + "]"));
}

void RegistryBrowser::FollowChange(const core::RegistryChange& change) {
    // The models have followed it already; a list left showing a key renamed or removed shows the
    // selected one.
    if (change.kind != core::ChangeKind::ValuesChanged) FollowSelectedKey();
}

void RegistryBrowser::KeySelected() {
    const QModelIndex node = SelectedNode();
    if (node.isValid()) {
        valueModel_->Clear();
        FillValueList(node);
        const std::string path = NodePath(node);
        const std::string written = app::LastWriteText(path);
        emit statusChanged(platform::ShownText(
            "[" + path + "]" +
            (written.empty() ? "" : "   " + i18n::FormatText(i18n::Text::LastWritten, {written}))));
        AddToHistory(path, true);
        Visit(path);
    }
    emit keySelected();
}

void RegistryBrowser::RefreshKey() {
    const QModelIndex node = SelectedNode();
    if (!node.isValid()) return;
    ReloadNode(node);
    KeySelected();
}

void RegistryBrowser::RefreshAll() {
    valueModel_->Clear();
    keyModel_->ResetRoots(listedRoots_);
    // No key is selected any more, and the last one may be gone.
    shownKey_.clear();
    emit statusChanged({});
    cmbbxAddress->clearEditText();
}

} // namespace hw::window
