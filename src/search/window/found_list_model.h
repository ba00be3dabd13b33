// The Find window's result list: one row per search result in the order found, appended in batches.
// Name and path columns come from the result itself; the data texts are read from the registry the first
// time a row needs them, so a search with many results costs no registry reads for rows never shown.
#pragma once

#include "search/result_row.h"
#include "search/search_types.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hw::window {

class FoundListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kResultColumn, kAtKeyColumn, kAtValueColumn, kDataColumn, kColumnCount };

    explicit FoundListModel(QObject* parent = nullptr);

    // Rows wait until Flush so that a burst of results becomes one insertion.
    void Add(search::SearchResult& result) { pending_.push_back(&result); }
    void Flush();
    void Clear();
    int Count() const { return static_cast<int>(rows_.size()); }

    search::SearchResult& Result(int row) const { return *rows_[static_cast<std::size_t>(row)].result; }
    // The row's texts (data and raw text read from the registry on first use).
    search::ResultRowTexts Texts(int row) const;
    // Keeps the row's data and raw text after an edit or a replace.
    void SetDataTexts(int row, const search::ResultRowTexts& texts);
    // Forgets the row's data texts so that they are read again.
    void Reload(int row);
    bool HasDataTexts(int row) const { return rows_[static_cast<std::size_t>(row)].data != nullptr; }
    // The result's name or path changed: the row shows it again.
    void RowChanged(int row);
    void EveryRowChanged();
    // Removes the rows with these numbers (any order, duplicates allowed).
    void RemoveRows(std::vector<int> rows);

    void SetColumnTitles(const QStringList& titles);
    // Called with the row and the text when an in-place edit of a caption ends.
    void SetRenameHandler(std::function<void(int, const std::string&)> handler) {
        rename_ = std::move(handler);
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct DataTexts {
        std::string data;
        std::string raw;
    };
    struct Row {
        search::SearchResult* result;
        mutable std::unique_ptr<DataTexts> data; // small rows: most are never shown
    };
    const DataTexts& DataOf(const Row& row) const;
    QIcon Picture(int index) const;

    std::vector<Row> rows_;
    std::vector<search::SearchResult*> pending_;
    QStringList titles_;
    mutable std::vector<QIcon> pictures_;
    std::function<void(int, const std::string&)> rename_;
};

// The caption picture of a result: the key, a name match, or its data class.
int ResultPicture(const search::SearchResult& result);
// The Data column's picture: the key, or the class of the value's type.
int DataPicture(const search::SearchResult& result);

} // namespace hw::window
