// The favourites dialog: adds the selected key under a name, or lists the favourites for deletion.
#pragma once

#include "content/favorites_list.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QWidget;

namespace hw::content {

class TfrmFavorites : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmFavorites(QWidget* parent = nullptr);

    // Add mode: proposes name for keyPath. Returns the name when a new favourite was appended to list
    // (a replaced one keeps its menu entry), nothing when cancelled or replaced.
    std::optional<std::string> ExecuteAdd(FavoritesList& list, const std::string& keyPath,
                                          const std::string& name);
    // Manage mode: returns the names deleted from list.
    std::vector<std::string> ExecuteManage(FavoritesList& list);

    // The same modes without running the dialog's own loop; the Execute functions use them.
    void PrepareAdd(FavoritesList& list, const std::string& keyPath, const std::string& name);
    void PrepareManage(FavoritesList& list);
    const std::optional<std::string>& AppendedName() const { return appendedName_; }
    const std::vector<std::string>& DeletedNames() const { return deletedNames_; }

    void ApplyLanguage();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void btnAddClick();
    void btnFavoritesListClick();
    void pppmnitmDeleteClick();
    void SetListShown(bool shown);
    void FillList();

    FavoritesList* list_ = nullptr;
    std::string keyPath_;
    std::optional<std::string> appendedName_;
    std::vector<std::string> deletedNames_;

    // Each has its own name as object name, by which tests find it.
    QWidget* pnlHead;
    QLabel* lblName;
    QLineEdit* edtName;
    QPushButton* btnAdd;
    QPushButton* btnFavoritesList;
    QPushButton* btnCancel;
    QWidget* pnlFavoritesList;
    QLabel* lblFavoritesList;
    QListWidget* lstbxFavorites;
    QMenu* pppmnFavoritesList;
    QAction* pppmnitmDelete;
    QWidget* pnlBottom;
    QPushButton* btnOk;
};

} // namespace hw::content
