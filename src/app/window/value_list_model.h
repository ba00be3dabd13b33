// The value list's model: one row per value with its record, kept sorted by caption.
#pragma once

#include "app/value_rows.h"

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

    // Replaces all rows (and their records) with these, sorted by caption.
    void SetRows(std::vector<app::ValueRow> rows);
    void Clear();
    // Adds a row where the sort order puts it; its row number.
    int InsertRow(app::ValueRow row);
    // Replaces a row's columns and record in place (its caption unchanged).
    void ReplaceRow(int row, app::ValueRow replacement);
    // Gives the row's value a new name and caption and re-sorts; the row's new number.
    int RenameRow(int row, const std::string& valueName);
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

    std::vector<app::ValueRow> rows_;
    QStringList titles_;
    std::vector<QIcon> pictures_;
};

} // namespace hw::window
