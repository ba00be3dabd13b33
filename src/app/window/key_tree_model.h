// The key tree's model: one node per key, filled one level at a time when a node is first expanded, and
// following the registry change feed so that changes made anywhere show without a refresh.
#pragma once

#include "core/change_feed.h"
#include "platform/platform_facts.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

namespace hw::window {

class KeyTreeModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    explicit KeyTreeModel(const platform::PlatformFacts& facts, QObject* parent = nullptr);
    ~KeyTreeModel() override;

    // Removes every node and adds the listed roots again, unloaded and with their expand mark.
    void ResetRoots(const std::vector<std::string>& rootNames);

    // Reads the node's subkeys into the tree unless they were read already. False when the key cannot be
    // opened; the node then stays unloaded so the next expansion tries again.
    bool LoadSubKeys(const QModelIndex& index);
    // Forgets the node's subkeys and clears its loaded flag.
    void UnloadSubKeys(const QModelIndex& index);
    bool IsLoaded(const QModelIndex& index) const;

    // The node's text preceded by its ancestors' texts, joined with backslashes; empty for none.
    std::string NodePath(const QModelIndex& index) const;
    std::string NodeText(const QModelIndex& index) const;
    // The child of parent (or the root whose parent is invalid) whose upper-cased text equals upperName.
    QModelIndex FindChildUpper(const QModelIndex& parent, const std::string& upperName) const;

    void SetPictures(const QIcon& keyIcon) { keyIcon_ = keyIcon; }

    // A new unloaded child after the node's existing children; its index.
    QModelIndex AddChild(const QModelIndex& parent, const std::string& name);
    // Removes the node with everything below it.
    void RemoveNode(const QModelIndex& index);
    // Gives the node a new text and sorts its siblings again by caption order.
    void SetNodeText(const QModelIndex& index, const std::string& text);
    // The node for the path (a full root name first, any letter case) when every key on the way has been
    // read into the tree; invalid otherwise. Nothing is read for this.
    QModelIndex LoadedNode(const std::string& path) const;
    // Brings the node's subkeys (and those of its loaded subkeys) in line with the registry, keeping the
    // nodes that stay, their expansion and the selection.
    void RefreshLoaded(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Keys below the roots are renamed in place.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  signals:
    // The user accepted an in-place edit of the node's text; the window decides whether the key is renamed.
    void textEdited(const QPersistentModelIndex& index, const QString& text);

  private:
    struct Node;
    void Follow(const core::RegistryChange& change);
    // The deepest node on the path that the tree holds (every key above it read); invalid for none.
    QModelIndex DeepestNode(const std::string& path) const;
    // A key at path exists now: the tree shows it where its parent has been read.
    void KeyAppeared(const std::string& path);
    // Puts the siblings in the given order, moving persistent indexes with their nodes.
    void Reorder(Node* parent, const QModelIndex& parentIndex, std::vector<std::unique_ptr<Node>> inOrder);
    void RemoveChildRows(Node* node, const QModelIndex& index, int first, int last);
    Node* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(Node* node) const;
    void RemoveChildren(Node* node, const QModelIndex& index);
    std::vector<std::unique_ptr<Node>>& Siblings(Node* node);

    platform::PlatformFacts facts_;
    std::vector<std::unique_ptr<Node>> roots_;
    QIcon keyIcon_;
    core::ChangeFeed::Subscription changes_;
};

} // namespace hw::window
