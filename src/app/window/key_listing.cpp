#include "app/window/key_listing.h"

#include "core/key_path.h"

#include <algorithm>
#include <cctype>

namespace hw::window {

namespace {

bool PlatformListsSorted(const platform::PlatformFacts& facts) {
    return facts.family == platform::kPlatformNt && facts.majorVersion >= 5;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

HKEY OpenForReading(const std::string& path) {
    HKEY key = 0;
    if (RegOpenKeyExA(core::RootKeyOfPath(path), core::SubKeyOrEmpty(path).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 0;
    return key;
}

} // namespace

std::optional<core::NameList> ReadSubKeyNames(const std::string& path, const platform::PlatformFacts& facts) {
    const HKEY key = OpenForReading(path);
    if (key == 0) return std::nullopt;
    core::NameList names;
    core::ListSubKeys(key, names);
    RegCloseKey(key);
    if (!PlatformListsSorted(facts)) std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

bool KeyPathHasSubKeys(const std::string& path) {
    const HKEY key = OpenForReading(path);
    if (key == 0) return false;
    DWORD subKeys = 0;
    const LONG result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subKeys > 0;
}

} // namespace hw::window
