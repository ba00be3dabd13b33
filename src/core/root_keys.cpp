#include "core/root_keys.h"

#include "core/ascii_case.h"

namespace hw::core {

const std::vector<RootKeyInfo>& RootKeyTable() {
    static const std::vector<RootKeyInfo> table{
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
        {HKEY_USERS, "HKEY_USERS", "HKU"},
        {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA", "HKPD"},
        {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", "HKCC"},
        {HKEY_DYN_DATA, "HKEY_DYN_DATA", "HKDD"},
    };
    return table;
}

std::vector<HKEY> ListedRootKeys(const platform::PlatformFacts& facts) {
    std::vector<HKEY> roots{HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                            HKEY_CURRENT_CONFIG};
    if (facts.family == platform::kPlatformWin9x) roots.push_back(HKEY_DYN_DATA);
    if (facts.family == platform::kPlatformNt && facts.majorVersion <= 4)
        roots.push_back(HKEY_PERFORMANCE_DATA);
    return roots;
}

bool IsRootKey(HKEY key) {
    return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

std::string RootKeyName(HKEY key) {
    if (!IsRootKey(key)) return {};
    return RootKeyTable()[key - HKEY_CLASSES_ROOT].fullName;
}

HKEY RootKeyFromName(std::string_view name) {
    for (const auto& root : RootKeyTable()) {
        if (EqualsIgnoringCase(name, root.fullName)) return root.handle;
    }
    return 0;
}

} // namespace hw::core
