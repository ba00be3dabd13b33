// The key information record every enumeration sizes its buffers from.
#pragma once

#include "platform/winreg.h"

#include <optional>

namespace hw::core {

struct KeyInfo {
    DWORD subKeyCount = 0;
    DWORD maxSubKeyNameLength = 0; // characters, no NUL; doubled on Far East NT systems
    DWORD valueCount = 0;
    DWORD maxValueNameLength = 0; // characters, no NUL; doubled on Far East NT systems
    DWORD maxValueDataSize = 0;
};

// What a walk needs to know: only the subkeys (the value fields stay 0), or everything.
enum class KeyInfoScope { SubKeys, All };

// Nothing when the query fails.
std::optional<KeyInfo> QueryKeyInfo(HKEY key, KeyInfoScope scope = KeyInfoScope::All);

} // namespace hw::core
