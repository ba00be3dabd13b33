#include "app/window/value_list_model.h"

#include "app/window/caption_order.h"
#include "platform/qt/byte_text.h"
#include "ui/ui_text.h"

#include <algorithm>

namespace hw::window {

ValueListModel::ValueListModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{ui::UiText(i18n::Text::ColumnName),
                                           ui::UiText(i18n::Text::ColumnType),
                                           ui::UiText(i18n::Text::ColumnSize),
                                           ui::UiText(i18n::Text::ColumnData)} {}

void ValueListModel::SetRows(std::vector<app::ValueRow> rows) {
    std::vector<std::string> captions;
    captions.reserve(rows.size());
    for (const app::ValueRow& row : rows)
        captions.push_back(row.Caption());
    std::vector<app::ValueRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t from : CaptionOrder(captions))
        sorted.push_back(std::move(rows[from]));

    beginResetModel();
    rows_ = std::move(sorted);
    endResetModel();
}

void ValueListModel::Clear() {
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int ValueListModel::SortedPosition(const std::string& caption) const {
    const auto after = std::upper_bound(rows_.begin(), rows_.end(), caption,
                                        [](const std::string& wanted, const app::ValueRow& row) {
                                            return CompareCaptions(wanted, row.Caption()) < 0;
                                        });
    return static_cast<int>(after - rows_.begin());
}

int ValueListModel::InsertRow(app::ValueRow row) {
    const int position = SortedPosition(row.Caption());
    beginInsertRows({}, position, position);
    rows_.insert(rows_.begin() + position, std::move(row));
    endInsertRows();
    return position;
}

void ValueListModel::ReplaceRow(int row, app::ValueRow replacement) {
    rows_[static_cast<std::size_t>(row)] = std::move(replacement);
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

int ValueListModel::RenameRow(int row, const std::string& valueName) {
    app::ValueRow renamed = rows_[static_cast<std::size_t>(row)];
    renamed.record.valueName = valueName;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return InsertRow(std::move(renamed));
}

void ValueListModel::RemoveRows(std::vector<int> rows) {
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    std::vector<bool> removed(rows_.size(), false);
    for (int row : rows)
        removed[static_cast<std::size_t>(row)] = true;
    std::vector<app::ValueRow> kept;
    kept.reserve(rows_.size() - rows.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!removed[i]) kept.push_back(std::move(rows_[i]));
    // One reset is far cheaper for the view than thousands of single removals.
    beginResetModel();
    rows_ = std::move(kept);
    endResetModel();
}

void ValueListModel::SetColumnTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ValueListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ValueListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const app::ValueRow& row = Row(index.row());
    if (role == Qt::EditRole && index.column() == kNameColumn)
        return platform::ShownText(row.record.valueName);
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kNameColumn:
            return platform::ShownText(row.Caption());
        case kTypeColumn:
            return QString::fromUtf8(row.TypeColumn());
        case kSizeColumn:
            return QString::fromUtf8(row.SizeColumn());
        case kDataColumn:
            return platform::ShownText(row.DataColumn());
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DecorationRole && index.column() == kNameColumn &&
        static_cast<std::size_t>(row.Picture()) < pictures_.size())
        return pictures_[static_cast<std::size_t>(row.Picture())];
    return {};
}

Qt::ItemFlags ValueListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kNameColumn) flags |= Qt::ItemIsEditable;
    return flags;
}

bool ValueListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() != kNameColumn) return false;
    emit nameEdited(index.row(), value.toString());
    return false;
}

QVariant ValueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    return {};
}

} // namespace hw::window
