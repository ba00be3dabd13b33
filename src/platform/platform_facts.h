// Facts about the running system, read once at start: platform family, major version, Far East locale.
#pragma once

namespace hw::platform {

inline constexpr int kPlatformWin9x = 1;
inline constexpr int kPlatformNt = 2;

struct PlatformFacts {
    int family = kPlatformNt;
    int majorVersion = 10;
    bool farEast = false;
};

// Family 2 and version 10 unless HIVEWRIGHT_PLATFORM_FAMILY / HIVEWRIGHT_MAJOR_VERSION say otherwise;
// Far East from HIVEWRIGHT_FAR_EAST (0/1), else from the locale (ja, ko, zh).
PlatformFacts ReadPlatformFacts();

// The facts of this run: read on the first call (or by LoadPlatformFacts) and fixed afterwards.
const PlatformFacts& GetPlatformFacts();
void LoadPlatformFacts();
// Tests only: replaces the facts of this run.
void SetPlatformFactsForTesting(const PlatformFacts& facts);

} // namespace hw::platform
