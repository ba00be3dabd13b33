// The value list's model: one row per value of one key with its record, kept sorted by caption, and following
// the registry change feed so that values changed anywhere show without a refresh.
#pragma once

#include "app/value_rows.h"
#include "core/change_feed.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <vector>

namespace hw::window {

class ValueListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kNameColumn, kTypeColumn, kSizeColumn, kDataColumn, kColumnCount };

    explicit ValueListModel(QObject* parent = nullptr);

    // Replaces all rows (and their records) with these, the values of the key at keyPath, sorted by caption.
    void SetRows(std::vector<app::ValueRow> rows, std::string keyPath = {});
    void Clear();
    // The key whose values the rows show; empty for none.
    const std::string& KeyPath() const { return keyPath_; }
    // The row of the value (any letter case); -1 for none.
    int FindRow(const std::string& valueName) const;
    // Reads the named values again: rows follow, appear or go, the others and the selection staying.
    void RefreshValues(const std::vector<std::string>& valueNames);
    void RefreshAllValues();
    // Adds a row where the sort order puts it; its row number.
    int InsertRow(app::ValueRow row);
    // Replaces a row's columns and record in place (its caption unchanged).
    void ReplaceRow(int row, app::ValueRow replacement);
    // Removes these rows (any order, no repeats) in one pass.
    void RemoveRows(std::vector<int> rows);

    const app::ValueRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Count() const { return static_cast<int>(rows_.size()); }

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

  signals:
    // The user accepted an in-place edit of the row's name; the window decides whether it is renamed.
    void nameEdited(int row, const QString& text);

  private:
    // The row before which a row with that caption belongs.
    int SortedPosition(const std::string& caption) const;
    void Follow(const core::RegistryChange& change);
    // The rows of the named values become current: the rows of those values that exist now.
    void Merge(const std::vector<std::string>& valueNames, std::vector<app::ValueRow> current);

    std::vector<app::ValueRow> rows_;
    std::string keyPath_;
    QStringList titles_;
    std::vector<QIcon> pictures_;
    core::ChangeFeed::Subscription changes_;
};

} // namespace hw::window
