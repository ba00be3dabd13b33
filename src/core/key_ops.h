// Operations on whole keys and values: listing, existence, free names, delete, copy, move, rename.
// None shows a message; each returns its outcome.
#pragma once

#include "platform/winreg.h"

#include <string>
#include <vector>

namespace hw::core {

using NameList = std::vector<std::string>;

void ListSubKeys(HKEY key, NameList& list);
// The list is left untouched when the key cannot be opened.
void ListSubKeysOfPath(const std::string& path, NameList& list);
void ListValueNames(HKEY key, NameList& list);

bool KeyExists(HKEY root, const std::string& subKey);
bool KeyPathExists(const std::string& path);
bool ValueExists(HKEY root, const std::string& subKey, const std::string& valueName);
// On a key open with KEY_QUERY_VALUE: true when the value can be queried (its size may be 0).
bool HasValue(HKEY key, const std::string& valueName);
bool ValuePathExists(const std::string& path, const std::string& valueName);

// "New Key #n" / "New Value #n" with the lowest free n; empty when the key cannot be opened.
std::string NewKeyName(HKEY root, const std::string& subKey);
std::string NewKeyNameOfPath(const std::string& path);
std::string NewValueName(HKEY root, const std::string& subKey);

bool DeleteKeyTree(HKEY parent, const std::string& subKey);
bool DeleteKeyPath(const std::string& path);
void DeleteValue(HKEY root, const std::string& subKey, const std::string& valueName);
void DeleteValuePath(const std::string& path, const std::string& valueName);

bool CopyKey(HKEY sourceRoot, HKEY destinationRoot, const std::string& sourceSubKey, bool move,
             const std::string& destinationSubKey);
bool CopyKeyPath(const std::string& sourcePath, const std::string& destinationPath, bool move);
bool RenameKeyPath(const std::string& oldPath, const std::string& newPath);
bool RenameValue(HKEY root, const std::string& subKey, const std::string& oldName,
                 const std::string& newName);
bool RenameValuePath(const std::string& path, const std::string& oldName, const std::string& newName);

} // namespace hw::core
