// Who runs the program, in the registry's terms: login name and the user's security identifier.
#pragma once

#include <string>

namespace hw::platform {

struct UserIdentity {
    std::string loginName;
    std::string sid; // "S-1-5-21-<machine number>-<uid>"
};

UserIdentity CurrentUserIdentity();

} // namespace hw::platform
