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

// The free name among the names lister finds in the key; empty when the key cannot be opened with access.
std::string FreeName(HKEY root, const std::string& subKey, REGSAM access, void (*lister)(HKEY, NameList&),
                     const std::string& prefix) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, access);
    if (!key) return {};
    NameList names;
    lister(key.get(), names);
    return LowestFreeName(names, prefix);
}

} // namespace

std::string NewKeyName(HKEY root, const std::string& subKey) {
    return FreeName(root, subKey, KEY_READ, ListSubKeys, "New Key #");
}

std::string NewKeyNameOfPath(const std::string& path) {
    return NewKeyName(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

std::string NewValueName(HKEY root, const std::string& subKey) {
    return FreeName(root, subKey, KEY_ALL_ACCESS, ListValueNames, "New Value #");
}

} // namespace hw::core
