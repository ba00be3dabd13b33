// The registry change feed: what the shared key and value operations changed, told to whoever listens after
// each change, so that every window showing the registry can follow it.
#pragma once

#include "platform/winreg.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hw::core {

enum class ChangeKind {
    KeyAdded,      // keyPath was created (or received a copied tree)
    KeyRenamed,    // keyPath is now newKeyPath, with everything below it
    KeyRemoved,    // keyPath is gone, with everything below it
    ValuesChanged, // values of keyPath were written, renamed or deleted
    TreeChanged,   // anything at or below keyPath may differ; an empty keyPath stands for every key
};

struct RegistryChange {
    ChangeKind kind = ChangeKind::TreeChanged;
    // The root's full name and the subkey path, without a backslash at either end.
    std::string keyPath;
    std::string newKeyPath;
    // ValuesChanged: the names concerned (written, deleted, or old and new of a rename), unless allValues.
    std::vector<std::string> valueNames;
    bool allValues = false;

    bool operator==(const RegistryChange&) const = default;
};

// The normalised form of a key path ("HKCU\\A\\" -> "HKEY_CURRENT_USER\\A"); empty for an unknown root.
std::string ChangedKeyPath(std::string_view path);

// The same from a root handle and a subkey path under it.
std::string ChangedKeyPath(HKEY root, std::string_view subKey);

// Listeners are called on the publishing thread, after the change, in the order they subscribed.
class ChangeFeed {
  public:
    using Listener = std::function<void(const RegistryChange&)>;

    // Unsubscribes when it goes.
    class Subscription {
      public:
        Subscription() = default;
        ~Subscription();
        Subscription(Subscription&& other) noexcept;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;

      private:
        friend class ChangeFeed;
        Subscription(ChangeFeed* feed, std::size_t id) : feed_(feed), id_(id) {}
        ChangeFeed* feed_ = nullptr;
        std::size_t id_ = 0;
    };

    [[nodiscard]] Subscription Subscribe(Listener listener);
    // Whether anyone listens: publishers build no event when nobody does.
    bool Listening() const { return !listeners_.empty(); }
    void Publish(const RegistryChange& change);

  private:
    friend class ChangeBatch;
    struct Entry {
        std::size_t id;
        std::shared_ptr<Listener> listener;
    };
    void Unsubscribe(std::size_t id);
    void Deliver(const RegistryChange& change);

    std::vector<Entry> listeners_;
    std::size_t nextId_ = 1;
    // Open batches, the changes they hold and whether they overflowed into one coarse change.
    int batchDepth_ = 0;
    std::vector<RegistryChange> held_;
    bool overflowed_ = false;
};

// The feed of the process's registry.
ChangeFeed& RegistryChanges();

// While one lives, changes are held and told when the outermost batch ends: each one, or, past kHeldLimit or
// once a change of every key is held, one TreeChanged for every key. A bulk operation opens one so that
// listeners are not told millions of times.
class ChangeBatch {
  public:
    static constexpr std::size_t kHeldLimit = 256;
    explicit ChangeBatch(ChangeFeed& feed = RegistryChanges());
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

  private:
    ChangeFeed& feed_;
};

// What the shared operations publish; each does nothing when nobody listens.
void PublishKeyAdded(std::string_view keyPath);
void PublishKeyRenamed(std::string_view oldPath, std::string_view newPath);
void PublishKeyRemoved(std::string_view keyPath);
void PublishTreeChanged(std::string_view keyPath);
void PublishValuesChanged(std::string_view keyPath, std::vector<std::string> valueNames);
void PublishAllValuesChanged(std::string_view keyPath);

} // namespace hw::core
