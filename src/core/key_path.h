// Key path texts: splitting into root and subkey path, real paths of alias roots, the nesting test.
#pragma once

#include "platform/winreg.h"

#include <optional>
#include <string>
#include <string_view>

namespace hw::core {

// The root named by the text before the first backslash (full name or abbreviation, any case), or 0.
HKEY RootKeyOfPath(std::string_view path);
// Absent (nullopt) when the text has no backslash or its root is not recognised; otherwise everything after
// the first backslash, unchanged (possibly empty).
std::optional<std::string> SubKeyOfPath(std::string_view path);
// SubKeyOfPath with absent read as empty: what every caller hands to the registry.
std::string SubKeyOrEmpty(std::string_view path);

// The place under HKEY_LOCAL_MACHINE or HKEY_USERS the path stands for; empty for an unrecognised root.
std::string RealKeyPath(std::string_view path);
// True when neither key contains the other (compared on real paths, as text).
bool KeyPathsUnrelated(const std::optional<std::string>& first, const std::optional<std::string>& second);

} // namespace hw::core
