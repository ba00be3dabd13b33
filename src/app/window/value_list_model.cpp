#include "app/window/value_list_model.h"

#include "app/window/caption_order.h"
#include "core/ascii_case.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_text.h"
#include "platform/qt/byte_text.h"
#include "ui/ui_text.h"
#include "util/text.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace hw::window {

namespace {

// Past this many rows arriving or going at once, one reset costs the view less than single steps.
constexpr std::size_t kRowByRowLimit = 64;

// Whether inner is outer itself or lies below it (letter case aside); an empty outer holds every key.
bool HoldsKey(const std::string& outer, const std::string& inner) {
    if (outer.empty()) return true;
    const std::string upperInner = util::UpperCaseAscii(inner);
    const std::string upperOuter = util::UpperCaseAscii(outer);
    return upperInner.starts_with(upperOuter) &&
           (upperInner.size() == upperOuter.size() || upperInner[upperOuter.size()] == '\\');
}

} // namespace

ValueListModel::ValueListModel(QObject* parent)
    : QAbstractTableModel(parent), titles_{ui::UiText(i18n::Text::ColumnName),
                                           ui::UiText(i18n::Text::ColumnType),
                                           ui::UiText(i18n::Text::ColumnSize),
                                           ui::UiText(i18n::Text::ColumnData)},
      changes_(
          core::RegistryChanges().Subscribe([this](const core::RegistryChange& change) { Follow(change); })) {
}

void ValueListModel::Follow(const core::RegistryChange& change) {
    if (keyPath_.empty()) return;
    if (change.kind == core::ChangeKind::ValuesChanged &&
        util::UpperCaseAscii(change.keyPath) == util::UpperCaseAscii(keyPath_)) {
        if (change.allValues)
            RefreshAllValues();
        else
            RefreshValues(change.valueNames);
    } else if (change.kind == core::ChangeKind::TreeChanged && HoldsKey(change.keyPath, keyPath_)) {
        RefreshAllValues();
    }
}

int ValueListModel::FindRow(const std::string& valueName) const {
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (core::EqualsIgnoringCase(rows_[row].record.valueName, valueName)) return static_cast<int>(row);
    return -1;
}

void ValueListModel::RefreshValues(const std::vector<std::string>& valueNames) {
    // One enumeration costs less than many single reads.
    if (valueNames.size() > kRowByRowLimit) {
        RefreshAllValues();
        return;
    }
    const core::ScopedKey key =
        core::OpenKeyOrUseRoot(core::RootKeyOfPath(keyPath_), core::SubKeyOrEmpty(keyPath_), KEY_QUERY_VALUE);
    std::vector<app::ValueRow> current;
    for (const std::string& name : valueNames) {
        const std::optional<core::RawValue> value =
            key ? core::QueryValueData(key.get(), name) : std::nullopt;
        if (value)
            current.push_back(app::MakeValueRow(keyPath_, name, value->type, value->data.data(),
                                                static_cast<DWORD>(value->data.size())));
    }
    Merge(valueNames, std::move(current));
}

void ValueListModel::RefreshAllValues() {
    std::vector<app::ValueRow> current = app::ReadValueRows(keyPath_);
    std::vector<std::string> names;
    names.reserve(rows_.size() + current.size());
    for (const app::ValueRow& row : rows_)
        names.push_back(row.record.valueName);
    for (const app::ValueRow& row : current)
        names.push_back(row.record.valueName);
    Merge(names, std::move(current));
}

void ValueListModel::Merge(const std::vector<std::string>& valueNames, std::vector<app::ValueRow> current) {
    // A few names are looked for row by row; many at once through an index of the rows.
    const bool indexed = valueNames.size() > kRowByRowLimit;
    std::unordered_map<std::string, int> shown;
    if (indexed) {
        shown.reserve(rows_.size());
        for (std::size_t row = 0; row < rows_.size(); ++row)
            shown.emplace(util::UpperCaseAscii(rows_[row].record.valueName), static_cast<int>(row));
    }
    std::unordered_map<std::string, app::ValueRow*> now;
    for (app::ValueRow& row : current)
        now.emplace(util::UpperCaseAscii(row.record.valueName), &row);

    std::vector<int> gone;
    std::vector<app::ValueRow> arriving;
    std::unordered_set<std::string> done;
    for (const std::string& name : valueNames) {
        const std::string upper = util::UpperCaseAscii(name);
        if (!done.insert(upper).second) continue;
        const auto found = indexed ? shown.find(upper) : shown.end();
        const int row = indexed ? (found == shown.end() ? -1 : found->second) : FindRow(name);
        const auto value = now.find(upper);
        if (value == now.end()) {
            if (row >= 0) gone.push_back(row);
        } else if (row >= 0) {
            ReplaceRow(row, std::move(*value->second));
        } else {
            arriving.push_back(std::move(*value->second));
        }
    }
    RemoveRows(std::move(gone));
    if (arriving.size() > kRowByRowLimit) {
        std::vector<app::ValueRow> all = std::move(rows_);
        std::move(arriving.begin(), arriving.end(), std::back_inserter(all));
        SetRows(std::move(all), keyPath_);
        return;
    }
    for (app::ValueRow& row : arriving)
        InsertRow(std::move(row));
}

void ValueListModel::SetRows(std::vector<app::ValueRow> rows, std::string keyPath) {
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
    keyPath_ = std::move(keyPath);
    endResetModel();
}

void ValueListModel::Clear() {
    keyPath_.clear();
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

void ValueListModel::RemoveRows(std::vector<int> rows) {
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    if (rows.size() <= kRowByRowLimit) {
        // Row by row, so that the selection and the scroll position of the others stay.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            beginRemoveRows({}, *row, *row);
            rows_.erase(rows_.begin() + *row);
            endRemoveRows();
        }
        return;
    }
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
