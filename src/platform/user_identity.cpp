#include "platform/user_identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace hw::platform {

namespace {

// A number that stays the same for this machine across runs: a hash of its machine id (or host name).
std::uint32_t MachineNumber() {
    std::string seed;
    for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        std::ifstream in(file);
        if (in && std::getline(in, seed) && !seed.empty()) break;
    }
    if (seed.empty()) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        seed = host;
    }
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : seed)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

std::string LoginName() {
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name && *entry->pw_name)
        return entry->pw_name;
    if (const char* user = std::getenv("USER"); user && *user) return user;
    return "user" + std::to_string(getuid());
}

} // namespace

UserIdentity CurrentUserIdentity() {
    return {LoginName(), "S-1-5-21-" + std::to_string(MachineNumber()) + "-" + std::to_string(getuid())};
}

} // namespace hw::platform
