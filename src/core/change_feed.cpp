#include "core/change_feed.h"

#include "core/key_path.h"
#include "core/root_keys.h"

#include <utility>

namespace hw::core {

namespace {

std::string_view TrimBackslashes(std::string_view text) {
    while (text.starts_with('\\'))
        text.remove_prefix(1);
    while (text.ends_with('\\'))
        text.remove_suffix(1);
    return text;
}

RegistryChange Change(ChangeKind kind, std::string_view keyPath, std::string_view newKeyPath = {}) {
    RegistryChange change;
    change.kind = kind;
    change.keyPath = ChangedKeyPath(keyPath);
    if (kind == ChangeKind::KeyRenamed) change.newKeyPath = ChangedKeyPath(newKeyPath);
    return change;
}

void Tell(const RegistryChange& change) {
    // A key outside the known roots has no path to give: every key may have changed.
    const bool named =
        !change.keyPath.empty() && (change.kind != ChangeKind::KeyRenamed || !change.newKeyPath.empty());
    RegistryChanges().Publish(named ? change : RegistryChange{});
}

} // namespace

std::string ChangedKeyPath(HKEY root, std::string_view subKey) {
    std::string path = RootKeyName(root);
    if (path.empty()) return path;
    subKey = TrimBackslashes(subKey);
    if (!subKey.empty()) path.append("\\").append(subKey);
    return path;
}

std::string ChangedKeyPath(std::string_view path) {
    return ChangedKeyPath(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

ChangeFeed::Subscription::~Subscription() {
    if (feed_) feed_->Unsubscribe(id_);
}

ChangeFeed::Subscription::Subscription(Subscription&& other) noexcept
    : feed_(std::exchange(other.feed_, nullptr)), id_(other.id_) {}

ChangeFeed::Subscription& ChangeFeed::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        if (feed_) feed_->Unsubscribe(id_);
        feed_ = std::exchange(other.feed_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

ChangeFeed::Subscription ChangeFeed::Subscribe(Listener listener) {
    const std::size_t id = nextId_++;
    listeners_.push_back({id, std::make_shared<Listener>(std::move(listener))});
    return Subscription(this, id);
}

void ChangeFeed::Unsubscribe(std::size_t id) {
    std::erase_if(listeners_, [id](const Entry& entry) { return entry.id == id; });
}

void ChangeFeed::Publish(const RegistryChange& change) {
    if (listeners_.empty()) return;
    if (batchDepth_ == 0) {
        Deliver(change);
        return;
    }
    if (overflowed_) return;
    const bool everything = change.kind == ChangeKind::TreeChanged && change.keyPath.empty();
    if (!everything && held_.size() < ChangeBatch::kHeldLimit) {
        held_.push_back(change);
        return;
    }
    held_.clear();
    overflowed_ = true;
}

void ChangeFeed::Deliver(const RegistryChange& change) {
    // A listener may subscribe or unsubscribe others while it is told.
    std::vector<std::shared_ptr<Listener>> listeners;
    listeners.reserve(listeners_.size());
    for (const Entry& entry : listeners_)
        listeners.push_back(entry.listener);
    for (const auto& listener : listeners)
        (*listener)(change);
}

ChangeFeed& RegistryChanges() {
    static ChangeFeed feed;
    return feed;
}

ChangeBatch::ChangeBatch(ChangeFeed& feed) : feed_(feed) {
    ++feed_.batchDepth_;
}

ChangeBatch::~ChangeBatch() {
    if (--feed_.batchDepth_ > 0) return;
    std::vector<RegistryChange> held = std::exchange(feed_.held_, {});
    const bool overflowed = std::exchange(feed_.overflowed_, false);
    if (overflowed) held = {RegistryChange{}};
    for (const RegistryChange& change : held)
        feed_.Deliver(change);
}

void PublishKeyAdded(std::string_view keyPath) {
    if (RegistryChanges().Listening()) Tell(Change(ChangeKind::KeyAdded, keyPath));
}

void PublishKeyRenamed(std::string_view oldPath, std::string_view newPath) {
    if (RegistryChanges().Listening()) Tell(Change(ChangeKind::KeyRenamed, oldPath, newPath));
}

void PublishKeyRemoved(std::string_view keyPath) {
    if (RegistryChanges().Listening()) Tell(Change(ChangeKind::KeyRemoved, keyPath));
}

void PublishTreeChanged(std::string_view keyPath) {
    if (RegistryChanges().Listening()) Tell(Change(ChangeKind::TreeChanged, keyPath));
}

void PublishValuesChanged(std::string_view keyPath, std::vector<std::string> valueNames) {
    if (!RegistryChanges().Listening()) return;
    RegistryChange change = Change(ChangeKind::ValuesChanged, keyPath);
    change.valueNames = std::move(valueNames);
    Tell(change);
}

void PublishAllValuesChanged(std::string_view keyPath) {
    if (!RegistryChanges().Listening()) return;
    RegistryChange change = Change(ChangeKind::ValuesChanged, keyPath);
    change.allValues = true;
    Tell(change);
}

} // namespace hw::core
