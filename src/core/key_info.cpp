#include "core/key_info.h"

#include "platform/platform_facts.h"

namespace hw::core {

std::optional<KeyInfo> QueryKeyInfo(HKEY key, KeyInfoScope scope) {
    KeyInfo info;
    FILETIME lastWrite;
    // Leaving the value fields out spares the store summing up the values of every key a walk passes.
    const bool all = scope == KeyInfoScope::All;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subKeyCount, &info.maxSubKeyNameLength,
                         nullptr, all ? &info.valueCount : nullptr, all ? &info.maxValueNameLength : nullptr,
                         all ? &info.maxValueDataSize : nullptr, nullptr, &lastWrite) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    // Double-byte systems report name lengths in characters of two bytes each.
    const auto& facts = platform::GetPlatformFacts();
    if (facts.farEast && facts.family == platform::kPlatformNt) {
        info.maxSubKeyNameLength *= 2;
        info.maxValueNameLength *= 2;
    }
    return info;
}

} // namespace hw::core
