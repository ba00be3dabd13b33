// Deleting a key with everything below it, and deleting single values.
#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"

#include <vector>

namespace hw::core {

namespace {

bool DeleteTree(HKEY parent, const std::string& subKey) {
    // A leaf goes in one step, and so does a link: the store removes only the link, so the walk must never
    // open it and empty the key it points at.
    if (RegDeleteKeyA(parent, subKey.c_str()) == ERROR_SUCCESS) return true;
    ScopedKey key = OpenKey(parent, subKey, KEY_ALL_ACCESS);
    if (!key) return false;
    if (const auto info = QueryKeyInfo(key.get(), KeyInfoScope::SubKeys)) {
        std::vector<char> name(info->maxSubKeyNameLength + 1);
        // From the last index down, so the indexes still to come stay valid while keys disappear.
        for (DWORD index = info->subKeyCount; index-- > 0;) {
            DWORD length = static_cast<DWORD>(name.size());
            if (RegEnumKeyExA(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS) {
                DeleteTree(key.get(), std::string(name.data(), length));
            }
        }
    }
    key.reset();
    return RegDeleteKeyA(parent, subKey.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool DeleteKeyTree(HKEY parent, const std::string& subKey) {
    const std::string path = subKey.starts_with('\\') ? subKey.substr(1) : subKey;
    // A path of nothing but backslashes names the root itself too, which is never emptied.
    if (path.find_first_not_of('\\') == std::string::npos) return false;
    try {
        return DeleteTree(parent, path);
    } catch (const std::exception&) {
        return false;
    }
}

bool DeleteKeyPath(const std::string& path) {
    return DeleteKeyTree(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

void DeleteValue(HKEY root, const std::string& subKey, const std::string& valueName) {
    const ScopedKey key = OpenKey(root, subKey, KEY_ALL_ACCESS);
    if (key) RegDeleteValueA(key.get(), valueName.c_str());
}

void DeleteValuePath(const std::string& path, const std::string& valueName) {
    DeleteValue(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName);
}

} // namespace hw::core
