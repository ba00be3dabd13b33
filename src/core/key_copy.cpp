// Copying and moving key trees: the destination receives every value and subkey of the source, merged into
// what it already holds.
#include "core/key_info.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"
#include "util/text.h"

#include <vector>

namespace hw::core {

namespace {

// Each returns whether nothing was skipped; the key information is queried once per key and shared.
bool CopyValuesOf(HKEY source, HKEY destination, const KeyInfo& info) {
    std::vector<char> name(info.maxValueNameLength + 1);
    std::vector<BYTE> data(info.maxValueDataSize + 1);
    bool complete = true;
    for (DWORD index = 0; index < info.valueCount; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const bool copied =
            RegEnumValueA(source, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) ==
                ERROR_SUCCESS &&
            RegSetValueExA(destination, name.data(), 0, type, data.data(), size) == ERROR_SUCCESS;
        complete = complete && copied;
    }
    return complete;
}

bool CopyContent(HKEY source, HKEY destination);

bool CopySubKeysOf(HKEY source, HKEY destination, const KeyInfo& info) {
    std::vector<char> name(info.maxSubKeyNameLength + 1);
    bool complete = true;
    for (DWORD index = 0; index < info.subKeyCount; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(source, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            complete = false;
            continue;
        }
        const std::string subKey(name.data(), length);
        const ScopedKey sourceSubKey = OpenKeyDefault(source, subKey);
        const ScopedKey destinationSubKey = sourceSubKey ? CreateKey(destination, subKey) : ScopedKey();
        complete = destinationSubKey && CopyContent(sourceSubKey.get(), destinationSubKey.get()) && complete;
    }
    return complete;
}

bool CopyContent(HKEY source, HKEY destination) {
    const auto info = QueryKeyInfo(source);
    if (!info) return false;
    const bool valuesComplete = CopyValuesOf(source, destination, *info);
    return CopySubKeysOf(source, destination, *info) && valuesComplete;
}

} // namespace

bool CopyValues(HKEY source, HKEY destination) {
    const auto info = QueryKeyInfo(source);
    return info && CopyValuesOf(source, destination, *info);
}

bool CopySubKeys(HKEY source, HKEY destination) {
    const auto info = QueryKeyInfo(source);
    return info && CopySubKeysOf(source, destination, *info);
}

bool CopyKey(HKEY sourceRoot, HKEY destinationRoot, const std::string& sourceSubKey, bool move,
             const std::string& destinationSubKey) {
    if (sourceRoot == destinationRoot &&
        util::UpperCaseAscii(sourceSubKey) == util::UpperCaseAscii(destinationSubKey)) {
        return false;
    }
    ScopedKey source =
        sourceSubKey.empty() ? ScopedKey::Borrowing(sourceRoot) : OpenKeyDefault(sourceRoot, sourceSubKey);
    if (!source) return false;
    ScopedKey destination = destinationSubKey.empty() ? ScopedKey::Borrowing(destinationRoot)
                                                      : CreateKey(destinationRoot, destinationSubKey);
    if (!destination) return false;
    const bool complete = CopyContent(source.get(), destination.get());
    destination.reset();
    source.reset();
    if (!move) return true;
    // A move gives up its source only once every entry has safely arrived.
    return complete && DeleteKeyTree(sourceRoot, sourceSubKey);
}

bool CopyKeyPath(const std::string& sourcePath, const std::string& destinationPath, bool move) {
    if (!KeyPathsUnrelated(sourcePath, destinationPath)) return false;
    return CopyKey(RootKeyOfPath(sourcePath), RootKeyOfPath(destinationPath), SubKeyOrEmpty(sourcePath), move,
                   SubKeyOrEmpty(destinationPath));
}

} // namespace hw::core
