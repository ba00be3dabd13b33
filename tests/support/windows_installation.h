// A Windows installation laid out in a folder from hives our store makes and fills.
#pragma once

#include <string>

namespace hw::test {

// The SID ProfileList gives the installation's user "alice".
inline constexpr const char* kWindowsUserSid = "S-1-5-21-1-2-3-1001";

// Lays out root/Windows/System32/config (in mixed letter case, as NTFS mounts show it) with SYSTEM (Select
// pointing at the second of two control sets, each holding Control "Which" = "one"/"two"), SOFTWARE
// (Classes\.txt, ProfileList naming alice and the system account), SAM, SECURITY and DEFAULT; and
// Users/alice with NTUSER.DAT (Software\Microsoft, "Owner" = "alice") and UsrClass.dat (.user), Users/bob
// with NTUSER.DAT only (not in ProfileList), Users/Default with NTUSER.DAT and an empty Users/Public.
void LayOutWindowsInstallation(const std::string& root);

} // namespace hw::test
