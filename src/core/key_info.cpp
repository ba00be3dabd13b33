#include "core/key_info.h"

#include "platform/platform_facts.h"

namespace hw::core {

std::optional<KeyInfo> QueryKeyInfo(HKEY key) {
    KeyInfo info;
    FILETIME lastWrite;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subKeyCount, &info.maxSubKeyNameLength,
                         nullptr, &info.valueCount, &info.maxValueNameLength, &info.maxValueDataSize, nullptr,
                         &lastWrite) != ERROR_SUCCESS) {
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
