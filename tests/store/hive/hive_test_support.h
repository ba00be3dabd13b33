// What the hive store's tests share: opening hives as a store of their own, and reading files as they are.
#pragma once

#include "platform/registry_store.h"

#include <hivex.h>

#include <memory>
#include <string>
#include <vector>

namespace hw::test {

// The store over these hives ("FILE=KEY"), failing the test when it does not open.
std::unique_ptr<platform::RegistryStore> OpenHives(const std::vector<std::string>& hives,
                                                   bool readOnly = false);

// Creates the key path below HKEY_LOCAL_MACHINE and sets one value on it.
void Put(platform::RegistryStore& store, const std::string& path, const std::string& name, DWORD type,
         const std::string& data);
// Text data as the registry functions take it: the text and its NUL.
inline std::string Text(const std::string& text) {
    return text + '\0';
}

// A text value's text (without its NUL), or "<no key>" / "<no value>".
std::string ReadText(platform::RegistryStore& store, HKEY root, const std::string& path,
                     const std::string& name);
// The subkeys of a key in the store's order.
std::vector<std::string> SubKeys(platform::RegistryStore& store, HKEY root, const std::string& path);

// The standard output of a shell command.
std::string CommandOutput(const std::string& command);

// The bytes and modification time of a file, to tell that nothing touched it.
struct FileState {
    std::string bytes;
    long long modifiedNs = 0;
    bool operator==(const FileState&) const = default;
};
FileState StateOf(const std::string& path);

// A value as hivex reads it from a file.
struct RawValue {
    std::string name;
    int type = 0;
    std::string bytes;
    bool operator==(const RawValue&) const = default;
};
// The values of the key at the backslash path below the hive's root; empty when the key is missing.
std::vector<RawValue> RawValues(const std::string& file, const std::string& path);

} // namespace hw::test
