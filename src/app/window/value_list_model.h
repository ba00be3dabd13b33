// The value list's model: one row per value with its record, kept sorted by caption.
#pragma once

#include "app/window/value_rows.h"

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
    void SetRows(std::vector<ValueRow> rows);
    void Clear();

    const ValueRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    int Count() const { return static_cast<int>(rows_.size()); }

    void SetColumnTitles(const QStringList& titles);
    // Pictures by index of the shared image list.
    void SetPictures(const std::vector<QIcon>& pictures) { pictures_ = pictures; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<ValueRow> rows_;
    QStringList titles_;
    std::vector<QIcon> pictures_;
};

} // namespace hw::window
