// Deleting a key with everything below it, and deleting single values.
#include "core/change_feed.h"
#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"

#include <vector>

namespace hw::core {

namespace {

// One open key of the walk: its subkeys are deleted from the last index down, so the indexes still to come
// stay valid while keys disappear.
struct Level {
    HKEY parent = 0;
    std::string name;
    ScopedKey key;
    DWORD nextIndex = 0;
    std::vector<char> buffer;
};

// Deletes parent\name at once when it can go in one step, else opens it as a new level. A leaf goes in one
// step, and so does a link: the store removes only the link, so the walk must never open it and empty the key
// it points at.
bool DeleteOrDescend(HKEY parent, std::string name, std::vector<Level>& levels) {
    if (RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS) return true;
    ScopedKey key = OpenKey(parent, name, KEY_ALL_ACCESS);
    if (!key) return false;
    const auto info = QueryKeyInfo(key.get(), KeyInfoScope::SubKeys);
    Level level{parent, std::move(name), std::move(key), info ? info->subKeyCount : 0, {}};
    level.buffer.resize(info ? info->maxSubKeyNameLength + 1 : 1);
    levels.push_back(std::move(level));
    return false;
}

// Depth first like the recursive definition, but with its own stack: a tree made deeper than the registry
// allows must not exhaust the call stack.
bool DeleteTree(HKEY parent, const std::string& subKey) {
    std::vector<Level> levels;
    bool deleted = DeleteOrDescend(parent, subKey, levels);
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.nextIndex > 0) {
            --level.nextIndex;
            DWORD length = static_cast<DWORD>(level.buffer.size());
            if (RegEnumKeyExA(level.key.get(), level.nextIndex, level.buffer.data(), &length, nullptr,
                              nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
                DeleteOrDescend(level.key.get(), std::string(level.buffer.data(), length), levels);
            }
            continue;
        }
        level.key.reset();
        deleted = RegDeleteKeyA(level.parent, level.name.c_str()) == ERROR_SUCCESS;
        levels.pop_back();
    }
    return deleted;
}

} // namespace

bool RemoveKeyTree(HKEY parent, const std::string& subKey) {
    const std::string path = subKey.starts_with('\\') ? subKey.substr(1) : subKey;
    // A path of nothing but backslashes names the root itself too, which is never emptied.
    if (path.find_first_not_of('\\') == std::string::npos) return false;
    try {
        return DeleteTree(parent, path);
    } catch (const std::exception&) {
        return false;
    }
}

bool DeleteKeyTree(HKEY parent, const std::string& subKey) {
    const bool deleted = RemoveKeyTree(parent, subKey);
    if (deleted) PublishKeyRemoved(ChangedKeyPath(parent, subKey));
    // A refused delete may still have taken some keys below.
    else if (RegistryChanges().Listening() && KeyExists(parent, subKey))
        PublishTreeChanged(ChangedKeyPath(parent, subKey));
    return deleted;
}

bool DeleteKeyPath(const std::string& path) {
    return DeleteKeyTree(RootKeyOfPath(path), SubKeyOrEmpty(path));
}

void DeleteValue(HKEY root, const std::string& subKey, const std::string& valueName) {
    const ScopedKey key = OpenKey(root, subKey, KEY_ALL_ACCESS);
    if (key && RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS)
        PublishValuesChanged(ChangedKeyPath(root, subKey), {valueName});
}

void DeleteValuePath(const std::string& path, const std::string& valueName) {
    DeleteValue(RootKeyOfPath(path), SubKeyOrEmpty(path), valueName);
}

} // namespace hw::core
