// The registry browser: the address band above the key tree beside the selected key's value list, moving
// between keys (by path, by the address box's history, back and forward) and following the change feed.
#pragma once

#include "app/value_rows.h"
#include "core/change_feed.h"
#include "platform/platform_facts.h"

#include <QModelIndex>
#include <QWidget>

#include <initializer_list>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeView;

namespace hw::ui {
class FlatPanelButton;
}

namespace hw::window {

class KeyTreeModel;
class ValueListModel;

class RegistryBrowser : public QWidget {
    Q_OBJECT

  public:
    // facts must outlive the browser.
    explicit RegistryBrowser(const platform::PlatformFacts& facts, QWidget* parent = nullptr);
    ~RegistryBrowser() override;

    // Lists the roots the platform shows, in the tree, the address box and the root menu.
    void ListRoots();
    // Sets the captions and column titles from the text table.
    void ApplyTexts();
    // Commands that act on the tree or the list get their shortcuts while that view has the focus.
    void AddKeyCommands(std::initializer_list<QAction*> commands);
    void AddValueCommands(std::initializer_list<QAction*> commands);

    // The key tree.
    KeyTreeModel* KeyModel() const { return keyModel_; }
    QModelIndex SelectedNode() const;
    std::string NodePath(const QModelIndex& node) const;
    std::string NodeText(const QModelIndex& node) const;
    static bool IsRootNode(const QModelIndex& node) { return node.isValid() && !node.parent().isValid(); }
    void LoadSubKeys(const QModelIndex& node);
    // Reads the node's subkeys again, keeping it expanded if it was.
    void ReloadNode(const QModelIndex& node);
    // The node for a path with a full root name, expanding the nodes on the way; invalid for none.
    QModelIndex FindNode(const std::string& path);
    void SelectNode(const QModelIndex& node);
    // A new node below parent (its subkeys read first, then expanded); its index.
    QModelIndex AddKeyNode(const QModelIndex& parent, const std::string& name);
    void RemoveKeyNode(const QModelIndex& node);
    // Selects the node and opens its in-place name editor.
    void EditKeyName(const QModelIndex& node);

    // The value list.
    ValueListModel* ValueModel() const { return valueModel_; }
    int ValueRowCount() const;
    const app::TViewData& ValueRecord(int row) const;
    const app::ValueRow& ValueRowAt(int row) const;
    // The row of that value while keyPath is the selected key; -1 otherwise.
    int FindValueRow(const std::string& keyPath, const std::string& valueName) const;
    // Rows are the list's: row 0 is the "(Default)" row while the key has no default value (ValueListModel).
    // The selected rows that hold values (the "(Default)" row left out), in list order.
    std::vector<int> SelectedValueRows() const;
    // Every selected row, the "(Default)" row included.
    int SelectedRowCount() const;
    bool PlaceholderSelected() const;
    // The row of the value, added when the list does not show it yet.
    int ShowValueRow(const app::ValueRow& row);
    void SelectValueRow(int row, bool focus);
    // Selects the row and opens its in-place name editor.
    void EditValueName(int row);
    void SelectAllValues();

    // Moving between keys.
    // Selects the key a typed path names (abbreviated roots allowed); false with an error box for none.
    bool GoToPath(const std::string& text);
    // What a click or a navigation key in the tree does: fill the list, the status bar and the address box.
    void KeySelected();
    // The list and the status bar show the selected key, read again only when the list shows another.
    void FollowSelectedKey();
    // Reads the selected key's subkeys and values again.
    void RefreshKey();
    // Forgets every read key: the roots again, nothing selected.
    void RefreshAll();
    void AddToHistory(const std::string& path, bool show);
    // The address box's list.
    std::vector<std::string> History() const;
    // Back and forward through the keys shown, skipping those gone meanwhile.
    bool CanGoBack() const { return !backKeys_.empty(); }
    bool CanGoForward() const { return !forwardKeys_.empty(); }
    void GoBack();
    void GoForward();

  signals:
    // The user selected a key in the tree.
    void keySelected();
    // A node was expanded by the user.
    void keyExpanded();
    // The user asked for the key's or the values' pop-up menu, to show at that screen point.
    void keyMenuRequested(const QPoint& at);
    void valueMenuRequested(const QPoint& at);
    // The user asked to edit the selected value (double click, Enter).
    void valueActivated();
    // The user accepted an in-place rename.
    void keyNameEdited(const QPersistentModelIndex& node, const std::string& newName);
    void valueNameEdited(int row, const std::string& newName);
    // What the status bar shows about the selected key; empty for nothing.
    void statusChanged(const QString& text);
    // A typed path was looked up: whether it named a key.
    void pathLooked(bool found);
    // Back or forward became possible or impossible.
    void stepsChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateAddressBand();
    // What the browser does with its views' and address box's events; true when the event was used.
    bool TreeEvent(QObject* watched, QEvent& event);
    bool ListEvent(QObject* watched, QEvent& event);
    bool AddressEvent(QObject* watched, QEvent& event);
    void CreateViews();
    void ConnectViews();
    void FollowChange(const core::RegistryChange& change);
    void FillValueList(const QModelIndex& node);
    void ExpandForNavigation(const QModelIndex& node);
    // Selects and shows the key at a normalised path; false when the tree has no such key.
    bool ShowPath(const std::string& path);
    void AddressEntered();
    // The pop-up menu asked for from the keyboard opens at the view's current item.
    void RequestMenuAtCurrentItem(QTreeView* view);
    void FocusAddress();
    // Records a key shown as the newest visited one, dropping the forward list.
    void Visit(const std::string& path);
    // One step through the visited keys: from one list to the other, skipping keys gone meanwhile.
    void Step(std::vector<std::string>& from, std::vector<std::string>& to);
    void FitDataColumn();
    // Name and type columns as wide as their texts (within limits), once: later widths are the user's.
    void FitNameAndTypeColumns();

    const platform::PlatformFacts& facts_;
    KeyTreeModel* keyModel_;
    ValueListModel* valueModel_;
    QToolBar* Panel1 = nullptr;
    QLabel* pnlAddress = nullptr;
    ui::FlatPanelButton* pnlRoot = nullptr;
    QComboBox* cmbbxAddress = nullptr;
    ui::FlatPanelButton* pnlGo = nullptr;
    QMenu* pppmnRootKey = nullptr;
    QSplitter* splttrMain = nullptr;
    QTreeView* trvwKeys = nullptr;
    QWidget* pnlValues = nullptr;
    QTreeView* lstvwValues = nullptr;
    std::vector<std::string> listedRoots_;
    // Visited keys, the newest last in both; the shown key is neither.
    std::vector<std::string> backKeys_;
    std::vector<std::string> forwardKeys_;
    std::string shownKey_;
    bool stepping_ = false;
    bool columnsFitted_ = false;
    bool listChoiceNavigates_ = true;
    // Expansions made while looking a path up do not select what they expand.
    bool navigating_ = false;
    // Subscribed after the models, so that it learns of a change once they have followed it.
    core::ChangeFeed::Subscription changes_;
};

} // namespace hw::window
