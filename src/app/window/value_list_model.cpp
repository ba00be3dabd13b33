#include "app/window/value_list_model.h"

#include "app/one_line_text.h"
#include "app/window/caption_order.h"
#include "core/ascii_case.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "core/value_text.h"
#include "platform/qt/byte_text.h"
#include "ui/ui_text.h"
#include "util/text.h"

#include <algorithm>
#include <functional>
#include <memory>
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

bool KeyReadable(const std::string& keyPath) {
    return static_cast<bool>(
        core::OpenKey(core::RootKeyOfPath(keyPath), core::SubKeyOrEmpty(keyPath), KEY_READ));
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
        if (core::EqualsIgnoringCase(rows_[row].record.valueName, valueName))
            return static_cast<int>(row) + First();
    return -1;
}

const app::ValueRow& ValueListModel::Row(int row) const {
    if (IsPlaceholder(row)) return placeholderRow_;
    return rows_[static_cast<std::size_t>(row - First())];
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
    if (!key) keyReadable_ = false;
    Merge(valueNames, std::move(current));
}

void ValueListModel::RefreshAllValues() {
    std::vector<app::ValueRow> current = app::ReadValueRows(keyPath_);
    keyReadable_ = !current.empty() || KeyReadable(keyPath_);
    std::vector<std::string> names;
    names.reserve(rows_.size() + current.size());
    for (const app::ValueRow& row : rows_)
        names.push_back(row.record.valueName);
    for (const app::ValueRow& row : current)
        names.push_back(row.record.valueName);
    Merge(names, std::move(current));
}

std::function<int(const std::string&)> ValueListModel::RowFinder(bool indexed) const {
    if (!indexed) return [this](const std::string& name) { return FindRow(name); };
    auto shown = std::make_shared<std::unordered_map<std::string, int>>();
    shown->reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row)
        shown->emplace(util::UpperCaseAscii(rows_[row].record.valueName), static_cast<int>(row) + First());
    return [shown](const std::string& name) {
        const auto found = shown->find(util::UpperCaseAscii(name));
        return found == shown->end() ? -1 : found->second;
    };
}

void ValueListModel::Merge(const std::vector<std::string>& valueNames, std::vector<app::ValueRow> current) {
    // A few names are looked for row by row; many at once through an index of the rows.
    const bool indexed = valueNames.size() > kRowByRowLimit;
    std::unordered_map<std::string, app::ValueRow*> now;
    for (app::ValueRow& row : current)
        now.emplace(util::UpperCaseAscii(row.record.valueName), &row);

    std::vector<int> gone;
    std::vector<app::ValueRow*> staying;
    std::unordered_set<std::string> done;
    const auto findBefore = RowFinder(indexed);
    for (const std::string& name : valueNames) {
        const std::string upper = util::UpperCaseAscii(name);
        if (!done.insert(upper).second) continue;
        const auto value = now.find(upper);
        if (value != now.end())
            staying.push_back(value->second);
        else if (const int row = findBefore(name); row >= 0)
            gone.push_back(row);
    }
    RemoveRows(std::move(gone));

    // Rows are replaced in place first; one reorder afterwards puts any that left their place right.
    std::vector<app::ValueRow> arriving;
    std::vector<std::size_t> replaced;
    const auto findAfter = RowFinder(indexed);
    for (app::ValueRow* value : staying) {
        const int row = findAfter(value->record.valueName);
        if (row < 0) {
            arriving.push_back(std::move(*value));
            continue;
        }
        rows_[static_cast<std::size_t>(row - First())] = std::move(*value);
        replaced.push_back(static_cast<std::size_t>(row - First()));
        emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
    }
    const auto outOfPlace = [this](std::size_t i) {
        return (i > 0 && Before(rows_[i], rows_[i - 1])) ||
               (i + 1 < rows_.size() && Before(rows_[i + 1], rows_[i]));
    };
    if (std::any_of(replaced.begin(), replaced.end(), outOfPlace)) Reorder();

    if (arriving.size() > kRowByRowLimit) {
        std::vector<app::ValueRow> all = std::move(rows_);
        std::move(arriving.begin(), arriving.end(), std::back_inserter(all));
        SetRows(std::move(all), keyPath_);
        return;
    }
    for (app::ValueRow& row : arriving)
        InsertRow(std::move(row));
    UpdatePlaceholder();
}

int ValueListModel::AdoptDefaultValue(app::ValueRow row) {
    emit layoutAboutToBeChanged();
    const std::size_t position = SortedPosition(row);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position), std::move(row));
    placeholder_ = false;
    const int adopted = static_cast<int>(position);
    // Old row 0 was the placeholder; old row r held rows_[r - 1], which now sits at r - 1 or r.
    MovePersistentRows(
        [adopted](int old) { return old == 0 ? adopted : old - 1 + (old - 1 >= adopted ? 1 : 0); });
    emit layoutChanged();
    return adopted;
}

bool ValueListModel::WantsPlaceholder() const {
    if (keyPath_.empty() || !keyReadable_) return false;
    return std::none_of(rows_.begin(), rows_.end(),
                        [](const app::ValueRow& row) { return row.record.valueName.empty(); });
}

void ValueListModel::UpdatePlaceholder() {
    const bool wanted = WantsPlaceholder();
    if (wanted == placeholder_) return;
    if (wanted) {
        beginInsertRows({}, 0, 0);
        placeholderRow_ = app::DefaultPlaceholderRow(keyPath_);
        placeholder_ = true;
        endInsertRows();
    } else {
        beginRemoveRows({}, 0, 0);
        placeholder_ = false;
        endRemoveRows();
    }
}

void ValueListModel::SetRows(std::vector<app::ValueRow> rows, std::string keyPath) {
    std::vector<app::ValueRow> sorted;
    sorted.reserve(rows.size());
    for (std::size_t from : Order(rows))
        sorted.push_back(std::move(rows[from]));
    const bool readable = !sorted.empty() || (!keyPath.empty() && KeyReadable(keyPath));
    beginResetModel();
    rows_ = std::move(sorted);
    keyPath_ = std::move(keyPath);
    keyReadable_ = readable;
    placeholder_ = WantsPlaceholder();
    if (placeholder_) placeholderRow_ = app::DefaultPlaceholderRow(keyPath_);
    endResetModel();
}

void ValueListModel::Clear() {
    keyPath_.clear();
    if (Count() == 0) return;
    beginResetModel();
    rows_.clear();
    placeholder_ = false;
    endResetModel();
}

bool ValueListModel::Before(const app::ValueRow& first, const app::ValueRow& second) const {
    if (!sort_) return CompareCaptions(first.Caption(), second.Caption()) < 0;
    const int order = app::CompareSortKeys(app::ValueSortKey(first, sort_->column),
                                           app::ValueSortKey(second, sort_->column), sort_->column);
    return sort_->descending ? order > 0 : order < 0;
}

std::size_t ValueListModel::SortedPosition(const app::ValueRow& row) const {
    const auto after = std::upper_bound(
        rows_.begin(), rows_.end(), row,
        [this](const app::ValueRow& wanted, const app::ValueRow& shown) { return Before(wanted, shown); });
    return static_cast<std::size_t>(after - rows_.begin());
}

int ValueListModel::InsertRow(app::ValueRow row) {
    if (placeholder_ && row.record.valueName.empty()) return AdoptDefaultValue(std::move(row));
    const int position = static_cast<int>(SortedPosition(row)) + First();
    beginInsertRows({}, position, position);
    rows_.insert(rows_.begin() + (position - First()), std::move(row));
    endInsertRows();
    return position;
}

void ValueListModel::RemoveRows(std::vector<int> rows) {
    std::erase_if(rows, [this](int row) { return IsPlaceholder(row); });
    if (rows.empty()) return;
    std::sort(rows.begin(), rows.end());
    if (rows.size() <= kRowByRowLimit) {
        // Row by row, so that the selection and the scroll position of the others stay.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
            beginRemoveRows({}, *row, *row);
            rows_.erase(rows_.begin() + (*row - First()));
            endRemoveRows();
        }
        UpdatePlaceholder();
        return;
    }
    std::vector<bool> removed(rows_.size(), false);
    for (int row : rows)
        removed[static_cast<std::size_t>(row - First())] = true;
    std::vector<app::ValueRow> kept;
    kept.reserve(rows_.size() - rows.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!removed[i]) kept.push_back(std::move(rows_[i]));
    // One reset is far cheaper for the view than thousands of single removals.
    beginResetModel();
    rows_ = std::move(kept);
    endResetModel();
    UpdatePlaceholder();
}

std::vector<std::size_t> ValueListModel::Order(const std::vector<app::ValueRow>& rows) const {
    if (sort_) return app::ValueRowOrder(rows, sort_->column, sort_->descending);
    std::vector<std::string> captions;
    captions.reserve(rows.size());
    for (const app::ValueRow& row : rows)
        captions.push_back(row.Caption());
    return CaptionOrder(captions);
}

void ValueListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) return;
    sort_ = SortOrder{static_cast<app::ValueColumn>(column), order == Qt::DescendingOrder};
    Reorder();
}

void ValueListModel::Reorder() {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> permutation = Order(rows_);
    // newRow[old] is where the value shown at old goes; the placeholder keeps row 0.
    std::vector<int> newRow(rows_.size());
    std::vector<app::ValueRow> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t position = 0; position < permutation.size(); ++position) {
        newRow[permutation[position]] = static_cast<int>(position) + First();
        sorted.push_back(std::move(rows_[permutation[position]]));
    }
    rows_ = std::move(sorted);
    MovePersistentRows([this, &newRow](int old) {
        return IsPlaceholder(old) ? old : newRow[static_cast<std::size_t>(old - First())];
    });
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ValueListModel::MovePersistentRows(const std::function<int(int)>& newRow) {
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from)
        to.push_back(index(newRow(old.row()), old.column()));
    changePersistentIndexList(from, to);
}

void ValueListModel::SetColumnTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

int ValueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count();
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
        // Line breaks show as marks, so that every row keeps one line's height.
        switch (index.column()) {
        case kNameColumn:
            return platform::ShownText(app::OneLineText(row.Caption()));
        case kTypeColumn:
            return QString::fromUtf8(row.TypeColumn());
        case kSizeColumn:
            return QString::fromUtf8(row.SizeColumn());
        case kDataColumn:
            return platform::ShownText(app::OneLineText(row.DataColumn()));
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole) {
        // A text shown with marks has its real lines as the tip.
        const std::string text = index.column() == kNameColumn   ? row.Caption()
                                 : index.column() == kDataColumn ? row.record.DataText()
                                                                 : std::string();
        if (app::HasLineBreak(text)) return platform::ShownText(text);
        return {};
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
    // The placeholder has no name to change.
    if (index.isValid() && index.column() == kNameColumn && !IsPlaceholder(index.row()))
        flags |= Qt::ItemIsEditable;
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
    // A column's first click sorts it ascending.
    if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole) return int(Qt::AscendingOrder);
    return {};
}

} // namespace hw::window
