// The Find and Replace windows: a search's conditions, its results arriving while the walk runs, and the
// actions on them (open, copy, go to, rename, delete, replace). Two instances live for the whole run, one
// per role, each keeping its own settings and rows.
#pragma once

#include "search/replace.h"
#include "search/search_request.h"
#include "search/window/find_window_host.h"

#include <QDialog>
#include <QElapsedTimer>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace hw::window {

class FoundListModel;
class SearchAnimation;

class TfrmFind : public QDialog, private search::ReplaceView {
    Q_OBJECT

  public:
    enum class Role { Find, Replace };

    TfrmFind(FindWindowHost host, Role role, QWidget* parent = nullptr);
    ~TfrmFind() override;

    // What the main window's Find and Replace commands do: the start path for "In Current Key", then the
    // window shown modally.
    void ShowForKey(const std::string& keyPath);
    void SetCurrentKey(const std::string& keyPath);

    // Captions and labels from the text table.
    void ApplyLanguage();

    // Commands, as the buttons, keys and popup run them.
    void btnOkClick();
    void btnCloseClick();
    void OpenResult();
    bool CopyAllowed() const;
    void CopyResults();
    void GoToResult();
    void RenameResult();
    void DeleteResults();
    void SelectAllResults();
    void ReplaceSelected();
    void ReplaceAll();

    // True while a walk runs (only Stop and Close mean anything then).
    bool Searching() const { return walking_; }
    FoundListModel* Model() const { return model_; }
    const search::SearchRequest& Request() const { return request_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    QGroupBox* grpbxFindCondition;
    QLabel* lblFindText;
    QLineEdit* edtItem;
    QGroupBox* grpbxConfines;
    QCheckBox* chckbxKey;
    QCheckBox* chckbxValue;
    QCheckBox* chckbxStringData;
    QCheckBox* chckbxDwordData;
    QCheckBox* chckbxBinaryData;
    QGroupBox* rdgrpCondition;
    QRadioButton* rdCurrentKey;
    QRadioButton* rdWholeRegistry;
    QLineEdit* edtCurrentKey;
    SearchAnimation* anmtFind;
    QCheckBox* chckbxWildCharSupport;
    QCheckBox* chckbxWholeWordsOnly;
    QPushButton* btnOk;
    QPushButton* btnClose;
    QCheckBox* chckbxShowHelpInfo;
    QGroupBox* grpbxReplace;
    QLabel* lblReplaceFrom;
    QLineEdit* edtReplaceFrom;
    QLabel* lblReplaceTo;
    QLineEdit* edtReplaceTo;
    QPushButton* btnReplace;
    QPushButton* btnReplaceAll;
    QCheckBox* chckbxReplaceKey;
    QCheckBox* chckbxReplaceValue;
    QCheckBox* chckbxReplaceData;
    QGroupBox* grpbxHelpInfo;
    QPlainTextEdit* mmHelpInfo;
    QGroupBox* grpbxFoundResult;
    QTableView* lstvwFound;
    QMenu* pppmnOperate;
    QAction* pppmnitmEdit;
    QAction* pppmnitmCopy;
    QAction* pppmnitmGoToResult;
    QAction* pppmnitmRename;
    QAction* pppmnitmDelete;
    QAction* pppmnitmSelectAll;

    void CreateConditions();
    void CreateReplaceGroup();
    void CreateResultList();
    void CreatePopup();
    void LayOut();
    // Object names, by which tests reach the parts.
    void NameParts();

    void edtItemChange();
    void ReplaceTextsChange();
    void TargetClicked(QCheckBox* clicked);
    void chckbxWildCharSupportClick();
    void SetFindButton(bool searching);
    void RunSearch();
    void YieldToInterface();
    void ShowResultCount();

    // Selected rows in list order; the focused row or -1.
    std::vector<int> SelectedRows() const;
    int FocusedRow() const;
    // Neighbouring rows that show the same value (its name match and its data match).
    std::vector<int> SiblingRows(int row) const;
    void RenameRow(int row, const std::string& newName);
    void RenameKeyRow(int row, const std::string& newName);
    void RenameValueRow(int row, const std::string& newName);
    // The value of row now has newName: the rows beside it that show the same value follow.
    void FollowValueRename(int row, const std::string& oldName, const std::string& newName);
    // Moves every result at or below oldPath to newPath and shows them again.
    void FollowKeyRename(const std::string& oldPath, const std::string& newPath);
    void ReplaceRows(const std::vector<int>& rows);

    // search::ReplaceView
    void ValueRenamed(const std::string& keyPath, const std::string& oldName,
                      const std::string& newName) override;
    void ResultKeyPathChanged(const search::SearchResult& result) override;

    FindWindowHost host_;
    const Role role_;
    FoundListModel* model_;
    search::SearchRequest request_;
    std::uint8_t stopFlag_ = 0;
    bool walking_ = false;
    QElapsedTimer sinceYield_;
    int replacingRow_ = -1;
    bool keyPathsMoved_ = false;
};

} // namespace hw::window
