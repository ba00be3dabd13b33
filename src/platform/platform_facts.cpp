#include "platform/platform_facts.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

namespace hw::platform {

namespace {

std::optional<int> EnvNumber(const char* name) {
    const char* text = std::getenv(name);
    if (!text || !*text) return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<int>(value);
}

// The locale the user asked for, as the C library would pick it.
std::string LocaleName() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

bool LocaleIsFarEast() {
    std::string locale = LocaleName();
    return locale.rfind("ja", 0) == 0 || locale.rfind("ko", 0) == 0 || locale.rfind("zh", 0) == 0;
}

std::optional<PlatformFacts>& Facts() {
    static std::optional<PlatformFacts> facts;
    return facts;
}

} // namespace

PlatformFacts ReadPlatformFacts() {
    PlatformFacts facts;
    if (auto family = EnvNumber("HIVEWRIGHT_PLATFORM_FAMILY");
        family && (*family == kPlatformWin9x || *family == kPlatformNt))
        facts.family = *family;
    if (auto major = EnvNumber("HIVEWRIGHT_MAJOR_VERSION"); major && *major >= 0) facts.majorVersion = *major;
    if (auto farEast = EnvNumber("HIVEWRIGHT_FAR_EAST"); farEast && (*farEast == 0 || *farEast == 1))
        facts.farEast = *farEast == 1;
    else
        facts.farEast = LocaleIsFarEast();
    return facts;
}

const PlatformFacts& GetPlatformFacts() {
    if (!Facts()) Facts() = ReadPlatformFacts();
    return *Facts();
}

void LoadPlatformFacts() {
    GetPlatformFacts();
}

void SetPlatformFactsForTesting(const PlatformFacts& facts) {
    Facts() = facts;
}

} // namespace hw::platform
