// The keys right below HKEY_LOCAL_MACHINE that Windows keeps from users, with what they allow.
#pragma once

#include "platform/store_seed.h"

#include <string_view>

namespace hw::registry {

struct ProtectedKey {
    std::string_view name;
    platform::KeyRights rights;
};

// SAM and SECURITY stay closed; HARDWARE is rebuilt at every start, so it only reads.
inline constexpr ProtectedKey kProtectedKeys[] = {{"HARDWARE", platform::KeyRights::ReadOnly},
                                                  {"SAM", platform::KeyRights::None},
                                                  {"SECURITY", platform::KeyRights::None}};

} // namespace hw::registry
