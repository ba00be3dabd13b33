// The seven predefined root keys: handles, full names, abbreviations, and which the tree lists.
#pragma once

#include "platform/platform_facts.h"
#include "platform/winreg.h"

#include <string>
#include <string_view>
#include <vector>

namespace hw::core {

struct RootKeyInfo {
    HKEY handle;
    const char* fullName;
    const char* abbreviation;
};

// All seven, in handle order.
const std::vector<RootKeyInfo>& RootKeyTable();
// The roots listed in the key tree and address list, in their listing order, for the given platform.
std::vector<HKEY> ListedRootKeys(const platform::PlatformFacts& facts);

bool IsRootKey(HKEY key);
// Full name, or the empty text for a handle outside the table.
std::string RootKeyName(HKEY key);
// From a full name only (any letter case), or 0.
HKEY RootKeyFromName(std::string_view name);

} // namespace hw::core
