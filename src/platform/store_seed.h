// The skeleton every new registry database starts with, and the current user's part of it.
#pragma once

#include "platform/user_identity.h"
#include "platform/winreg.h"

#include <cstdint>
#include <string>

namespace hw::platform {

enum class KeyRights { Full = 0, ReadOnly = 1, None = 2 };

// What the seeding writes through: raw key and value creation that ignores rights.
class SeedTarget {
  public:
    virtual ~SeedTarget() = default;
    // Opens or creates every key of a backslash-separated path below parent.
    virtual std::int64_t SeedKey(std::int64_t parent, const std::string& path) = 0;
    virtual void SeedValue(std::int64_t key, const std::string& name, DWORD type,
                           const std::string& data) = 0;
    virtual void SeedRights(std::int64_t key, KeyRights rights) = 0;
    virtual void SeedLink(std::int64_t parent, const std::string& name, std::int64_t target) = 0;
    // The row of HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA or HKEY_DYN_DATA.
    virtual std::int64_t RealRootId(HKEY root) = 0;
};

void SeedMachine(SeedTarget& target);
// HKEY_USERS\<sid>, <sid>_Classes and the user's Explorer key; safe to run when they exist.
void SeedUser(SeedTarget& target, const UserIdentity& user);

// ${XDG_CONFIG_HOME:-$HOME/.config}/hivewright: the program's "Windows directory".
std::string DefaultWindowsDirectory();

} // namespace hw::platform
