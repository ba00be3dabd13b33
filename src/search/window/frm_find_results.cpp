// The actions on the Find window's result rows: the popup menu, go to, rename, delete, select all.
#include "core/key_ops.h"
#include "i18n/text_table.h"
#include "search/result_paths.h"
#include "search/window/found_list_model.h"
#include "search/window/frm_find.h"
#include "ui/image_list.h"
#include "util/dialog.h"
#include "util/text.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

#include <set>

namespace hw::window {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return util::UpperCaseAscii(a) == util::UpperCaseAscii(b);
}

std::string ParentPath(const std::string& keyPath) {
    const std::size_t slash = keyPath.rfind('\\');
    return slash == std::string::npos ? std::string() : keyPath.substr(0, slash);
}

// Upper-cased key paths deleted so far; a path is gone when it or one of its ancestors is listed.
class DeletedKeys {
  public:
    void Add(const std::string& path) { paths_.insert(util::UpperCaseAscii(path)); }
    bool Holds(const std::string& path) const {
        if (paths_.empty()) return false;
        const std::string upper = util::UpperCaseAscii(path);
        for (std::size_t end = upper.find('\\'); end != std::string::npos; end = upper.find('\\', end + 1))
            if (paths_.contains(upper.substr(0, end))) return true;
        return paths_.contains(upper);
    }

  private:
    std::set<std::string> paths_;
};

} // namespace

void TfrmFind::CreatePopup() {
    pppmnOperate = new QMenu(this);
    pppmnOperate->setObjectName("pppmnOperate");
    auto add = [this](const char* name, int picture, const QKeySequence& shortcut, void (TfrmFind::*run)()) {
        auto* action = new QAction(this);
        action->setObjectName(name);
        if (picture >= 0) action->setIcon(ui::ImageListIcon(picture));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, [this, run] {
            if (!walking_) (this->*run)();
        });
        lstvwFound->addAction(action);
        pppmnOperate->addAction(action);
        return action;
    };
    pppmnitmEdit = add("pppmnitmEdit", ui::kImgEdit, {}, &TfrmFind::OpenResult);
    pppmnitmCopy = add("pppmnitmCopy", ui::kImgCopy, QKeySequence("Ctrl+C"), &TfrmFind::CopyResults);
    pppmnOperate->addSeparator();
    pppmnitmGoToResult = add("pppmnitmGoToResult", -1, QKeySequence("Ctrl+G"), &TfrmFind::GoToResult);
    pppmnOperate->addSeparator();
    pppmnitmRename = add("pppmnitmRename", -1, QKeySequence("F2"), &TfrmFind::RenameResult);
    pppmnOperate->addSeparator();
    pppmnitmDelete = add("pppmnitmDelete", ui::kImgDelete, QKeySequence("Del"), &TfrmFind::DeleteResults);
    pppmnOperate->addSeparator();
    pppmnitmSelectAll = add("pppmnitmSelectAll", -1, QKeySequence("Ctrl+A"), &TfrmFind::SelectAllResults);
    connect(lstvwFound, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (walking_) return;
        const int focused = FocusedRow();
        pppmnitmEdit->setEnabled(focused >= 0);
        pppmnitmCopy->setEnabled(CopyAllowed());
        pppmnOperate->popup(lstvwFound->viewport()->mapToGlobal(pos));
    });
}

std::vector<int> TfrmFind::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : lstvwFound->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TfrmFind::FocusedRow() const {
    const QModelIndex current = lstvwFound->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::vector<int> TfrmFind::SiblingRows(int row) const {
    std::vector<int> siblings;
    const search::SearchResult& result = model_->Result(row);
    if (result.isKey()) return siblings;
    for (int other : {row - 1, row + 1}) {
        if (other < 0 || other >= model_->Count()) continue;
        const search::SearchResult& near = model_->Result(other);
        if (!near.isKey() && SameIgnoringCase(near.keyPath, result.keyPath) &&
            SameIgnoringCase(near.valueName, result.valueName))
            siblings.push_back(other);
    }
    return siblings;
}

void TfrmFind::SelectAllResults() {
    lstvwFound->selectAll();
}

void TfrmFind::GoToResult() {
    const int row = FocusedRow();
    if (row < 0) return;
    const search::SearchResult result = model_->Result(row);
    hide();
    btnClose->click();
    host_.goTo(result.keyPath, result.isKey() ? nullptr : &result.valueName);
}

void TfrmFind::RenameResult() {
    const int row = FocusedRow();
    if (row >= 0) lstvwFound->edit(model_->index(row, FoundListModel::kResultColumn));
}

void TfrmFind::RenameRow(int row, const std::string& newName) {
    const search::SearchResult& result = model_->Result(row);
    const std::string oldName = result.isKey() ? search::KeyNameOfPath(result.keyPath) : result.valueName;
    if (newName.empty() || SameIgnoringCase(newName, oldName)) return;
    if (result.isKey())
        RenameKeyRow(row, newName);
    else
        RenameValueRow(row, newName);
}

void TfrmFind::RenameValueRow(int row, const std::string& newName) {
    search::SearchResult& result = model_->Result(row);
    const std::string oldName = result.valueName;
    if (core::ValuePathExists(result.keyPath, newName)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::NameExists, {newName}));
        return;
    }
    if (!core::RenameValuePath(result.keyPath, oldName, newName)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::CannotRename, {oldName, newName}));
        return;
    }
    FollowValueRename(row, oldName, newName);
    result.valueName = newName;
    model_->RowChanged(row);
}

void TfrmFind::RenameKeyRow(int row, const std::string& newName) {
    const search::SearchResult& result = model_->Result(row);
    const std::string oldPath = result.keyPath;
    const std::string oldName = search::KeyNameOfPath(oldPath);
    if (newName.find('\\') != std::string::npos) {
        util::NoticeBox(i18n::LookupText(i18n::Text::InvalidKeyName));
        return;
    }
    const std::string newPath = ParentPath(oldPath) + "\\" + newName;
    if (core::KeyPathExists(newPath)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::NameExists, {newName}));
        return;
    }
    if (!core::RenameKeyPath(oldPath, newPath)) {
        util::NoticeBox(i18n::FormatText(i18n::Text::CannotRename, {oldName, newName}));
        return;
    }
    FollowKeyRename(oldPath, newPath);
}

void TfrmFind::FollowValueRename(int row, const std::string& oldName, const std::string& newName) {
    for (int sibling : SiblingRows(row)) {
        search::SearchResult& other = model_->Result(sibling);
        if (SameIgnoringCase(other.valueName, oldName)) other.valueName = newName;
        model_->RowChanged(sibling);
    }
}

void TfrmFind::FollowKeyRename(const std::string& oldPath, const std::string& newPath) {
    search::MoveResultsOfKey(request_, oldPath, newPath, {});
    model_->EveryRowChanged();
}

void TfrmFind::DeleteResults() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty() || !util::AskYesNo(i18n::LookupText(i18n::Text::SureToDeleteItems))) return;
    DeletedKeys deleted;
    std::vector<int> removed;
    for (int row : rows) {
        const search::SearchResult& result = model_->Result(row);
        if (deleted.Holds(result.keyPath)) continue;
        if (result.isKey()) {
            if (!core::DeleteKeyPath(result.keyPath)) continue;
            deleted.Add(result.keyPath);
        } else {
            core::DeleteValuePath(result.keyPath, result.valueName);
            // The value's other row (name and data both matched) shows nothing any more.
            for (int sibling : SiblingRows(row))
                removed.push_back(sibling);
        }
        removed.push_back(row);
    }
    for (int row = 0; row < model_->Count(); ++row)
        if (deleted.Holds(model_->Result(row).keyPath)) removed.push_back(row);
    model_->RemoveRows(std::move(removed));
    ShowResultCount();
}

} // namespace hw::window
