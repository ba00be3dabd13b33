// The value list's model: one row per value of one key with its record, kept sorted by caption until the user
// picks a column, and following the registry change feed so that values changed anywhere show without a
// refresh.
#pragma once

#include "app/value_order.h"
#include "app/value_rows.h"
#include "core/change_feed.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace hw::window {

// Row numbers are the view's. While the key (readable) has no default value, row 0 is the "(Default)"
// placeholder: Row(0) gives a REG_SZ record with an empty name and no data, Count() includes it, and FindRow
// never finds it. Every other row holds one value.
class ValueListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kNameColumn, kTypeColumn, kSizeColumn, kDataColumn, kColumnCount };

    explicit ValueListModel(QObject* parent = nullptr);

    // Replaces all rows (and their records) with these, the values of the key at keyPath, in the list's
    // order.
    void SetRows(std::vector<app::ValueRow> rows, std::string keyPath = {});
    void Clear();
    // The key whose values the rows show; empty for none.
    const std::string& KeyPath() const { return keyPath_; }
    // The row of the value (any letter case); -1 for none.
    int FindRow(const std::string& valueName) const;
    bool IsPlaceholder(int row) const { return placeholder_ && row == 0; }
    // Reads the named values again: rows follow, appear or go, the others and the selection staying.
    void RefreshValues(const std::vector<std::string>& valueNames);
    void RefreshAllValues();
    // Adds a row where the sort order puts it (a default value takes the placeholder's place); its row
    // number.
    int InsertRow(app::ValueRow row);
    // Removes these rows (any order, no repeats) in one pass; the placeholder stays.
    void RemoveRows(std::vector<int> rows);

    const app::ValueRow& Row(int row) const;
    int Count() const { return static_cast<int>(rows_.size()) + First(); }

    void SetColumnTitles(const QStringList& titles);
    // Pictures by index of the shared image list.
    void SetPictures(const std::vector<QIcon>& pictures) { pictures_ = pictures; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The name column is edited in place; the edit starts from the value's name.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // From then on the rows keep the column's order, refills and single changes too; the selection stays.
    void sort(int column, Qt::SortOrder order) override;

  signals:
    // The user accepted an in-place edit of the row's name; the window decides whether it is renamed.
    void nameEdited(int row, const QString& text);

  private:
    struct SortOrder {
        app::ValueColumn column;
        bool descending;
    };

    // The view row of rows_[0].
    int First() const { return placeholder_ ? 1 : 0; }
    // Whether first comes before second in the list's order.
    bool Before(const app::ValueRow& first, const app::ValueRow& second) const;
    // The index into rows_ before which row belongs.
    std::size_t SortedPosition(const app::ValueRow& row) const;
    // The permutation that puts the rows in the list's order.
    std::vector<std::size_t> Order(const std::vector<app::ValueRow>& rows) const;
    // Puts the rows in the list's order, keeping the selection and the current row on their values.
    void Reorder();
    // Between the layout signals: the selection and the current row go from each old row to newRow(old).
    void MovePersistentRows(const std::function<int(int)>& newRow);
    // Looks up a value's row: by a scan for a few names, through an index made now for many.
    std::function<int(const std::string&)> RowFinder(bool indexed) const;
    void Follow(const core::RegistryChange& change);
    // The rows of the named values become current: the rows of those values that exist now.
    void Merge(const std::vector<std::string>& valueNames, std::vector<app::ValueRow> current);
    // The placeholder turns into the default value's row, so that a selection on it stays; its row.
    int AdoptDefaultValue(app::ValueRow row);
    // Shows the placeholder exactly while the key is readable and has no default value.
    void UpdatePlaceholder();
    bool WantsPlaceholder() const;

    std::vector<app::ValueRow> rows_;
    std::optional<SortOrder> sort_;
    bool placeholder_ = false;
    app::ValueRow placeholderRow_;
    bool keyReadable_ = false;
    std::string keyPath_;
    QStringList titles_;
    std::vector<QIcon> pictures_;
    core::ChangeFeed::Subscription changes_;
};

} // namespace hw::window
