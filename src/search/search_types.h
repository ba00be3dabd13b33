// What a registry search looks for and what it reports: targets, match modes, results and walk outcomes.
#pragma once

#include "platform/winreg.h"

#include <cstdint>
#include <string>

namespace hw::search {

// Bits of SearchRequest::targets.
inline constexpr std::uint8_t kTargetKeyNames = 1;
inline constexpr std::uint8_t kTargetValueNames = 2;
inline constexpr std::uint8_t kTargetStringData = 4;
inline constexpr std::uint8_t kTargetDwordData = 8;
inline constexpr std::uint8_t kTargetBinaryData = 16;
inline constexpr std::uint8_t kAllTargets =
    kTargetKeyNames | kTargetValueNames | kTargetStringData | kTargetDwordData | kTargetBinaryData;

enum class MatchMode : std::uint8_t { Contains = 0, Wildcard = 1, WholeText = 2 };

enum class ResultKind : std::uint8_t {
    KeyName = 0,
    ValueName = 1,
    StringData = 2,
    DwordData = 3,
    BinaryData = 4
};

enum class WalkOutcome : std::uint8_t { Found = 0, NothingFound = 1, Stopped = 2, RegistryFailed = 3 };

struct SearchResult {
    ResultKind kind = ResultKind::KeyName;
    // For a key result the matching key's own full path; otherwise the path of the key holding the value.
    std::string keyPath;
    // Empty for a key result.
    std::string valueName;
    // 0 for a key result.
    DWORD valueType = 0;

    bool isKey() const { return kind == ResultKind::KeyName; }
};

} // namespace hw::search
