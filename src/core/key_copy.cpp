// Copying and moving key trees: the destination receives every value and subkey of the source, merged into
// what it already holds.
#include "core/change_feed.h"
#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"
#include "core/value_enum.h"
#include "platform/registry_store.h"
#include "util/text.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace hw::core {

namespace {

// Each returns whether nothing was skipped; the key information is queried once per key and shared.
bool CopyValuesOf(HKEY source, HKEY destination, const KeyInfo& info) {
    return VisitValues(
        source, info, [destination](std::string_view name, DWORD type, const BYTE* data, DWORD size) {
            return RegSetValueExA(destination, name.data(), 0, type, data, size) == ERROR_SUCCESS;
        });
}

// The subkeys below source (as paths relative to it) that the store's own subtree walk leaves out: links
// back to a key above them, which opening key by key would follow round and round to the depth limit, and
// keys that cannot be opened at all.
class UnenteredKeys final : public platform::SubtreeVisitor {
  public:
    explicit UnenteredKeys(HKEY source) {
        std::unique_ptr<platform::SubtreeStream> walk;
        if (platform::CurrentRegistry().OpenSubtree(source, "", walk) != ERROR_SUCCESS) return;
        while (walk->Next(*this) == ERROR_SUCCESS) {
        }
    }
    bool Holds(const std::string& path) const { return paths_.contains(path); }

  private:
    bool Key(std::string_view name, DWORD depth) override {
        // Nothing below the registry's depth can be copied, so the walk need not look there.
        if (depth >= MAX_KEY_DEPTH) return false;
        above_.resize(depth);
        above_.push_back(depth == 0 ? std::string() : Join(depth, name));
        return true;
    }
    void Unopened(std::string_view name, DWORD depth) override { paths_.insert(Join(depth, name)); }
    void Value(std::string_view, DWORD, std::string_view) override {}
    bool Pause() override { return false; }

    std::string Join(DWORD depth, std::string_view name) const {
        const std::string& parent = above_[depth - 1];
        return parent.empty() ? std::string(name) : parent + "\\" + std::string(name);
    }

    std::vector<std::string> above_; // the path of the key entered at each depth
    std::unordered_set<std::string> paths_;
};

// One key of the walk: its values are copied on entry, then its subkeys one index at a time.
struct Level {
    ScopedKey source;
    ScopedKey destination;
    KeyInfo info;
    std::string path; // below the walk's source
    DWORD nextIndex = 0;
    std::vector<char> name;
    bool complete = true;
};

// Copies the subkeys below source into destination (and source's own values when asked), depth first in
// index order, with its own stack: a source deeper than the registry allows must not exhaust the call stack.
bool CopyTree(HKEY source, HKEY destination, bool withValues) {
    const UnenteredKeys unentered(source);
    std::vector<Level> levels;
    auto enter = [&levels](ScopedKey from, ScopedKey to, std::string path, bool values) {
        const auto info = QueryKeyInfo(from.get());
        if (!info) return false;
        Level level{std::move(from),
                    std::move(to),
                    *info,
                    std::move(path),
                    0,
                    std::vector<char>(info->maxSubKeyNameLength + 1)};
        level.complete = !values || CopyValuesOf(level.source.get(), level.destination.get(), *info);
        levels.push_back(std::move(level));
        return true;
    };
    if (!enter(ScopedKey::Borrowing(source), ScopedKey::Borrowing(destination), {}, withValues)) return false;
    for (;;) {
        Level& level = levels.back();
        if (level.nextIndex < level.info.subKeyCount) {
            DWORD length = static_cast<DWORD>(level.name.size());
            if (RegEnumKeyExA(level.source.get(), level.nextIndex++, level.name.data(), &length, nullptr,
                              nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
                level.complete = false;
                continue;
            }
            const std::string subKey(level.name.data(), length);
            std::string path = level.path.empty() ? subKey : level.path + "\\" + subKey;
            ScopedKey sourceSubKey =
                unentered.Holds(path) ? ScopedKey() : OpenKeyDefault(level.source.get(), subKey);
            ScopedKey destinationSubKey =
                sourceSubKey ? CreateKey(level.destination.get(), subKey) : ScopedKey();
            // Nothing is entered when a step fails, so the level is still in place to note it.
            if (!destinationSubKey ||
                !enter(std::move(sourceSubKey), std::move(destinationSubKey), std::move(path), true))
                level.complete = false;
            continue;
        }
        const bool complete = level.complete;
        levels.pop_back();
        if (levels.empty()) return complete;
        levels.back().complete = levels.back().complete && complete;
    }
}

} // namespace

bool CopyValues(HKEY source, HKEY destination) {
    const auto info = QueryKeyInfo(source);
    return info && CopyValuesOf(source, destination, *info);
}

bool CopySubKeys(HKEY source, HKEY destination) {
    return CopyTree(source, destination, false);
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
    return {true, CopyTree(source.get(), destination.get(), true)};
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
