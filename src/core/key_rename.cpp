// Renaming keys (a move to the new path) and values (a write under the new name, then a delete).
#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"
#include "core/value_text.h"

namespace hw::core {

bool RenameKeyPath(const std::string& oldPath, const std::string& newPath) {
    if (KeyPathExists(newPath) || !KeyPathExists(oldPath)) return false;
    // A key moved into its own subtree would copy itself endlessly.
    if (!KeyPathsUnrelated(oldPath, newPath)) return false;
    const HKEY oldRoot = RootKeyOfPath(oldPath);
    const TreeCopy copy =
        CopyKeyTree(oldRoot, SubKeyOrEmpty(oldPath), RootKeyOfPath(newPath), SubKeyOrEmpty(newPath));
    if (!copy.destinationMade) return false;
    // A rename gives up its source only once every entry has safely arrived.
    if (copy.complete && RemoveKeyTree(oldRoot, SubKeyOrEmpty(oldPath))) {
        PublishKeyRenamed(oldPath, newPath);
        return true;
    }
    PublishKeyAdded(newPath);
    PublishTreeChanged(oldPath);
    return false;
}

bool RenameValue(HKEY root, const std::string& subKey, const std::string& oldName,
                 const std::string& newName) {
    const ScopedKey key = OpenKeyOrUseRoot(root, subKey, KEY_ALL_ACCESS);
    if (!key) return false;
    if (HasValue(key.get(), newName)) return false;
    // An empty value is renamed too: it has a type and a name worth keeping.
    const auto value = QueryValueData(key.get(), oldName);
    if (!value) return false;
    const BYTE none = 0;
    if (RegSetValueExA(key.get(), newName.c_str(), 0, value->type,
                       value->data.empty() ? &none : value->data.data(),
                       static_cast<DWORD>(value->data.size())) != ERROR_SUCCESS) {
        return false;
    }
    RegDeleteValueA(key.get(), oldName.c_str());
    PublishValuesChanged(ChangedKeyPath(root, subKey), {oldName, newName});
    return true;
}

bool RenameValuePath(const std::string& path, const std::string& oldName, const std::string& newName) {
    return RenameValue(RootKeyOfPath(path), SubKeyOrEmpty(path), oldName, newName);
}

} // namespace hw::core
