#include "app/key_listing.h"

#include "core/key_ops.h"
#include "core/key_path.h"

#include <algorithm>
#include <cctype>

namespace hw::app {

namespace {

bool PlatformListsSorted(const platform::PlatformFacts& facts) {
    return facts.family == platform::kPlatformNt && facts.majorVersion >= 5;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

bool HasSubKeys(HKEY parent, const std::string& name) {
    HKEY key = 0;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0;
    const LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subKeys > 0;
}

} // namespace

std::optional<std::vector<SubKeyEntry>> ReadSubKeys(const std::string& path,
                                                    const platform::PlatformFacts& facts) {
    HKEY key = 0;
    if (RegOpenKeyExA(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    core::NameList names;
    core::ListSubKeys(key, names);
    if (!PlatformListsSorted(facts)) std::stable_sort(names.begin(), names.end(), LessIgnoringCase);

    std::vector<SubKeyEntry> entries;
    entries.reserve(names.size());
    for (std::string& name : names) {
        const bool hasSubKeys = HasSubKeys(key, name);
        entries.push_back({std::move(name), hasSubKeys});
    }
    RegCloseKey(key);
    return entries;
}

bool KeyHasSubKeys(const std::string& path) {
    return HasSubKeys(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path));
}

bool KeyGone(const std::string& path) {
    HKEY key = 0;
    const LONG result =
        RegOpenKeyExA(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path).c_str(), 0, KEY_READ, &key);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result == ERROR_FILE_NOT_FOUND;
}

} // namespace hw::app
