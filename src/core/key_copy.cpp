// Copying and moving key trees: the destination receives every value and subkey of the source, merged into
// what it already holds. The source is read through the registry's ordered subtree stream.
#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"
#include "platform/registry_store.h"
#include "util/text.h"

#include <memory>
#include <string_view>
#include <vector>

namespace hw::core {

namespace {

// The source is read in parts of about this size: the walk holds the registry while it reads, so each part
// is written between two of its calls.
constexpr std::size_t kPartBytes = 1 << 20;
constexpr std::size_t kPartKeys = 512;

// A part of the source's subtree, keys in walk order (parents first) with their values, as places in bytes.
class SubtreePart final : public platform::SubtreeVisitor {
  public:
    struct Entry {
        DWORD depth = 0; // of a key; 0 is the source itself
        DWORD type = 0;  // of a value
        std::size_t name = 0, nameSize = 0, data = 0, dataSize = 0;
        bool key = false;
    };

    std::vector<Entry> entries;
    std::string bytes;
    bool skipped = false; // a subkey could not be opened

    void Clear() {
        entries.clear();
        bytes.clear();
    }
    std::string_view NameOf(const Entry& entry) const {
        return std::string_view(bytes).substr(entry.name, entry.nameSize);
    }
    std::string_view DataOf(const Entry& entry) const {
        return std::string_view(bytes).substr(entry.data, entry.dataSize);
    }

  private:
    bool Key(std::string_view name, DWORD depth) override {
        entries.push_back({depth, 0, bytes.size(), name.size(), 0, 0, true});
        bytes.append(name);
        return true;
    }
    void Unopened(std::string_view, DWORD) override { skipped = true; }
    void Value(std::string_view name, DWORD type, std::string_view data) override {
        entries.push_back(
            {0, type, bytes.size(), name.size(), bytes.size() + name.size(), data.size(), false});
        bytes.append(name).append(data);
    }
    bool Pause() override { return bytes.size() >= kPartBytes || entries.size() >= kPartKeys; }
};

// Writes the parts into the destination as they come: each key below the one at the level above, each key's
// values in one call.
class PartWriter {
  public:
    explicit PartWriter(HKEY destination) : destination_(destination) {}
    bool Complete() const { return complete_; }

    void Write(const SubtreePart& part) {
        for (std::size_t at = 0; at < part.entries.size();) {
            const SubtreePart::Entry& key = part.entries[at++];
            Enter(key.depth, part.NameOf(key));
            values_.clear();
            for (; at < part.entries.size() && !part.entries[at].key; ++at)
                values_.push_back(
                    {part.NameOf(part.entries[at]), part.entries[at].type, part.DataOf(part.entries[at])});
            if (values_.empty()) continue;
            if (!open_.back()) {
                complete_ = false;
                continue;
            }
            platform::CurrentRegistry().SetValues(open_.back().get(), values_);
            for (const platform::ValueWrite& value : values_)
                complete_ = complete_ && value.result == ERROR_SUCCESS;
        }
    }

  private:
    // The destination's key for a key of the source at depth; null when it could not be made.
    void Enter(DWORD depth, std::string_view name) {
        if (depth == 0) {
            open_.clear();
            open_.push_back(ScopedKey::Borrowing(destination_));
            return;
        }
        open_.resize(depth);
        const ScopedKey& parent = open_.back();
        open_.push_back(parent ? CreateKey(parent.get(), std::string(name)) : ScopedKey());
        complete_ = complete_ && open_.back();
    }

    HKEY destination_;
    std::vector<ScopedKey> open_; // by depth
    std::vector<platform::ValueWrite> values_;
    bool complete_ = true;
};

} // namespace

bool CopySubtree(platform::SubtreeStream& source, HKEY destination) {
    SubtreePart part;
    PartWriter writer(destination);
    LONG walked = ERROR_SUCCESS;
    while (walked == ERROR_SUCCESS) {
        part.Clear();
        walked = source.Next(part);
        writer.Write(part);
    }
    return walked == ERROR_NO_MORE_ITEMS && !part.skipped && writer.Complete();
}

TreeCopy CopyKeyTree(HKEY sourceRoot, const std::string& sourceSubKey, HKEY destinationRoot,
                     const std::string& destinationSubKey) {
    if (sourceRoot == destinationRoot &&
        util::UpperCaseAscii(sourceSubKey) == util::UpperCaseAscii(destinationSubKey)) {
        return {};
    }
    ScopedKey source =
        sourceSubKey.empty() ? ScopedKey::Borrowing(sourceRoot) : OpenKeyDefault(sourceRoot, sourceSubKey);
    if (!source) return {};
    ScopedKey destination = destinationSubKey.empty() ? ScopedKey::Borrowing(destinationRoot)
                                                      : CreateKey(destinationRoot, destinationSubKey);
    if (!destination) return {};
    std::unique_ptr<platform::SubtreeStream> stream;
    if (platform::CurrentRegistry().OpenSubtree(source.get(), "", stream) != ERROR_SUCCESS)
        return {true, false};
    return {true, CopySubtree(*stream, destination.get())};
}

bool CopyKey(HKEY sourceRoot, HKEY destinationRoot, const std::string& sourceSubKey, bool move,
             const std::string& destinationSubKey) {
    const TreeCopy copy = CopyKeyTree(sourceRoot, sourceSubKey, destinationRoot, destinationSubKey);
    if (!copy.destinationMade) return false;
    PublishKeyAdded(ChangedKeyPath(destinationRoot, destinationSubKey));
    if (!move) return true;
    // A move gives up its source only once every entry has safely arrived.
    return copy.complete && DeleteKeyTree(sourceRoot, sourceSubKey);
}

bool CopyKeyPath(const std::string& sourcePath, const std::string& destinationPath, bool move) {
    if (!KeyPathsUnrelated(sourcePath, destinationPath)) return false;
    return CopyKey(RootKeyOfPath(sourcePath), RootKeyOfPath(destinationPath), SubKeyOrEmpty(sourcePath), move,
                   SubKeyOrEmpty(destinationPath));
}

} // namespace hw::core
