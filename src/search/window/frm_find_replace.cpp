// Replace and Replace All on the Find window's rows, and what a replace changes elsewhere.
#include "search/window/found_list_model.h"
#include "search/window/frm_find.h"
#include "search/window/stale_result.h"
#include "ui/busy_cursor.h"
#include "ui/file_messages.h"
#include "util/dialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include <numeric>
#include <unordered_set>

namespace hw::window {

void TfrmFind::ReplaceSelected() {
    ReplaceRows(SelectedRows());
}

void TfrmFind::ReplaceAll() {
    std::vector<int> rows(static_cast<std::size_t>(model_->Count()));
    std::iota(rows.begin(), rows.end(), 0);
    ReplaceRows(rows);
}

void TfrmFind::ReplaceRows(const std::vector<int>& rows) {
    if (walking_) return;
    search::ReplaceOptions options;
    options.from = edtReplaceFrom->text().toStdString();
    options.to = edtReplaceTo->text().toStdString();
    options.keys = chckbxReplaceKey->isChecked();
    options.values = chckbxReplaceValue->isChecked();
    options.data = chckbxReplaceData->isChecked();

    ui::BusyCursor busy;
    std::vector<const search::SearchResult*> skipped;
    // A value found by its name and by its data has two rows; replacing it twice would apply a To text
    // that holds the From text twice over.
    std::unordered_set<int> doneAsSibling;
    keyPathsMoved_ = false;
    std::size_t replaced = 0;
    for (int row : rows) {
        if (doneAsSibling.contains(row)) continue;
        search::SearchResult& result = model_->Result(row);
        // Texts read only now are current; texts shown earlier must still be what the registry holds.
        const bool shown = model_->HasDataTexts(row);
        search::ResultRowTexts texts = model_->Texts(row);
        if (!search::ResultStillStands(result, shown ? &texts : nullptr)) {
            skipped.push_back(&result);
            continue;
        }
        replacingRow_ = row;
        if (search::ReplaceInResult(request_, result, texts, options, *this)) {
            model_->SetDataTexts(row, texts);
            ++replaced;
        }
        replacingRow_ = -1;
        for (int sibling : SiblingRows(row)) {
            doneAsSibling.insert(sibling);
            model_->Reload(sibling);
        }
    }
    if (keyPathsMoved_) model_->EveryRowChanged();
    if (!skipped.empty()) util::NoticeBox(search::DescribeStaleResults(skipped));
    util::NoticeBox(ui::RowsReplacedText(replaced, rows.size()));
}

void TfrmFind::ValueRenamed(const std::string&, const std::string& oldName, const std::string& newName) {
    if (replacingRow_ >= 0) FollowValueRename(replacingRow_, oldName, newName);
}

void TfrmFind::ResultKeyPathChanged(const search::SearchResult&) {
    // Rows show their result's path; one repaint after the whole replace is enough.
    keyPathsMoved_ = true;
}

} // namespace hw::window
