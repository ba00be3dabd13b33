#include "app/window/value_list_model.h"

#include "app/window/caption_order.h"
#include "app/window/ui_text.h"

namespace hw::window {

ValueListModel::ValueListModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{UiText(134), UiText(135), UiText(136), UiText(137)} {}

void ValueListModel::SetRows(std::vector<ValueRow> rows) {
    std::vector<std::string> captions;
    captions.reserve(rows.size());
    for (const ValueRow& row : rows)
        captions.push_back(row.caption);
    std::vector<ValueRow> sorted;
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
    const ValueRow& row = Row(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case kNameColumn:
            return QString::fromUtf8(row.caption);
        case kTypeColumn:
            return QString::fromUtf8(row.typeColumn);
        case kSizeColumn:
            return QString::fromUtf8(row.sizeColumn);
        case kDataColumn:
            return QString::fromUtf8(row.dataColumn);
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::DecorationRole && index.column() == kNameColumn &&
        static_cast<std::size_t>(row.picture) < pictures_.size())
        return pictures_[static_cast<std::size_t>(row.picture)];
    return {};
}

QVariant ValueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    return {};
}

} // namespace hw::window
