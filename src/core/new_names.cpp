// Free generated names for a new key or value: the lowest unused "New Key #n" / "New Value #n".
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "util/text.h"

#include <unordered_set>

namespace hw::core {

namespace {

std::string LowestFreeName(const NameList& taken, const std::string& prefix) {
    std::unordered_set<std::string> upperTaken;
    for (const auto& name : taken)
        upperTaken.insert(util::UpperCaseAscii(name));
    const std::string upperPrefix = util::UpperCaseAscii(prefix);
    // At most taken.size() numbers can be in use, so the search ends within taken.size() + 1 steps.
    for (std::size_t number = 1;; ++number) {
        if (!upperTaken.contains(upperPrefix + std::to_string(number)))
            return prefix + std::to_string(number);
    }
}

} // namespace

std::string NewKeyName(HKEY root, const std::string& subKey) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, KEY_READ);
    if (!key) return {};
    NameList names;
    ListSubKeys(key.get(), names);
    return LowestFreeName(names, "New Key #");
}

std::string NewKeyNameOfPath(const std::string& path) {
    return NewKeyName(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

std::string NewValueName(HKEY root, const std::string& subKey) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, KEY_ALL_ACCESS);
    if (!key) return {};
    NameList names;
    ListValueNames(key.get(), names);
    return LowestFreeName(names, "New Value #");
}

} // namespace hw::core
