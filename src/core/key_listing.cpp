// Listing subkeys and value names, and testing that keys and values exist.
#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"

#include <vector>

namespace hw::core {

namespace {

// The names at indexes 0 to count - 1, read into one buffer sized for the longest; failed indexes are
// skipped.
template <typename EnumerateName>
void FillNames(NameList& list, DWORD count, DWORD longest, EnumerateName enumerate) {
    std::vector<char> name(longest + 1);
    list.reserve(count);
    for (DWORD index = 0; index < count; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (enumerate(index, name.data(), &length) == ERROR_SUCCESS) list.emplace_back(name.data(), length);
    }
}

} // namespace

void ListSubKeys(HKEY key, NameList& list) {
    list.clear();
    const auto info = QueryKeyInfo(key, KeyInfoScope::SubKeys);
    if (!info) return;
    FillNames(list, info->subKeyCount, info->maxSubKeyNameLength,
              [key](DWORD index, LPSTR name, LPDWORD length) {
                  return RegEnumKeyExA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
              });
}

void ListSubKeysOfPath(const std::string& path, NameList& list) {
    const ScopedKey key = OpenKey(RootKeyOfPath(path), SubKeyOrEmpty(path), KEY_READ);
    if (key) ListSubKeys(key.get(), list);
}

void ListValueNames(HKEY key, NameList& list) {
    list.clear();
    const auto info = QueryKeyInfo(key);
    if (!info) return;
    // Only names are wanted, so no data is fetched.
    FillNames(list, info->valueCount, info->maxValueNameLength,
              [key](DWORD index, LPSTR name, LPDWORD length) {
                  return RegEnumValueA(key, index, name, length, nullptr, nullptr, nullptr, nullptr);
              });
}

bool KeyExists(HKEY root, const std::string& subKey) {
    return OpenKey(root, subKey, KEY_READ).valid();
}

bool KeyPathExists(const std::string& path) {
    return KeyExists(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

bool ValueExists(HKEY root, const std::string& subKey, const std::string& valueName) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, KEY_QUERY_VALUE);
    return key && HasValue(key.get(), valueName);
}

bool HasValue(HKEY key, const std::string& valueName) {
    DWORD type = 0;
    DWORD size = 0;
    return RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

bool ValuePathExists(const std::string& path, const std::string& valueName) {
    return ValueExists(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName);
}

} // namespace hw::core
