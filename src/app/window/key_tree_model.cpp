#include "app/window/key_tree_model.h"

#include "app/key_listing.h"
#include "app/window/caption_order.h"
#include "platform/qt/byte_text.h"
#include "ui/busy_cursor.h"
#include "util/text.h"

#include <algorithm>
#include <unordered_map>

namespace hw::window {

namespace {

std::string ParentPathOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool SamePath(const std::string& first, const std::string& second) {
    return first.size() == second.size() && util::UpperCaseAscii(first) == util::UpperCaseAscii(second);
}

} // namespace

struct KeyTreeModel::Node {
    std::string text;
    Node* parent = nullptr;
    int row = 0;
    bool loaded = false;
    // Whether the expand button is drawn before an unloaded node.
    bool expandMark = false;
    std::vector<std::unique_ptr<Node>> children;
};

KeyTreeModel::KeyTreeModel(const platform::PlatformFacts& facts, QObject* parent)
    : QAbstractItemModel(parent), facts_(facts),
      changes_(
          core::RegistryChanges().Subscribe([this](const core::RegistryChange& change) { Follow(change); })) {
}

KeyTreeModel::~KeyTreeModel() = default;

void KeyTreeModel::ResetRoots(const std::vector<std::string>& rootNames) {
    beginResetModel();
    roots_.clear();
    for (const std::string& name : rootNames) {
        auto node = std::make_unique<Node>();
        node->text = name;
        node->row = static_cast<int>(roots_.size());
        node->expandMark = true;
        roots_.push_back(std::move(node));
    }
    endResetModel();
}

KeyTreeModel::Node* KeyTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex KeyTreeModel::IndexOf(Node* node) const {
    return node ? createIndex(node->row, 0, node) : QModelIndex();
}

bool KeyTreeModel::LoadSubKeys(const QModelIndex& index) {
    Node* node = NodeOf(index);
    if (!node) return false;
    if (node->loaded) return true;
    RemoveChildren(node, index);
    std::optional<std::vector<app::SubKeyEntry>> entries = app::ReadSubKeys(NodePath(index), facts_);
    if (!entries) return false;
    // Marked before the rows arrive so the view never asks to fetch them a second time.
    node->loaded = true;
    if (!entries->empty()) {
        beginInsertRows(index, 0, static_cast<int>(entries->size()) - 1);
        node->children.reserve(entries->size());
        for (app::SubKeyEntry& entry : *entries) {
            auto child = std::make_unique<Node>();
            child->text = std::move(entry.name);
            child->expandMark = entry.hasSubKeys;
            child->parent = node;
            child->row = static_cast<int>(node->children.size());
            node->children.push_back(std::move(child));
        }
        endInsertRows();
    }
    return true;
}

void KeyTreeModel::UnloadSubKeys(const QModelIndex& index) {
    Node* node = NodeOf(index);
    if (!node) return;
    RemoveChildren(node, index);
    node->loaded = false;
}

void KeyTreeModel::RemoveChildren(Node* node, const QModelIndex& index) {
    if (node->children.empty()) return;
    beginRemoveRows(index, 0, static_cast<int>(node->children.size()) - 1);
    node->children.clear();
    endRemoveRows();
}

std::vector<std::unique_ptr<KeyTreeModel::Node>>& KeyTreeModel::Siblings(Node* node) {
    return node->parent ? node->parent->children : roots_;
}

QModelIndex KeyTreeModel::AddChild(const QModelIndex& parent, const std::string& name) {
    Node* node = NodeOf(parent);
    if (!node) return {};
    const int row = static_cast<int>(node->children.size());
    beginInsertRows(parent, row, row);
    auto child = std::make_unique<Node>();
    child->text = name;
    child->parent = node;
    child->row = row;
    node->children.push_back(std::move(child));
    endInsertRows();
    return index(row, 0, parent);
}

void KeyTreeModel::RemoveNode(const QModelIndex& index) {
    Node* node = NodeOf(index);
    if (!node) return;
    auto& siblings = Siblings(node);
    const int row = node->row;
    beginRemoveRows(index.parent(), row, row);
    siblings.erase(siblings.begin() + row);
    for (int later = row; later < static_cast<int>(siblings.size()); ++later)
        siblings[later]->row = later;
    endRemoveRows();
}

void KeyTreeModel::SetNodeText(const QModelIndex& index, const std::string& text) {
    Node* node = NodeOf(index);
    if (!node) return;
    node->text = text;
    emit dataChanged(index, index);

    auto& siblings = Siblings(node);
    std::vector<std::string> texts;
    texts.reserve(siblings.size());
    for (const auto& sibling : siblings)
        texts.push_back(sibling->text);
    std::vector<std::unique_ptr<Node>> sorted;
    sorted.reserve(siblings.size());
    for (std::size_t from : CaptionOrder(texts))
        sorted.push_back(std::move(siblings[from]));
    Reorder(node->parent, index.parent(), std::move(sorted));
}

void KeyTreeModel::Reorder(Node* parent, const QModelIndex& parentIndex,
                           std::vector<std::unique_ptr<Node>> inOrder) {
    auto& siblings = parent ? parent->children : roots_;
    emit layoutAboutToBeChanged({parentIndex});
    const QModelIndexList before = persistentIndexList();
    siblings = std::move(inOrder);
    for (int row = 0; row < static_cast<int>(siblings.size()); ++row)
        siblings[row]->row = row;
    for (const QModelIndex& old : before) {
        Node* moved = NodeOf(old);
        changePersistentIndex(old, createIndex(moved->row, old.column(), moved));
    }
    emit layoutChanged({parentIndex});
}

void KeyTreeModel::RemoveChildRows(Node* node, const QModelIndex& index, int first, int last) {
    beginRemoveRows(index, first, last);
    node->children.erase(node->children.begin() + first, node->children.begin() + last + 1);
    for (int later = first; later < static_cast<int>(node->children.size()); ++later)
        node->children[later]->row = later;
    endRemoveRows();
}

QModelIndex KeyTreeModel::DeepestNode(const std::string& path) const {
    std::vector<std::string> names;
    util::SplitText(util::UpperCaseAscii(path), '\\', names);
    QModelIndex node;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0 && !IsLoaded(node)) break;
        const QModelIndex child = FindChildUpper(node, names[i]);
        if (!child.isValid()) break;
        node = child;
    }
    return node;
}

QModelIndex KeyTreeModel::LoadedNode(const std::string& path) const {
    const QModelIndex node = DeepestNode(path);
    return node.isValid() && SamePath(NodePath(node), path) ? node : QModelIndex();
}

void KeyTreeModel::Follow(const core::RegistryChange& change) {
    switch (change.kind) {
    case core::ChangeKind::KeyAdded:
        KeyAppeared(change.keyPath);
        break;
    case core::ChangeKind::KeyRemoved:
        if (const QModelIndex node = LoadedNode(change.keyPath); node.parent().isValid()) RemoveNode(node);
        break;
    case core::ChangeKind::KeyRenamed: {
        const QModelIndex node = LoadedNode(change.keyPath);
        if (node.parent().isValid() &&
            SamePath(ParentPathOf(change.keyPath), ParentPathOf(change.newKeyPath))) {
            SetNodeText(node, change.newKeyPath.substr(change.newKeyPath.rfind('\\') + 1));
            break;
        }
        if (node.parent().isValid()) RemoveNode(node);
        KeyAppeared(change.newKeyPath);
        break;
    }
    case core::ChangeKind::TreeChanged:
        if (change.keyPath.empty()) {
            for (int row = 0; row < static_cast<int>(roots_.size()); ++row)
                RefreshLoaded(index(row, 0));
        } else {
            // From the parent, which learns whether the key itself is still there.
            const std::string parent = ParentPathOf(change.keyPath);
            RefreshLoaded(DeepestNode(parent.empty() ? change.keyPath : parent));
        }
        break;
    case core::ChangeKind::ValuesChanged:
        break;
    }
}

void KeyTreeModel::KeyAppeared(const std::string& path) {
    const QModelIndex deepest = DeepestNode(path);
    Node* node = NodeOf(deepest);
    if (!node) return;
    const std::string nodePath = NodePath(deepest);
    if (SamePath(nodePath, path)) {
        // Added over a key the tree shows: what was copied into it shows too.
        if (node->loaded) {
            RefreshLoaded(deepest);
        } else if (!node->expandMark && app::KeyHasSubKeys(path)) {
            node->expandMark = true;
            emit dataChanged(deepest, deepest);
        }
        return;
    }
    // The first key on the way that the tree lacks, below a node it has.
    const std::size_t end = path.find('\\', nodePath.size() + 1);
    const std::string missing = path.substr(0, end);
    if (!node->loaded) {
        node->expandMark = true;
        emit dataChanged(deepest, deepest);
        return;
    }
    const QModelIndex child = AddChild(deepest, missing.substr(nodePath.size() + 1));
    NodeOf(child)->expandMark = end != std::string::npos || app::KeyHasSubKeys(missing);
    SetNodeText(child, NodeOf(child)->text);
}

void KeyTreeModel::RefreshLoaded(const QModelIndex& index) {
    Node* node = NodeOf(index);
    if (!node || !node->loaded) return;
    std::optional<std::vector<app::SubKeyEntry>> entries = app::ReadSubKeys(NodePath(index), facts_);
    // A key that cannot be read now keeps what the tree shows of it; its parent removes it if it is gone.
    if (!entries) return;
    std::unordered_map<std::string, std::size_t> fresh;
    for (std::size_t i = 0; i < entries->size(); ++i)
        fresh.emplace(util::UpperCaseAscii((*entries)[i].name), i);

    auto& children = node->children;
    for (int row = static_cast<int>(children.size()) - 1; row >= 0; --row) {
        if (fresh.contains(util::UpperCaseAscii(children[row]->text))) continue;
        const int last = row;
        while (row > 0 && !fresh.contains(util::UpperCaseAscii(children[row - 1]->text)))
            --row;
        RemoveChildRows(node, index, row, last);
    }
    std::vector<bool> shown(entries->size(), false);
    for (const auto& child : children)
        shown[fresh.at(util::UpperCaseAscii(child->text))] = true;
    const int first = static_cast<int>(children.size());
    const int added = static_cast<int>(std::count(shown.begin(), shown.end(), false));
    // New nodes arrive at the end, then take their places with the rest.
    if (added > 0) {
        beginInsertRows(index, first, first + added - 1);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i]) continue;
            auto child = std::make_unique<Node>();
            child->text = (*entries)[i].name;
            child->parent = node;
            child->row = static_cast<int>(children.size());
            children.push_back(std::move(child));
        }
        endInsertRows();
    }
    std::vector<std::unique_ptr<Node>> inOrder(entries->size());
    for (auto& child : children) {
        const std::size_t place = fresh.at(util::UpperCaseAscii(child->text));
        inOrder[place] = std::move(child);
    }
    for (std::size_t i = 0; i < inOrder.size(); ++i) {
        Node& child = *inOrder[i];
        child.text = (*entries)[i].name;
        if (!child.loaded) child.expandMark = (*entries)[i].hasSubKeys;
    }
    Reorder(node, index, std::move(inOrder));
    for (const auto& child : children)
        if (child->loaded) RefreshLoaded(IndexOf(child.get()));
}

bool KeyTreeModel::IsLoaded(const QModelIndex& index) const {
    const Node* node = NodeOf(index);
    return node && node->loaded;
}

std::string KeyTreeModel::NodeText(const QModelIndex& index) const {
    const Node* node = NodeOf(index);
    return node ? node->text : std::string();
}

std::string KeyTreeModel::NodePath(const QModelIndex& index) const {
    std::vector<const Node*> chain;
    for (const Node* node = NodeOf(index); node; node = node->parent)
        chain.push_back(node);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty()) path += '\\';
        path += (*it)->text;
    }
    return path;
}

QModelIndex KeyTreeModel::FindChildUpper(const QModelIndex& parent, const std::string& upperName) const {
    const Node* node = NodeOf(parent);
    const auto& candidates = node ? node->children : roots_;
    for (const auto& candidate : candidates)
        if (candidate->text.size() == upperName.size() && util::UpperCaseAscii(candidate->text) == upperName)
            return IndexOf(candidate.get());
    return {};
}

QModelIndex KeyTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const Node* node = NodeOf(parent);
    const auto& children = node ? node->children : roots_;
    if (row >= static_cast<int>(children.size())) return {};
    return createIndex(row, 0, children[row].get());
}

QModelIndex KeyTreeModel::parent(const QModelIndex& child) const {
    const Node* node = NodeOf(child);
    return node ? IndexOf(node->parent) : QModelIndex();
}

int KeyTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const Node* node = NodeOf(parent);
    return static_cast<int>(node ? node->children.size() : roots_.size());
}

int KeyTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant KeyTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = NodeOf(index);
    if (!node) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return platform::ShownText(node->text);
    case Qt::DecorationRole:
        return keyIcon_;
    default:
        return {};
    }
}

bool KeyTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* node = NodeOf(parent);
    if (!node) return !roots_.empty();
    return node->loaded ? !node->children.empty() : node->expandMark;
}

bool KeyTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* node = NodeOf(parent);
    return node && !node->loaded;
}

void KeyTreeModel::fetchMore(const QModelIndex& parent) {
    ui::BusyCursor busy;
    LoadSubKeys(parent);
}

Qt::ItemFlags KeyTreeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    const Node* node = NodeOf(index);
    if (node && node->parent) flags |= Qt::ItemIsEditable;
    return flags;
}

bool KeyTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !NodeOf(index)) return false;
    emit textEdited(index, value.toString());
    return false;
}

} // namespace hw::window
