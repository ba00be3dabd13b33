#include "search/window/found_list_model.h"

#include "core/value_types.h"
#include "platform/qt/byte_text.h"
#include "ui/image_list.h"

#include <algorithm>

namespace hw::window {

int ResultPicture(const search::SearchResult& result) {
    switch (result.kind) {
    case search::ResultKind::KeyName:
        return ui::kImgKeyClosed;
    case search::ResultKind::ValueName:
        return ui::kImgNameMatch;
    case search::ResultKind::StringData:
        return ui::kImgValueText;
    case search::ResultKind::DwordData:
        return ui::kImgValueNumber;
    case search::ResultKind::BinaryData:
        break;
    }
    return ui::kImgValueBytes;
}

int DataPicture(const search::SearchResult& result) {
    if (result.isKey()) return ui::kImgKeyClosed;
    switch (core::ClassOfType(result.valueType)) {
    case core::TypeClass::Text:
        return ui::kImgValueText;
    case core::TypeClass::Number:
        return ui::kImgValueNumber;
    case core::TypeClass::Bytes:
        break;
    }
    return ui::kImgValueBytes;
}

FoundListModel::FoundListModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{"Result", "At Key", "At Value", "Data"} {}

void FoundListModel::Flush() {
    if (pending_.empty()) return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(pending_.size()) - 1);
    for (search::SearchResult* result : pending_)
        rows_.push_back({result, nullptr});
    pending_.clear();
    endInsertRows();
}

void FoundListModel::Clear() {
    pending_.clear();
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    endResetModel();
}

const FoundListModel::DataTexts& FoundListModel::DataOf(const Row& row) const {
    if (!row.data) {
        search::ResultRowTexts texts = search::ResultRowTextsOf(*row.result);
        row.data = std::make_unique<DataTexts>(DataTexts{std::move(texts.data), std::move(texts.raw)});
    }
    return *row.data;
}

search::ResultRowTexts FoundListModel::Texts(int row) const {
    const Row& found = rows_[static_cast<std::size_t>(row)];
    const search::SearchResult& result = *found.result;
    search::ResultRowTexts texts;
    texts.caption = result.isKey() ? search::KeyNameOfPath(result.keyPath) : result.valueName;
    texts.atKey = result.keyPath;
    texts.atValue = result.valueName;
    const DataTexts& data = DataOf(found);
    texts.data = data.data;
    texts.raw = data.raw;
    return texts;
}

void FoundListModel::SetDataTexts(int row, const search::ResultRowTexts& texts) {
    rows_[static_cast<std::size_t>(row)].data = std::make_unique<DataTexts>(DataTexts{texts.data, texts.raw});
    RowChanged(row);
}

void FoundListModel::Reload(int row) {
    rows_[static_cast<std::size_t>(row)].data.reset();
    RowChanged(row);
}

void FoundListModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void FoundListModel::EveryRowChanged() {
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(Count() - 1, kColumnCount - 1));
}

void FoundListModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, one removal per run of neighbouring rows.
    for (auto last = rows.rbegin(); last != rows.rend();) {
        auto first = last;
        while (std::next(first) != rows.rend() && *std::next(first) == *first - 1)
            ++first;
        beginRemoveRows({}, *first, *last);
        rows_.erase(rows_.begin() + *first, rows_.begin() + *last + 1);
        endRemoveRows();
        last = std::next(first);
    }
}

void FoundListModel::SetColumnTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int FoundListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
}

int FoundListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QIcon FoundListModel::Picture(int index) const {
    if (pictures_.empty())
        for (int i = 0; i < ui::kImageCount; ++i)
            pictures_.push_back(ui::ImageListIcon(i));
    return pictures_[static_cast<std::size_t>(index)];
}

QVariant FoundListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const search::SearchResult& result = *row.result;
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case kResultColumn:
            return platform::ShownText(result.isKey() ? search::KeyNameOfPath(result.keyPath)
                                                      : result.valueName);
        case kAtKeyColumn:
            return platform::ShownText(result.keyPath);
        case kAtValueColumn:
            return platform::ShownText(result.valueName);
        case kDataColumn:
            return platform::ShownText(DataOf(row).data);
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole) {
        if (index.column() == kResultColumn) return Picture(ResultPicture(result));
        if (index.column() == kDataColumn) return Picture(DataPicture(result));
    }
    return {};
}

bool FoundListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != kResultColumn || !rename_) return false;
    rename_(index.row(), value.toString().toStdString());
    RowChanged(index.row());
    return true;
}

Qt::ItemFlags FoundListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kResultColumn) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant FoundListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles_.size())
        return titles_[section];
    return {};
}

} // namespace hw::window
