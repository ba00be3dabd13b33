// Opening a result in its editor, and copying results to the main window's clipboards.
#include "app/value_rows.h"
#include "search/window/found_list_model.h"
#include "search/window/frm_find.h"
#include "util/text.h"

namespace hw::window {

namespace {

// The value as the main window's list would show it now; nothing when it is gone.
std::optional<app::TViewData> CurrentRecord(const search::SearchResult& result) {
    const std::string wanted = util::UpperCaseAscii(result.valueName);
    for (app::ValueRow& row : app::ReadValueRows(result.keyPath))
        if (util::UpperCaseAscii(row.record.valueName) == wanted) return std::move(row.record);
    return std::nullopt;
}

} // namespace

void TfrmFind::OpenResult() {
    const int row = FocusedRow();
    if (row < 0) return;
    const search::SearchResult& result = model_->Result(row);
    if (result.isKey()) {
        host_.showKeyContent(result.keyPath);
        return;
    }
    const std::optional<app::TViewData> record = CurrentRecord(result);
    if (!record) return;
    if (!host_.editValue(*record)) return;
    model_->Reload(row);
    for (int sibling : SiblingRows(row))
        model_->Reload(sibling);
}

bool TfrmFind::CopyAllowed() const {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() == 1) return true;
    if (rows.empty()) return false;
    for (int row : rows)
        if (model_->Result(row).isKey()) return false;
    return true;
}

void TfrmFind::CopyResults() {
    if (!CopyAllowed()) return;
    const std::vector<int> rows = SelectedRows();
    const search::SearchResult& first = model_->Result(rows.front());
    if (first.isKey()) {
        host_.copyKey(first.keyPath);
        return;
    }
    std::vector<app::TValueCopyData> entries;
    for (int row : rows) {
        const std::optional<app::TViewData> record = CurrentRecord(model_->Result(row));
        if (!record) continue;
        // A multi-string keeps every string, not only the first that the row shows.
        entries.push_back({record->type, record->valueName, record->DataText(), record->Strings()});
    }
    host_.copyValues(entries);
}

} // namespace hw::window
