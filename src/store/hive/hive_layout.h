// Where hive files show in the registry: single hives under HKEY_LOCAL_MACHINE, or a Windows installation's
// hives at their usual places.
#pragma once

#include "platform/winreg.h"

#include <string>
#include <vector>

namespace hw::store::hive {

struct HiveMount {
    std::string file;
    HKEY root = HKEY_LOCAL_MACHINE; // HKEY_LOCAL_MACHINE or HKEY_USERS
    std::string name;               // the key below the root
    bool created = false;           // made empty by this run, so it needs no backup
};

struct HiveLayout {
    std::vector<HiveMount> mounts;
    std::string currentUser;          // the key under HKEY_USERS that HKEY_CURRENT_USER stands for
    std::string description;          // what the window names as open
    bool windowsInstallation = false; // HARDWARE as a stopped system shows it, CurrentControlSet as a link
};

// "FILE" or "FILE=KEY": the file, mounted under HKEY_LOCAL_MACHINE as KEY (default: its base name).
HiveMount SingleHiveMount(const std::string& option);
HiveLayout SingleHivesLayout(const std::vector<std::string>& options);

// The hives of the Windows installation whose folder holds Windows\ (names matched in any case), HKEY_CURRENT
// _USER the profile of that user name (empty: the first that is no system account). Throws
// std::runtime_error when the folder holds no Windows registry.
HiveLayout WindowsLayout(const std::string& root, const std::string& user);

} // namespace hw::store::hive
